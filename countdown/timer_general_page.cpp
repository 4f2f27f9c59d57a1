#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <initializer_list>
#include <string>

#include "dpi_scaling.h"
#include "shared/ui_setup.h"
#include "file_pickers.h"
#include "shared/utilities.h"
#include "timer_settings_sheet.h"

namespace {

constexpr int kForceCheck = 1140;
constexpr int kBringToFrontCheck = 1141;
constexpr int kCaptureCheck = 1142;
constexpr int kMonitorCheck = 1144;
constexpr int kEndNowNoCaptureCheck = 1145;
constexpr int kHideTimerCheck = 1146;
constexpr int kMinutesEdit = 1279;
constexpr int kFolderEdit = 1280;
constexpr int kMinutesLabel = 1283;
constexpr int kFormatLabel = 1284;
constexpr int kBmpRadio = 1287;
constexpr int kJpegRadio = 1288;
constexpr int kBrowseButton = 1289;
constexpr int kDefaultButton = 1290;
constexpr int kFolderLabel = 1292;

struct Placement {
  int id, x, y, width, height;
};
constexpr Placement kPlacements[] = {
    {kForceCheck, 17, 18, 99, 22},         {kBringToFrontCheck, 17, 47, 267, 22}, {kMinutesEdit, 294, 45, 37, 25},
    {kMinutesLabel, 336, 48, 32, 18},      {kCaptureCheck, 17, 77, 267, 22},      {kFormatLabel, 34, 112, 56, 18},
    {kBmpRadio, 136, 110, 51, 22},         {kJpegRadio, 193, 110, 54, 22},        {kFolderLabel, 34, 141, 92, 18},
    {kFolderEdit, 37, 163, 253, 25},       {kBrowseButton, 296, 160, 50, 30},     {kDefaultButton, 352, 160, 65, 30},
    {kEndNowNoCaptureCheck, 37, 195, 315, 22}, {kMonitorCheck, 17, 224, 189, 22}, {kHideTimerCheck, 17, 253, 219, 22},
};

constexpr int kCaptureGroup[] = {kFormatLabel, kBmpRadio,      kJpegRadio,    kFolderLabel,
                                 kFolderEdit,  kBrowseButton,  kDefaultButton, kEndNowNoCaptureCheck};

struct CheckField {
  int id;
  uint8_t TimerSettings::*field;
};
constexpr CheckField kCheckFields[] = {
    {kForceCheck, &TimerSettings::forceAction},
    {kBringToFrontCheck, &TimerSettings::bringToFront},
    {kCaptureCheck, &TimerSettings::captureEnabled},
    {kEndNowNoCaptureCheck, &TimerSettings::endNowNoCapture},
    {kMonitorCheck, &TimerSettings::monitorOnAfterResume},
    {kHideTimerCheck, &TimerSettings::hideTimerAtStart},
};

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void EnableMinutes(HWND page, bool enable) {
  EnableWindow(GetDlgItem(page, kMinutesEdit), enable);
  EnableWindow(GetDlgItem(page, kMinutesLabel), enable);
}

void EnableCaptureGroup(HWND page, bool enable) {
  for (int id : kCaptureGroup) EnableWindow(GetDlgItem(page, id), enable);
}

void ShapeSheet(HWND sheet, HFONT font) {
  SetWindowTextW(sheet, L"詳細設定");
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ApplySheetLayout(sheet, TimerComputeSheetLayout(screenDpi.dpiX, work), font);
}

void OnInitDialog(HWND page) {
  RegisterSheetPage(timerSheetValidation, page, kTimerGeneralPage);
  ShapeSheet(GetParent(page), reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0)));
  for (const Placement& p : kPlacements) PlaceControl(page, p.id, p.x, p.y, p.width, p.height);
  SendDlgItemMessageW(page, kMinutesEdit, EM_LIMITTEXT, 2, 0);
  SendDlgItemMessageW(page, kFolderEdit, EM_LIMITTEXT, kCaptureFolderChars - 1, 0);

  const TimerSettings& s = timerSettings;
  EnableMinutes(page, false);
  EnableCaptureGroup(page, false);
  for (const CheckField& c : kCheckFields) CheckDlgButton(page, c.id, s.*c.field ? BST_CHECKED : BST_UNCHECKED);
  if (s.bringToFront) EnableMinutes(page, true);
  if (s.captureEnabled) EnableCaptureGroup(page, true);
  TimerSetDlgItemNumber(16, GetDlgItem(page, kMinutesEdit), s.bringToFrontSeconds / 60);
  CheckRadioButton(page, kBmpRadio, kJpegRadio, s.captureFormat == 1 ? kJpegRadio : kBmpRadio);
  if (s.captureFolder[0]) {
    SetDlgItemTextW(page, kFolderEdit, s.captureFolder);
  } else {
    wchar_t folder[MAX_PATH];
    TimerDefaultCaptureFolder(folder);
    SetDlgItemTextW(page, kFolderEdit, folder);
  }
  if (!s.resumeEnabled) EnableWindow(GetDlgItem(page, kMonitorCheck), FALSE);
  if (s.mode != Time) {
    EnableWindow(GetDlgItem(page, kBringToFrontCheck), FALSE);
    EnableMinutes(page, false);
  }
}

void OnCommand(HWND page, int id) {
  switch (id) {
    case kBringToFrontCheck:
      EnableMinutes(page, Checked(page, kBringToFrontCheck));
      break;
    case kCaptureCheck:
      EnableCaptureGroup(page, Checked(page, kCaptureCheck));
      break;
    case kBrowseButton:
      BrowseForFolder(page, GetDlgItem(page, kFolderEdit));
      break;
    case kDefaultButton: {
      wchar_t folder[MAX_PATH];
      TimerDefaultCaptureFolder(folder);
      SetDlgItemTextW(page, kFolderEdit, folder);
      break;
    }
    default:
      break;
  }
}

void OnCheck(HWND page) {
  if (Checked(page, kCaptureCheck) && TimerCheckCaptureFolderLength(GetDlgItem(page, kFolderEdit), page) < 0) {
    timerSheetState.validationFailed = kTimerGeneralPage;
    return;
  }
  if (Checked(page, kBringToFrontCheck) &&
      !TimerBringToFrontMinutesValid(GetEditInt(nullptr, GetDlgItem(page, kMinutesEdit)))) {
    MessageBoxW(page, kTimerMinutesRefused, L"", MB_OK);
    timerSheetState.validationFailed = kTimerGeneralPage;
  }
}

void OnApply(HWND page) {
  if (!SheetPageMayStore(timerSheetValidation, page, kTimerGeneralPage)) return;
  TimerSettings& s = timerSettings;
  for (const CheckField& c : kCheckFields) s.*c.field = Checked(page, c.id) ? 1 : 0;
  s.bringToFrontSeconds = GetEditInt(nullptr, GetDlgItem(page, kMinutesEdit)) * 60;
  s.captureFormat = Checked(page, kJpegRadio) ? 1 : 0;
  wchar_t folder[kCaptureFolderChars] = {};
  GetDlgItemTextW(page, kFolderEdit, folder, kCaptureFolderChars);
  if (folder[0]) {
    wmemcpy(s.captureFolder, folder, kCaptureFolderChars);
  } else {
    wchar_t fallback[MAX_PATH];
    TimerDefaultCaptureFolder(fallback);
    CopyText(s.captureFolder, kCaptureFolderChars, fallback);
  }
  SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
}

}  // namespace

int TimerCheckCaptureFolderLength(HWND edit, HWND owner) {
  const int length = GetWindowTextLengthW(edit);
  if (const wchar_t* refusal = TimerCaptureFolderRefusal(static_cast<size_t>(length))) {
    MessageBoxW(owner, refusal, L"", MB_OK);
    return -1;
  }
  return length + 1;
}

INT_PTR CALLBACK TimerGeneralPageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      ApplyFontToControls(page, uiFont);
      OnInitDialog(page);
      return TRUE;
    case WM_COMMAND:
      OnCommand(page, LOWORD(wParam));
      return FALSE;
    case kMsgTimerCheckPage:
      OnCheck(page);
      return TRUE;
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lParam)->code == PSN_APPLY) {
        OnApply(page);
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      ForgetSheetPage(timerSheetValidation, page);
      return FALSE;
    default:
      return FALSE;
  }
}
