#include "mode_dialog.h"

#include "dpi_scaling.h"
#include "in_memory_dialog.h"
#include "schedule_model.h"

uint8_t exitOnCancel;

namespace {

void OnInit(HWND dialog, LPARAM atStartup) {
  const int dpi = ScreenDpiValue();
  HFONT font = DialogUiFont();
  exitOnCancel = atStartup == 1 ? 1 : 0;
  CreateScaledControl(dialog, L"STATIC", L"モード選択:", 0, 0, kModeLabelId, 12, 9, 73, 18, dpi, font);
  CreateScaledControl(dialog, L"BUTTON", L"日時指定", WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0,
                      kDateModeRadioId, 48, 36, 74, 22, dpi, font);
  CreateScaledControl(dialog, L"BUTTON", L"毎日繰り返す", BS_AUTORADIOBUTTON, 0, kDailyModeRadioId,
                      48, 65, 98, 22, dpi, font);
  CreateScaledControl(dialog, L"BUTTON", L"毎週繰り返す", BS_AUTORADIOBUTTON, 0, kWeeklyModeRadioId,
                      48, 94, 98, 22, dpi, font);
  CreateScaledControl(dialog, L"BUTTON", L"OK", WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, IDOK, 7,
                      134, 80, 30, dpi, font);
  CreateScaledControl(dialog, L"BUTTON", exitOnCancel ? L"終了" : L"キャンセル", WS_TABSTOP, 0,
                      IDCANCEL, 94, 134, 80, 30, dpi, font);
  const int mode = scheduleMode >= DateMode && scheduleMode <= WeeklyMode ? scheduleMode : DateMode;
  CheckRadioButton(dialog, kDateModeRadioId, kWeeklyModeRadioId, kDateModeRadioId + mode);

  // 188 x 203 is the whole dialog, frame and caption included.
  const int width = ScaleForDpi(188, dpi);
  const int height = ScaleForDpi(203, dpi);
  const POINT at = CenterOnWorkArea(CurrentWorkArea(), width, height);
  SetWindowPos(dialog, nullptr, at.x, at.y, width, height, SWP_NOZORDER);
  SetFocus(GetDlgItem(dialog, kDateModeRadioId));
}

}  // namespace

INT_PTR CALLBACK ModeSelectDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInit(dialog, lParam);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        if (IsDlgButtonChecked(dialog, kDateModeRadioId) == BST_CHECKED) {
          scheduleMode = DateMode;
        } else if (IsDlgButtonChecked(dialog, kDailyModeRadioId) == BST_CHECKED) {
          scheduleMode = DailyMode;
        } else {
          scheduleMode = WeeklyMode;
        }
        EndDialog(dialog, 1);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR RunModeDialog(HWND owner, int atStartup) {
  const std::vector<WORD> words = BuildEmptyDialogTemplate(
      WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, L"SoporaScheduler");
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                 reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), owner,
                                 ModeSelectDlgProc, atStartup);
}
