#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>

// Drives the program's settings sheet "詳細設定" from inside its modal loop.
namespace sheet_driver {

// Opens the sheet with the program's five pages over a hidden owner, runs
// `actions` once the sheet stands and returns when the sheet has closed.
// Actions that leave the sheet open are followed by Cancel.
void RunSettingsSheet(const std::function<void(HWND sheet)>& actions);

HWND Page(int number);  // kGeneralPage ... kMailPage; null until opened
void ShowPage(HWND sheet, int index);  // tab index in display order
void PressOk(HWND sheet);
void PressCancel(HWND sheet);
// After OK: false when the sheet applied and is closing.
bool StillOpen(HWND sheet);
// Clicks a button or check box of a window the way a user's click does.
void Click(HWND parent, int id);

}  // namespace sheet_driver
