#pragma once
#include <windows.h>

// Dialog 213: asks for the lock password before a protected command.
INT_PTR CALLBACK PasswordPromptDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs dialog 213 modally: 1 when the password was right, 0 on Cancel.
INT_PTR RunPasswordPrompt(HWND owner);
