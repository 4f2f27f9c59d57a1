#pragma once
#include <windows.h>

// Entry points of windows and dialogs that are built elsewhere. Until each one
// lands, pending_parts.cpp holds the least that keeps the program running.

// About box 152 (AboutDialogProc), modal.
void OpenAboutDialog(HWND owner);
// Settings confirmation dialog 179, modeless without owner; sets confirmDialog.
void OpenConfirmDialog();
// The count window: its class procedure, click-through switch and the size of
// its current form (121 x 44, or the skin image's).
LRESULT CALLBACK CountWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ToggleCountWindowClickThrough();
SIZE CurrentCountWindowSize();
// Appearance file, built-in and skin images, layered-painting set-up.
void LoadAppearanceFile(HWND owner);
void LoadCountWindowImages(HWND owner);
void InitLayeredPaintGlobals();
