#pragma once

// The rule for a profile's name in both programs: it becomes "<name>.dat" in
// the profile folder, so it must name exactly one ordinary file there. Refused:
// an empty name, the characters \ / : * ? " < > |, control characters, a
// leading or trailing blank or dot, and the device names CON, PRN, AUX, NUL,
// COM1-COM9 and LPT1-LPT9 in any letter case, also with an extension ("nul.txt").
bool IsValidProfileName(const wchar_t* name);
