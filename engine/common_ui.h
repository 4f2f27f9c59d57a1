#pragma once
#include <windows.h>

// Start-up pieces of the main window's creation that every dialog relies on.

// Work area, common controls, the screen DC, the grey separator pen, the
// program paths and the default capture folder.
void InitCommonUi();
// uiFont, uiBoldFont, uiUnderlineFont (when asked) and meiryoUi16Font, after
// finding out whether "Meiryo" and "Meiryo UI" are installed.
void CreateUiFonts(HWND window, bool withUnderline = true);
int CALLBACK FontEnumProc(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type, LPARAM lParam);
// Bitmaps 164-168 at 28 x 28, each selected into its own memory DC; false when
// one is missing.
bool LoadButtonBitmaps(HWND window);
