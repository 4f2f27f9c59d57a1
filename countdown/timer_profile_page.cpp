#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <initializer_list>

#include "dpi_scaling.h"
#include "shared/ui_setup.h"
#include "timer_settings_sheet.h"

namespace {

constexpr int kNoKeepTimeCheck = 1649;
constexpr int kAdvanceDateCheck = 1650;
constexpr int kMinusDayCheck = 1651;
constexpr int kEndDaysList = 1655;
constexpr int kResumeDaysList = 1656;
constexpr int kFromHourEdit = 1660;
constexpr int kToHourEdit = 1661;
constexpr int kFromHourSpin = 1670;
constexpr int kToHourSpin = 1671;
constexpr int kEndLabels[] = {1611, 1612};
constexpr int kResumeLabels[] = {1613, 1614};
constexpr int kHourControls[] = {kFromHourEdit, kToHourEdit, kFromHourSpin, kToHourSpin, 1615, 1616};

struct Placement {
  int id, x, y, width, height;
};
constexpr Placement kPlacements[] = {
    {1610, 73, 29, 227, 18},   {kNoKeepTimeCheck, 76, 68, 241, 22}, {kAdvanceDateCheck, 76, 97, 183, 22},
    {1611, 113, 128, 78, 18},  {kEndDaysList, 192, 125, 32, 26},    {1612, 230, 128, 44, 18},
    {1613, 113, 166, 78, 18},  {kResumeDaysList, 192, 163, 32, 26}, {1614, 230, 166, 44, 18},
    {kMinusDayCheck, 97, 197, 255, 22}, {kFromHourEdit, 153, 226, 40, 25}, {kFromHourSpin, 183, 226, 10, 25},
    {1615, 196, 230, 32, 18},  {kToHourEdit, 222, 226, 40, 25},     {kToHourSpin, 252, 226, 10, 25},
    {1616, 267, 230, 13, 25},
};

// Taken when the page opens.
TimerDayLists dayLists;

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
void Enable(HWND page, int id, bool enable) { EnableWindow(GetDlgItem(page, id), enable); }

void EnableHours(HWND page, bool enable) {
  for (int id : kHourControls) Enable(page, id, enable);
}

void EnableDayLists(HWND page, bool enable) {
  if (dayLists.end) {
    Enable(page, kEndDaysList, enable);
    for (int id : kEndLabels) Enable(page, id, enable);
  }
  if (dayLists.resume) {
    Enable(page, kResumeDaysList, enable);
    for (int id : kResumeLabels) Enable(page, id, enable);
  }
  Enable(page, kMinusDayCheck, enable);
}

int Selection(HWND page, int id) { return static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0)); }

void OnInitDialog(HWND page) {
  RegisterSheetPage(timerSheetValidation, page, kTimerProfilePage);
  for (const Placement& p : kPlacements) PlaceControl(page, p.id, p.x, p.y, p.width, p.height);
  const struct {
    int spin, edit;
  } spins[] = {{kFromHourSpin, kFromHourEdit}, {kToHourSpin, kToHourEdit}};
  for (const auto& s : spins) {
    SendDlgItemMessageW(page, s.spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page, s.edit)), 0);
    SendDlgItemMessageW(page, s.spin, UDM_SETRANGE32, 0, 23);
    SendDlgItemMessageW(page, s.edit, EM_LIMITTEXT, 2, 0);
  }

  const TimerSettings& s = timerSettings;
  dayLists = TimerApplicableDayLists(s.mode, s.resumeEnabled != 0);
  CheckDlgButton(page, kNoKeepTimeCheck, s.noKeepTime ? BST_CHECKED : BST_UNCHECKED);
  for (int n = 0; n <= 9; ++n) {
    wchar_t text[4];
    swprintf(text, 4, L"%d", n);
    if (n <= 8) SendDlgItemMessageW(page, kEndDaysList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (n >= 1) SendDlgItemMessageW(page, kResumeDaysList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }

  // Everything below the date option starts disabled.
  for (int id : {kEndDaysList, kResumeDaysList, kMinusDayCheck, 1611, 1612, 1613, 1614}) Enable(page, id, false);
  EnableHours(page, false);
  if (!dayLists.end && !dayLists.resume) {
    CheckDlgButton(page, kAdvanceDateCheck, BST_UNCHECKED);
    Enable(page, kAdvanceDateCheck, false);
  } else if (s.advanceDate) {
    CheckDlgButton(page, kAdvanceDateCheck, BST_CHECKED);
    EnableDayLists(page, true);
    if (s.minusDayInWindow) {
      CheckDlgButton(page, kMinusDayCheck, BST_CHECKED);
      EnableHours(page, true);
    }
  }
  SendDlgItemMessageW(page, kEndDaysList, CB_SETCURSEL, static_cast<WPARAM>(s.endDaysAhead), 0);
  SendDlgItemMessageW(page, kResumeDaysList, CB_SETCURSEL, static_cast<WPARAM>(s.resumeDaysAhead - 1), 0);
  TimerSetDlgItemNumber(4, GetDlgItem(page, kFromHourEdit), s.minusDayFromHour);
  TimerSetDlgItemNumber(4, GetDlgItem(page, kToHourEdit), s.minusDayToHour);
}

void OnCommand(HWND page, int id, int code) {
  switch (id) {
    case kAdvanceDateCheck:
      EnableDayLists(page, Checked(page, kAdvanceDateCheck));
      EnableHours(page, Checked(page, kAdvanceDateCheck) && Checked(page, kMinusDayCheck));
      break;
    case kMinusDayCheck:
      EnableHours(page, Checked(page, kMinusDayCheck));
      break;
    case kEndDaysList:
      if (code == CBN_SELCHANGE) {
        const int end = Selection(page, kEndDaysList);
        const int resume = Selection(page, kResumeDaysList);
        const int coupled = TimerCoupledResumePosition(end, resume);
        if (coupled != resume) SendDlgItemMessageW(page, kResumeDaysList, CB_SETCURSEL, coupled, 0);
      }
      break;
    case kResumeDaysList:
      if (code == CBN_SELCHANGE) {
        const int end = Selection(page, kEndDaysList);
        const int resume = Selection(page, kResumeDaysList);
        const int coupled = TimerCoupledResumePosition(end, resume);
        if (coupled != resume) {
          SendDlgItemMessageW(page, kResumeDaysList, CB_SETCURSEL, coupled, 0);
          MessageBeep(0);
        }
      }
      break;
    case kFromHourEdit:
    case kToHourEdit:
      if (code == EN_CHANGE) {
        wchar_t text[8] = {};
        GetDlgItemTextW(page, id, text, 8);
        if (const wchar_t* corrected = TimerHourCorrection(text)) SetDlgItemTextW(page, id, corrected);
      }
      break;
    default:
      break;
  }
}

int ListNumber(HWND page, int id) {
  const int selection = Selection(page, id);
  wchar_t text[8] = {};
  if (selection >= 0) SendDlgItemMessageW(page, id, CB_GETLBTEXT, selection, reinterpret_cast<LPARAM>(text));
  return _wtoi(text);
}

void OnApply(HWND page) {
  if (!SheetPageMayStore(timerSheetValidation, page, kTimerProfilePage)) return;
  TimerSettings& s = timerSettings;
  s.noKeepTime = Checked(page, kNoKeepTimeCheck) ? 1 : 0;
  s.advanceDate = Checked(page, kAdvanceDateCheck) ? 1 : 0;
  if (s.advanceDate) {
    s.endDaysAhead = ListNumber(page, kEndDaysList);
    s.resumeDaysAhead = ListNumber(page, kResumeDaysList);
    s.minusDayInWindow = Checked(page, kMinusDayCheck) ? 1 : 0;
    if (s.minusDayInWindow) {
      s.minusDayFromHour = static_cast<int32_t>(GetDlgItemInt(page, kFromHourEdit, nullptr, FALSE));
      s.minusDayToHour = static_cast<int32_t>(GetDlgItemInt(page, kToHourEdit, nullptr, FALSE));
    }
  }
  SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
}

}  // namespace

INT_PTR CALLBACK TimerProfilePageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      ApplyFontToControls(page, uiFont);
      OnInitDialog(page);
      return TRUE;
    case WM_COMMAND:
      OnCommand(page, LOWORD(wParam), HIWORD(wParam));
      return FALSE;
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
