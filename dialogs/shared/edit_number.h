#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// Numbers typed into digits-only edits. ES_NUMBER stops keys only: pasted
// text and WM_SETTEXT pass it, so every page reads its numbers through here.

// The longest delay an application may wait after the resume, in seconds.
inline constexpr int32_t kMaxAppDelay = 999;

// The number in a digits-only edit, 0 when empty. Anything but plain digits
// from 0 to maxValue is refused (false) and *value is left as it was.
bool ParseEditNumber(const std::wstring& text, int32_t maxValue, int32_t* value);
// The message that refuses such a number.
std::wstring NumberRangeMessage(int32_t maxValue);
// The text of a control.
std::wstring ControlText(HWND control);
// Reads the edit as above; a refused text shows the message over the owner
// (empty caption) and returns false.
bool ReadEditNumber(HWND owner, HWND edit, int32_t maxValue, int32_t* value);
