#include "tray_icon.h"

#include "count_window.h"
#include "main_window_state.h"
#include "private_messages.h"

NOTIFYICONDATAW trayIconData;
UINT taskbarCreatedMessage;

namespace {

void FillTrayIconData(HWND window, const wchar_t* tip) {
  trayIconData.cbSize = sizeof trayIconData;
  trayIconData.hWnd = window;
  trayIconData.uID = 1;
  trayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  trayIconData.uCallbackMessage = kMsgTrayCallback;
  if (!trayIconData.hIcon)
    trayIconData.hIcon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(218), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  lstrcpynW(trayIconData.szTip, tip, ARRAYSIZE(trayIconData.szTip));
}

}  // namespace

// The full record: 956 bytes in a 32-bit build, 976 in a 64-bit one.
static_assert(sizeof(NOTIFYICONDATAW) == (sizeof(void*) == 4 ? 956 : 976), "the shell expects the full record");

bool AddTrayIcon(HWND window) {
  if (!taskbarCreatedMessage) taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
  FillTrayIconData(window, L"設定中");
  if (Shell_NotifyIconW(NIM_ADD, &trayIconData)) return true;
  SetTimer(window, kTrayRetryTimer, kTrayRetryMilliseconds, nullptr);
  return false;
}

bool RestoreTrayIcon(HWND window) {
  FillTrayIconData(window, trayIconData.szTip);
  if (Shell_NotifyIconW(NIM_ADD, &trayIconData) || Shell_NotifyIconW(NIM_MODIFY, &trayIconData)) {
    KillTimer(window, kTrayRetryTimer);
    return true;
  }
  SetTimer(window, kTrayRetryTimer, kTrayRetryMilliseconds, nullptr);
  return false;
}

void SetTrayTip(const wchar_t* tip) {
  lstrcpynW(trayIconData.szTip, tip, ARRAYSIZE(trayIconData.szTip));
  Shell_NotifyIconW(NIM_MODIFY, &trayIconData);
}

void RemoveTrayIcon() { Shell_NotifyIconW(NIM_DELETE, &trayIconData); }

HMENU LoadTrayMenu(HINSTANCE instance, const TrayMenuState& state) {
  if (!state.countWindowCreated) return LoadMenuW(instance, MAKEINTRESOURCEW(109));
  HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(146));
  if (!menu) return nullptr;
  CheckMenuItem(menu, kCmdClickThrough, MF_BYCOMMAND | (state.clickThrough ? MF_CHECKED : MF_UNCHECKED));
  EnableMenuItem(menu, kCmdStopSound, MF_BYCOMMAND | (state.playing ? MF_ENABLED : MF_GRAYED));
  CheckMenuItem(menu, kCmdMute, MF_BYCOMMAND | (state.soundMuted ? MF_CHECKED : MF_UNCHECKED));
  // Ending at once and the switches for the next item mean nothing while no
  // countdown runs.
  const UINT runOnly = MF_BYCOMMAND | (state.countdownRunning ? MF_ENABLED : MF_GRAYED);
  EnableMenuItem(menu, kCmdEndNow, runOnly);
  EnableMenuItem(menu, kCmdFeatureSwitches, runOnly);
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
