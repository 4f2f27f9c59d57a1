#pragma once
#include <windows.h>

#include <vector>

#include "dpi_scaling.h"  // ScaleForDpi

// An empty dialog template built in memory; the dialogs create their
// controls in code in WM_INITDIALOG at the screen's DPI.
// cx, cy in dialog units (the dialogs resize themselves in pixels).
std::vector<WORD> BuildEmptyDialogTemplate(DWORD style, DWORD exStyle, const wchar_t* caption,
                                           short cx = 10, short cy = 10);

// The screen's logical DPI, as read once at start-up.
int ScreenDpiValue();

// The dialogs' normal and bold fonts: the start-up's uiFont/uiBoldFont, or
// fonts made once from the icon-title font where no start-up ran.
HFONT DialogUiFont();
HFONT DialogBoldFont();

// Creates a child control in 96-DPI pixels scaled to `dpi`.
HWND CreateScaledControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                         DWORD exStyle, int id, int x, int y, int w, int h, int dpi, HFONT font);

// The desktop work area (workArea when the start-up filled it).
RECT CurrentWorkArea();
