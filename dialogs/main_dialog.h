#pragma once
#include <windows.h>

#include <cstdint>

// Dialog 129, the main schedule dialog: a modeless child that fills the main
// window and edits one row of the schedule in place.

inline constexpr int kTimeLabelId = 1000;
inline constexpr int kActionLabelId = 1001;
inline constexpr int kDatePickerId = 1003;
inline constexpr int kTimePickerId = 1004;
inline constexpr int kActionComboId = 1005;
inline constexpr int kFirstDayButtonId = 1272;  // 1272 "日" .. 1278 "土"
inline constexpr int kAddButtonId = 1279;
inline constexpr int kDeleteButtonId = 1280;
inline constexpr int kMenuButtonId = 1281;
inline constexpr int kItemListId = 3000;

// Menu 184 of button 1281.
inline constexpr int kCmdSettingsSheet = 0x8028;
inline constexpr int kCmdProfiles = 0x8029;
inline constexpr int kCmdSwitchMode = 0x802a;
inline constexpr int kCmdHandOver = 0x802b;

// Client size of the dialog (and of the main window) in 96-DPI pixels.
inline constexpr int kMainDialogWidth = 389;
inline constexpr int kMainDialogHeight = 379;

// Creates the dialog in `parent` and sizes the parent so that its client area
// holds it, centred on the work area. loadedProfile 1: the list shows the
// model; 0: the model is cleared and given its defaults.
HWND CreateMainDialog(HWND parent, int loadedProfile);
INT_PTR CALLBACK MainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The start sequence of the start button: checks, countdown dialog, count
// window. True when the countdown runs.
bool StartSchedule(HWND dialog);

// Menu 153 of the settings pages' split buttons.
void ShowButtonPopupMenu(int controlId, HWND page);
HMENU BuildMainMenu184();
HMENU BuildAllItemsMenu153();

// Dialog state.
extern int32_t listRow;
extern HWND savedFocus;
extern uint8_t menuOpen;
extern HWND itemList;
