#include "tray_icon.h"

#include "count_window.h"
#include "main_window_state.h"
#include "private_messages.h"

bool AddTrayIcon(HWND window) { return AddTrayIcon(window, 218, L"設定中"); }

HMENU LoadTrayMenu(HINSTANCE instance, const TrayMenuState& state) {
  if (!state.countWindowCreated) return LoadMenuW(instance, MAKEINTRESOURCEW(109));
  HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(146));
  if (!menu) return nullptr;
  CheckMenuItem(menu, kCmdClickThrough, MF_BYCOMMAND | (state.clickThrough ? MF_CHECKED : MF_UNCHECKED));
  EnableMenuItem(menu, kCmdStopSound, MF_BYCOMMAND | (state.playing ? MF_ENABLED : MF_GRAYED));
  CheckMenuItem(menu, kCmdMute, MF_BYCOMMAND | (state.soundMuted ? MF_CHECKED : MF_UNCHECKED));
  // Ending at once, the switches for the next item and its confirmation mean
  // nothing while no countdown runs.
  const UINT runOnly = MF_BYCOMMAND | (state.countdownRunning ? MF_ENABLED : MF_GRAYED);
  EnableMenuItem(menu, kCmdEndNow, runOnly);
  EnableMenuItem(menu, kCmdFeatureSwitches, runOnly);
  EnableMenuItem(menu, kCmdConfirm, runOnly);
  return menu;
}

TrayMenuState CurrentTrayMenuState() {
  TrayMenuState state{};
  state.countWindowCreated = countWindowCreated != 0;
  state.clickThrough = countWindowSettings.clickThrough;
  state.soundMuted = soundMuted != 0;
  state.countdownRunning = CountdownDialogExists();
  if (state.countWindowCreated && state.countdownRunning) {
    uint8_t playing = 0;
    SendMessageW(countdownDialog, kMsgQueryPlaying, 0, reinterpret_cast<LPARAM>(&playing));
    state.playing = playing != 0;
  }
  return state;
}

void ShowTrayMenu(HWND window) {
  POINT cursor;
  GetCursorPos(&cursor);
  HMENU menu = LoadTrayMenu(GetModuleHandleW(nullptr), CurrentTrayMenuState());
  if (!menu) return;
  SetForegroundWindow(window);
  TrackPopupMenu(GetSubMenu(menu, 0), TPM_BOTTOMALIGN | TPM_RIGHTALIGN, cursor.x, cursor.y, 0, window, nullptr);
  // Lets the menu close when the user clicks elsewhere.
  PostMessageW(window, WM_NULL, 0, 0);
  DestroyMenu(menu);
}
