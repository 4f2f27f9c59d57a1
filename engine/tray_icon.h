#pragma once
#include <windows.h>
#include <shellapi.h>

#include "shared/notify_icon.h"

// The notification-area icon of the main window and its two menus.

// Adds the icon with the tip "設定中" (the shared icon code, with this
// program's icon).
bool AddTrayIcon(HWND window);

// What menu 146 shows checked and greyed.
struct TrayMenuState {
  bool countWindowCreated;
  bool clickThrough;
  bool playing;
  bool soundMuted;
  bool countdownRunning;
};
// Menu 109 before the first count window, else 146 prepared from the state.
HMENU LoadTrayMenu(HINSTANCE instance, const TrayMenuState& state);
// The current state: flags, and whether the countdown dialog's player plays.
TrayMenuState CurrentTrayMenuState();
// Shows submenu 0 of the right menu at the cursor.
void ShowTrayMenu(HWND window);
