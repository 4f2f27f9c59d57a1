#pragma once
#include <windows.h>
#include <shellapi.h>

// The notification-area icon of the main window and its two menus.

extern NOTIFYICONDATAW trayIconData;
// "TaskbarCreated": the shell has restarted and lost every icon.
extern UINT taskbarCreatedMessage;

inline constexpr UINT_PTR kTrayRetryTimer = 0x7001;
inline constexpr UINT kTrayRetryMilliseconds = 3000;

// Adds the icon with the tip "設定中". When the shell is not ready yet a timer
// on the window tries again until it succeeds.
bool AddTrayIcon(HWND window);
// The timer or "TaskbarCreated": adds the icon again with its current tip.
bool RestoreTrayIcon(HWND window);
void SetTrayTip(const wchar_t* tip);
void RemoveTrayIcon();

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
