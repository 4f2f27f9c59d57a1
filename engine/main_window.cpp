#include "main_window.h"

#include <cwchar>

#include "action_names.h"
#include "appearance.h"
#include "appearance_dialog.h"
#include "common_ui.h"
#include "confirm_dialog.h"
#include "count_window.h"
#include "countdown_dialog.h"
#include "feature_switches_dialog.h"
#include "layered_paint.h"
#include "mail_jobs.h"
#include "main_dialog.h"
#include "action_executor.h"
#include "main_window_state.h"
#include "mode_dialog.h"
#include "password_prompt_dialog.h"
#include "scheduler_about_box.h"
#include "private_messages.h"
#include "profile_file.h"
#include "schedule_model.h"
#include "skins.h"
#include "startup_settings.h"
#include "tray_icon.h"

wchar_t windowTitle[100];
wchar_t className[100];

namespace {

void RaiseWindow(HWND window) {
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void SetModeNameText() {
  const wchar_t* name = ScheduleModeName(scheduleMode);
  swprintf(modeNameText, 10, L"%ls", name ? name : L"");
}

void DestroyIfOpen(HWND* window) {
  if (*window && IsWindow(*window)) DestroyWindow(*window);
  *window = nullptr;
}

// Ends the run's windows; the count window goes first, as it lies behind.
// A running mail has been cancelled before (the dialog's WM_DESTROY would too).
void DestroyRunWindows() {
  DestroyIfOpen(&countWindow);
  DestroyIfOpen(&countdownDialog);
  endNowRequested = 0;
}

// Dialog 151 with the scheduler's control ids, fonts and pen.
AppearanceDialogConfig SchedulerAppearanceDialog() {
  AppearanceDialogConfig config = kSchedulerAppearanceDialogIds;
  config.font = &uiFont;
  config.separatorPen = &separatorPen;
  config.workArea = &workArea;
  return config;
}
const AppearanceDialogConfig schedulerAppearanceDialog = SchedulerAppearanceDialog();

bool OnCreate(HWND window) {
  mainWindow = window;
  // The shared count window lies behind this program's countdown dialog.
  countWindowConfig = kSchedulerCountWindowConfig;
  countWindowConfig.frontWindow = &countdownDialog;
  InstallAppearanceDialog(&schedulerAppearanceDialog);
  InitCommonUi();
  AddTrayIcon(window);
  CreateUiFonts(window);
  windowsVersion.dwOSVersionInfoSize = sizeof windowsVersion;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&windowsVersion);
#pragma GCC diagnostic pop
  InitLayeredPaintGlobals(meiryoUiAvailable);
  InitPowerActionNames(windowsVersion.dwMajorVersion);
  LoadCountWindowSettings(workArea);
  LoadStartUpSetting();
  LoadAppearanceFile(window);

  bool profileLoaded = false;
  if (startProfileName[0]) {
    profileLoaded = LoadProfileFile(mainWindow, startProfileName);
    if (!profileLoaded) startProfileName[0] = L'\0';
  }
  if (!profileLoaded) {
    wchar_t defaultProfile[kProfileNameChars];
    ReadDefaultProfileName(defaultProfile);
    if (defaultProfile[0]) profileLoaded = LoadProfileFile(mainWindow, defaultProfile);
  }
  LoadButtonBitmaps(window);
  LoadCountWindowImages(window);
  if (!profileLoaded) {
    // "終了" in the start-up mode dialog ends the program: the creation fails.
    if (RunModeDialog(window, 1) == 0) {
      // A failed creation sends no WM_DESTROY everywhere: take back the icon here.
      KillTimer(window, kTrayRetryTimer);
      RemoveTrayIcon();
      return false;
    }
    SetModeNameText();
  }
  mainDialog = CreateMainDialog(window, profileLoaded ? 1 : 0);
  return true;
}

void OnSwitchMode(HWND window) {
  const ScheduleMode remembered = scheduleMode;
  if (RunModeDialog(window, 0) == 1) {
    SetModeNameText();
    DestroyIfOpen(&mainDialog);
    mainDialog = CreateMainDialog(window, 0);
  } else {
    scheduleMode = remembered;
  }
}

void OnTrayCallback(HWND window, WPARAM id, LPARAM mouseMessage) {
  if (id != 1) return;
  if (mouseMessage == WM_LBUTTONDBLCLK) {
    if (!CountdownDialogExists()) return;
    ShowWindow(countdownDialog, SW_SHOW);
    if (countWindow) ShowWindow(countWindow, SW_SHOW);
    SetForegroundWindow(countdownDialog);
    if (countWindow) SetForegroundWindow(countWindow);
  } else if (mouseMessage == WM_RBUTTONDOWN) {
    ShowTrayMenu(window);
  }
}

}  // namespace

bool PassPasswordLock(HWND owner) {
  if (!profileSettings.general.passwordLock) return true;
  return RunPasswordPrompt(owner) == 1;
}

void HandleMainCommand(HWND window, UINT id) {
  switch (id) {
    case kCmdExit:
      if (!PassPasswordLock(window)) return;
      if (CountdownDialogExists()) SendMessageW(countdownDialog, kMsgCancelMail, 0, 0);
      DestroyRunWindows();
      DestroyIfOpen(&mainDialog);
      DestroyWindow(window);
      return;
    case kCmdAbort:
      if (!PassPasswordLock(window)) return;
      // A running mail is cancelled first, while the run's dialogs still stand.
      if (CountdownDialogExists()) SendMessageW(countdownDialog, kMsgCancelMail, 0, 0);
      DestroyIfOpen(&confirmDialog);
      DestroyIfOpen(&featureDialog);
      DestroyRunWindows();
      SetTrayTip(L"設定中...");
      ShowWindow(window, SW_SHOW);
      return;
    case kCmdMoveCountHome:
      // The count window follows the dialog's move.
      if (CountdownDialogExists()) MoveCountPairHome();
      return;
    case kCmdStopSound:
      if (CountdownDialogExists()) SendMessageW(countdownDialog, kMsgStopSound, 0, 0);
      return;
    case kCmdMute:
      soundMuted = !soundMuted;
      if (CountdownDialogExists()) SendMessageW(countdownDialog, kMsgApplyMute, 0, 0);
      return;
    case kCmdClickThrough:
      ToggleCountWindowClickThrough();
      return;
    case kCmdAboutRunning:
    case kCmdAboutIdle:
      OpenAboutDialog(window);
      return;
    case kCmdConfirm:
      // The dialog shows the run's next item: nothing to show without a run.
      if (!CountdownDialogExists()) return;
      if (confirmDialog && IsWindow(confirmDialog)) RaiseWindow(confirmDialog);
      else OpenConfirmDialog();
      return;
    case kCmdFeatureSwitches:
      // Without a run there is no next item, and switches set now would
      // silently drop side actions of the next start.
      if (!CountdownDialogExists() || (featureDialog && IsWindow(featureDialog))) return;
      if (!PassPasswordLock(window)) return;
      if (CountdownDialogExists()) OpenFeatureSwitchDialog();
      return;
    case kCmdEndNow:
      // Only a running countdown can end now; a request kept for later would
      // perform the action at the next start.
      if (!CountdownDialogExists() || endNowRequested) return;
      if (!PassPasswordLock(window)) return;
      RequestEndNow();
      return;
    default:
      return;
  }
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window) ? 0 : -1;
    case WM_DESTROY:
      KillTimer(window, kTrayRetryTimer);
      RemoveTrayIcon();
      // Every way out ends here: no mail worker may be cut off mid-dialogue.
      EndEveryMailJob(LogMailCutOff);
      PostQuitMessage(0);
      return 0;
    case WM_ACTIVATE:
      if (mainDialog) SendMessageW(mainDialog, kMsgMainDialogActivate, LOWORD(wParam) != WA_INACTIVE ? 1 : 0, 0);
      return 0;
    case WM_TIMER:
      if (wParam == kTrayRetryTimer) RestoreTrayIcon(window);
      return 0;
    case WM_COMMAND:
      HandleMainCommand(window, LOWORD(wParam));
      return 0;
    case kMsgSwitchMode:
      OnSwitchMode(window);
      return 0;
    case kMsgTrayCallback:
      OnTrayCallback(window, wParam, lParam);
      return 0;
    default:
      if (taskbarCreatedMessage && message == taskbarCreatedMessage) {
        RestoreTrayIcon(window);
        return 0;
      }
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

bool RegisterWindowClasses(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = MainWndProc;
  wc.hInstance = instance;
  wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(218), IMAGE_ICON, 48, 48, LR_DEFAULTCOLOR));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(218), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  const bool mainClass = RegisterClassExW(&wc) != 0;
  const bool countClass = RegisterCountWindowClass(instance, 218);
  return mainClass && countClass;
}
