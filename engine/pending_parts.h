#pragma once
#include <windows.h>

// Entry points of windows and dialogs that are built elsewhere. Until each one
// lands, pending_parts.cpp holds the least that keeps the program running.

// About box 152 (AboutDialogProc), modal.
void OpenAboutDialog(HWND owner);
// Settings confirmation dialog 179, modeless without owner; sets confirmDialog.
void OpenConfirmDialog();
