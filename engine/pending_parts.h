#pragma once
#include <windows.h>

// Entry points of windows and dialogs that are built elsewhere. Until each one
// lands, pending_parts.cpp holds the least that keeps the program running.

// Mode dialog 133 (ModeSelectDlgProc), modal; 1 when a mode was chosen.
INT_PTR OpenModeSelectDialog(HWND owner, LPARAM exitOnCancel);
// Main schedule dialog 129 (MainDlgProc), a modeless child filling `parent`.
HWND CreateMainDialog(HWND parent, LPARAM profileLoaded);
// About box 152 (AboutDialogProc), modal.
void OpenAboutDialog(HWND owner);
// Settings confirmation dialog 179, modeless without owner; sets confirmDialog.
void OpenConfirmDialog();
