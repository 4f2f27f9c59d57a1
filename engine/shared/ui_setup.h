#pragma once
#include <windows.h>
#include <commctrl.h>

// The drawing resources both programs make once when their main window is
// created, and that every dialog of theirs uses.

extern RECT workArea;
extern HDC screenDC;
extern HPEN separatorPen;  // solid, width 1, RGB(180, 180, 180)
extern HFONT uiFont;
extern HFONT uiBoldFont;
extern HFONT uiUnderlineFont;  // null where the program asks for none
extern HFONT meiryoUi16Font;   // null when "Meiryo UI" is not installed
extern bool meiryoAvailable;
extern bool meiryoUiAvailable;
extern wchar_t defaultCaptureFolder[MAX_PATH];

// What the two programs set up differently.
struct CommonUiSetup {
  DWORD commonControlClasses;  // for InitCommonControlsEx
  // Finds the program's folder and the default capture folder here (the
  // countdown program finds its folder before its window exists).
  bool findProgramPaths;
};
inline constexpr CommonUiSetup kSchedulerCommonUi = {0x33d, true};
inline constexpr CommonUiSetup kCountdownCommonUi = {ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES,
                                                     false};

// Work area, common controls, the screen DC, the grey separator pen and, for
// the scheduler, the program paths and the default capture folder.
void InitCommonUi(const CommonUiSetup& setup = kSchedulerCommonUi);
// uiFont, uiBoldFont, uiUnderlineFont (when asked) and meiryoUi16Font, after
// finding out whether "Meiryo" and "Meiryo UI" are installed.
void CreateUiFonts(HWND window, bool withUnderline = true);
int CALLBACK FontEnumProc(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type, LPARAM lParam);
// Gives every control of a dialog the font (nothing when it is null).
void ApplyFontToControls(HWND dialog, HFONT font);
