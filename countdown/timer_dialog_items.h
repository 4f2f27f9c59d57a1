#pragma once
#include <windows.h>

// Formats value with "%d" into a buffer of `size` characters and makes it
// the control's text.
void TimerSetDlgItemNumber(int size, HWND control, int value);
