#include "weekday_names.h"

const wchar_t* const weekdayNames[7] = {L"日", L"月", L"火", L"水", L"木", L"金", L"土"};
