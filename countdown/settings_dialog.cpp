#include "settings_dialog.h"

#include <cwchar>

#include "countdown_state.h"
#include "dpi_scaling.h"
#include "shared/clock.h"
#include "start_countdown.h"

TimerPickerValues settingsPickers;

namespace {

// The loaded profile at the moment of opening: dates by the load-day rules.
void ApplyProfile(HWND dialog) {
  SYSTEMTIME now;
  GetClockLocalTime(&now);
  settingsPickers = TimerLoadedPickerValues(timerSettings, now);
  const TimerSettings& s = timerSettings;
  const int mode = s.mode >= Time && s.mode <= EndNow ? s.mode : Time;
  wchar_t text[128];
  _snwprintf(text, 128, L"%ls / %ls", timerDisplayNames[5 + mode], TimerActionDisplayName(s.action));
  text[127] = L'\0';
  SetDlgItemTextW(dialog, kSettingsSummaryId, text);
}

void OnInitDialog(HWND dialog, LPARAM profileLoaded) {
  settingsDialog = dialog;
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = ScaleX(300);
  const int height = ScaleY(281);
  // The frame is sized so that this dialog fills its client area.
  RECT frame = {0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(mainWindow, GWL_STYLE)), FALSE, 0);
  const POINT at = CenterOnWorkArea(work, frame.right - frame.left, frame.bottom - frame.top);
  MoveWindow(mainWindow, at.x, at.y, frame.right - frame.left, frame.bottom - frame.top, TRUE);
  MoveWindow(dialog, 0, 0, width, height, TRUE);
  PlaceControl(dialog, kSettingsSummaryId, 20, 60, 260, 20);
  PlaceControl(dialog, IDOK, 60, 230, 77, 28);
  PlaceControl(dialog, IDCANCEL, 163, 230, 77, 28);
  if (profileLoaded) {
    SendMessageW(dialog, kMsgApplyProfile, 0, 0);
  } else {
    SetTimerSettingsDefaults(&timerSettings);
    ApplyProfile(dialog);
  }
}

}  // namespace

HWND CreateTimerSettingsDialog(HWND parent, bool profileLoaded) {
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kSettingsDialogId), parent,
                            TimerMainDlgProc, profileLoaded ? 1 : 0);
}

INT_PTR CALLBACK TimerMainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog, lParam);
      return FALSE;
    case kMsgApplyProfile:
      ApplyProfile(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        TimerStartCountdown(dialog, settingsPickers);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        // Esc in the dialog is no request to end the program.
        if (lParam) DestroyWindow(mainWindow);
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      if (settingsDialog == dialog) settingsDialog = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}
