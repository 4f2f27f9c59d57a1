#include "notify_icon.h"

NOTIFYICONDATAW trayIconData;
UINT taskbarCreatedMessage;

namespace {

int trayIconId;

void FillTrayIconData(HWND window, const wchar_t* tip) {
  trayIconData.cbSize = sizeof trayIconData;
  trayIconData.hWnd = window;
  trayIconData.uID = 1;
  trayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  trayIconData.uCallbackMessage = kTrayCallbackMessage;
  if (!trayIconData.hIcon)
    trayIconData.hIcon = static_cast<HICON>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(trayIconId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  if (tip != trayIconData.szTip) lstrcpynW(trayIconData.szTip, tip, ARRAYSIZE(trayIconData.szTip));
}

}  // namespace

// The full record: 956 bytes in a 32-bit build, 976 in a 64-bit one.
static_assert(sizeof(NOTIFYICONDATAW) == (sizeof(void*) == 4 ? 956 : 976), "the shell expects the full record");

bool AddTrayIcon(HWND window, int iconId, const wchar_t* tip) {
  if (!taskbarCreatedMessage) taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
  trayIconId = iconId;
  FillTrayIconData(window, tip);
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
