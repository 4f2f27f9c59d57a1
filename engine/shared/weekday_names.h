#pragma once

// Weekday names, Sunday first, as the log, the status text and the dialogs show them.
extern const wchar_t* const weekdayNames[7];
