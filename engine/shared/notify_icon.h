#pragma once
#include <windows.h>
#include <shellapi.h>

// The notification-area icon of a program's main window: one icon (id 1)
// reporting through 0x8064. The shell loses every icon when it restarts, and
// at log-on it may not be ready yet; both come back through RestoreTrayIcon.

extern NOTIFYICONDATAW trayIconData;
// "TaskbarCreated": the shell has restarted and lost every icon.
extern UINT taskbarCreatedMessage;

inline constexpr UINT kTrayCallbackMessage = WM_APP + 0x64;
inline constexpr UINT_PTR kTrayRetryTimer = 0x7001;
inline constexpr UINT kTrayRetryMilliseconds = 3000;

// Adds the icon (resource `iconId` at 16 x 16) with `tip`. When the shell is
// not ready yet a timer on the window tries again until it succeeds.
bool AddTrayIcon(HWND window, int iconId, const wchar_t* tip);
// The timer or "TaskbarCreated": adds the icon again with its current tip.
bool RestoreTrayIcon(HWND window);
void SetTrayTip(const wchar_t* tip);
void RemoveTrayIcon();
