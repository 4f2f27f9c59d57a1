#pragma once
#include <windows.h>

// The hand-over from one program to the other: asks `question` (Yes/No), then
// starts `fileName` from the current folder. A missing file shows
// `missingText` ("エラー", error icon); a failing start shows the system's
// text. True when the other program was started: the caller then ends its own.
bool HandOverToProgram(HWND owner, const wchar_t* fileName, const wchar_t* question,
                       const wchar_t* missingText);
