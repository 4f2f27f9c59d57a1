#pragma once
#include <windows.h>

// A hidden top-level window that stands for the program's main window or for
// the mail job's owner, and counts the mail progress steps it receives.
HWND CreateTestWindow();
int TestWindowMailSteps();
