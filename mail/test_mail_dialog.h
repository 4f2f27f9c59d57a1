#pragma once
#include <windows.h>

// Dialog 217 "テストメール送信" over the mail page: sends test mails with the
// page's current settings to an address of its list, one at a time.
INT_PTR RunTestMailDialog(HWND page);
