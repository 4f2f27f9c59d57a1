#include "timer_main_window.h"

#include <commctrl.h>

#include "appearance.h"
#include "appearance_dialog.h"
#include "count_window.h"
#include "countdown_state.h"
#include "layered_paint.h"
#include "overview_dialog.h"
#include "settings_dialog.h"
#include "shared/notify_icon.h"
#include "shared/sound_player.h"
#include "shared/ui_setup.h"
#include "skins.h"
#include "timer_about_box.h"
#include "timer_profile.h"

wchar_t timerWindowTitle[100];
wchar_t timerClassName[100];

namespace {

void DestroyIfOpen(HWND* window) {
  if (*window && IsWindow(*window)) DestroyWindow(*window);
  *window = nullptr;
}

// The count window goes first, as it lies behind the count dialog.
void DestroyCountdownWindows() {
  DestroyIfOpen(&countWindow);
  DestroyIfOpen(&countDialog);
}

// Skins cannot be chosen while the countdown watches the processor.
bool SkinChoiceAllowed() { return timerSettings.mode != CpuUsage; }

// Dialog 170 with this program's control ids; the dialog's own font.
AppearanceDialogConfig CountdownAppearanceDialog() {
  AppearanceDialogConfig config = kCountdownAppearanceDialogIds;
  config.skinChoiceAllowed = SkinChoiceAllowed;
  return config;
}
const AppearanceDialogConfig countdownAppearanceDialog = CountdownAppearanceDialog();

bool OnCreate(HWND window) {
  mainWindow = window;
  countWindowConfig = kCountdownCountWindowConfig;
  countWindowConfig.frontWindow = &countDialog;
  InstallAppearanceDialog(&countdownAppearanceDialog);
  InitCommonUi(kCountdownCommonUi);
  timerSettings.endNowNoCapture = 1;
  AddTrayIcon(window, kTimerIconId, L"設定中");
  // No underlined font: no dialog of this program underlines.
  CreateUiFonts(window, false);
  windowsVersion.dwOSVersionInfoSize = sizeof windowsVersion;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&windowsVersion);
#pragma GCC diagnostic pop
  InitLayeredPaintGlobals(meiryoUiAvailable);
  TimerInitNames(windowsVersion.dwMajorVersion);
  LoadCountWindowSettings();
  LoadAppearanceFile(window);
  wchar_t defaultProfile[kTimerProfileNameChars] = L"";
  GetPrivateProfileStringW(L"Setting", L"DefProfile", L"", defaultProfile, kTimerProfileNameChars,
                           kTimerIniPath);
  bool loaded = false;
  if (defaultProfile[0]) loaded = TimerLoadProfileFile(window, defaultProfile);
  LoadCountWindowImages(window);
  CreateTimerSettingsDialog(window, loaded);
  return true;
}

void OnTrayCallback(HWND window, LPARAM mouseMessage) {
  if (mouseMessage == WM_LBUTTONDBLCLK) {
    if (!countDialog) return;
    ShowWindow(countDialog, SW_SHOW);
    if (countWindow) ShowWindow(countWindow, SW_SHOW);
    SetForegroundWindow(countDialog);
    if (countWindow) SetForegroundWindow(countWindow);
    return;
  }
  if (mouseMessage != WM_RBUTTONDOWN) return;
  POINT cursor;
  GetCursorPos(&cursor);
  HMENU menu = TimerLoadTrayMenu(GetModuleHandleW(nullptr));
  if (!menu) return;
  SetForegroundWindow(window);
  TrackPopupMenu(GetSubMenu(menu, 0), TPM_BOTTOMALIGN | TPM_RIGHTALIGN, cursor.x, cursor.y, 0, window, nullptr);
  // Lets the menu close when the user clicks elsewhere.
  PostMessageW(window, WM_NULL, 0, 0);
  DestroyMenu(menu);
}

void OnCommand(HWND window, UINT id) {
  switch (id) {
    case kCmdExit:
    case kCmdExitIdle:
      DestroyCountdownWindows();
      DestroyIfOpen(&settingsDialog);
      DestroyWindow(window);
      break;
    case kCmdAbort:
      DestroyIfOpen(&overviewDialog);
      DestroyCountdownWindows();
      SetTrayTip(L"設定中...");
      ShowWindow(window, SW_SHOW);
      break;
    case kCmdMoveCountHome:
      MoveCountPairHome();
      break;
    case kCmdStopSound:
      if (countDialog) SendMessageW(countDialog, kMsgStopSound, 0, 0);
      break;
    case kCmdMute:
      soundMuted = !soundMuted;
      if (countDialog) SendMessageW(countDialog, kMsgApplyMute, 0, 0);
      break;
    case kCmdClickThrough:
      ToggleCountWindowClickThrough();
      break;
    case kCmdEndNow:
      // Only a running countdown acts on it: a request never waits for the next run.
      if (countDialog && IsWindow(countDialog)) endNowRequested = 1;
      break;
    case kCmdOverview:
      OpenOverviewDialog();
      break;
    case kCmdAboutRunning:
    case kCmdAboutIdle:
      OpenTimerAboutDialog(mainWindow);
      break;
    default:
      break;
  }
}

}  // namespace

HMENU TimerLoadTrayMenu(HINSTANCE instance) {
  if (!countWindowCreated) return LoadMenuW(instance, MAKEINTRESOURCEW(173));
  HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(109));
  if (!menu) return nullptr;
  CheckMenuItem(menu, kCmdClickThrough,
                MF_BYCOMMAND | (countWindowSettings.clickThrough ? MF_CHECKED : MF_UNCHECKED));
  uint8_t playing = 0;
  if (countDialog) SendMessageW(countDialog, kMsgQueryPlaying, 0, reinterpret_cast<LPARAM>(&playing));
  EnableMenuItem(menu, kCmdStopSound, MF_BYCOMMAND | (playing ? MF_ENABLED : MF_GRAYED));
  CheckMenuItem(menu, kCmdMute, MF_BYCOMMAND | (soundMuted ? MF_CHECKED : MF_UNCHECKED));
  return menu;
}

bool TimerRegisterWindowClasses(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = TimerMainWndProc;
  wc.hInstance = instance;
  wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kTimerIconId), IMAGE_ICON, 48, 48, 0));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kTimerIconId), IMAGE_ICON, 16, 16, 0));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = timerClassName;
  const bool mainClass = RegisterClassExW(&wc) != 0;
  const bool countClass = RegisterCountWindowClass(instance, kTimerIconId);
  return mainClass && countClass;
}

int TimerCreateMainWindow(HINSTANCE instance, int showCommand) {
  HWND window = CreateWindowExW(0, timerClassName, timerWindowTitle, WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (!window) return 0;
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  return 1;
}

int TimerRunMessageLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (settingsDialog && IsDialogMessageW(settingsDialog, &msg)) continue;
    // The overview is modeless too: Esc and Tab must reach it.
    if (overviewDialog && IsDialogMessageW(overviewDialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

LRESULT CALLBACK TimerMainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window) ? 0 : -1;
    case WM_DESTROY:
      // However the program ends, the countdown's own clean-up runs first:
      // the player goes and the machine may idle-sleep again.
      DestroyCountdownWindows();
      KillTimer(window, kTrayRetryTimer);
      RemoveTrayIcon();
      if (mainWindow == window) mainWindow = nullptr;
      PostQuitMessage(0);
      return 0;
    case WM_ACTIVATE:
      if (settingsDialog)
        SendMessageW(settingsDialog, kMsgSettingsActivate, LOWORD(wParam) != WA_INACTIVE ? 1 : 0, 0);
      return 0;
    case WM_TIMER:
      if (wParam == kTrayRetryTimer) RestoreTrayIcon(window);
      return 0;
    case WM_COMMAND:
      OnCommand(window, LOWORD(wParam));
      return 0;
    case kTrayCallbackMessage:
      OnTrayCallback(window, lParam);
      return 0;
    default:
      if (taskbarCreatedMessage && message == taskbarCreatedMessage) {
        RestoreTrayIcon(window);
        return 0;
      }
      return DefWindowProcW(window, message, wParam, lParam);
  }
}
