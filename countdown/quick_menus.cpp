#include "quick_menus.h"

#include <commctrl.h>
#include <oleauto.h>

#include <cwchar>

#include "dpi_scaling.h"
#include "shared/clock.h"
#include "shared/ui_setup.h"
#include "timer_main_window.h"  // kTimerIniPath
#include "timer_profile.h"

TimerQuickMenus timerQuickMenus;

namespace {

// Defaults of "value1".."value5" and "combo1".."combo5" of each menu.
constexpr int32_t kDefaultValues[kQuickMenuCount][kQuickItemCount] = {{30, 1, 3, 6, 12},
                                                                      {1, 3, 6, 8, 12}};
constexpr int32_t kDefaultUnits[kQuickMenuCount][kQuickItemCount] = {{0, 1, 1, 1, 1},
                                                                     {1, 1, 1, 1, 1}};
// The key buffers: two digits of a number, one of a unit.
constexpr int kValueBufferChars = 3;
constexpr int kUnitBufferChars = 2;

void KeyName(wchar_t* key, size_t size, const wchar_t* stem, int item) {
  _snwprintf(key, size, L"%ls%d", stem, item + 1);
  key[size - 1] = L'\0';
}

const wchar_t* UnitFormat(int32_t unit) { return unit == 1 ? L"%d時間後" : L"%d分後"; }

bool ReadPicker(HWND dialog, int id, SYSTEMTIME* time) {
  *time = SYSTEMTIME{};
  return SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(time)) ==
         GDT_VALID;
}

void SetPicker(HWND dialog, int id, const SYSTEMTIME& time) {
  SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

}  // namespace

const wchar_t* QuickMenuSection(int which) { return which == 1 ? L"Menu2" : L"Menu1"; }

int32_t QuickMenuDefaultValue(int which, int item) { return kDefaultValues[which == 1][item]; }
int32_t QuickMenuDefaultUnit(int which, int item) { return kDefaultUnits[which == 1][item]; }

int32_t QuickValueFromText(const wchar_t* text) {
  const long number = std::wcstol(text, nullptr, 10);
  if (number < 0) return 0;
  if (number >= 100) return 99;
  return static_cast<int32_t>(number);
}

int32_t QuickUnitFromText(const wchar_t* text) {
  const long number = std::wcstol(text, nullptr, 10);
  if (number < 0) return 0;
  return number >= 2 ? 1 : static_cast<int32_t>(number);
}

void TimerFormatQuickMenuItem(wchar_t* label, const wchar_t* format, int number) {
  // _snwprintf leaves a full buffer unterminated.
  _snwprintf(label, kQuickLabelChars, format, number);
  label[kQuickLabelChars - 1] = L'\0';
}

void TimerFormatQuickMenuLabels(TimerQuickMenus* table, int which) {
  for (int i = 0; i < kQuickItemCount; ++i) {
    TimerFormatQuickMenuItem(table->quickLabels[which][i], UnitFormat(table->quickUnits[which][i]),
                             table->quickValues[which][i]);
  }
}

void TimerReadQuickMenus(const wchar_t* iniPath, TimerQuickMenus* table) {
  for (int which = 0; which < kQuickMenuCount; ++which) {
    const wchar_t* section = QuickMenuSection(which);
    for (int i = 0; i < kQuickItemCount; ++i) {
      wchar_t key[16], fallback[16];
      wchar_t value[kValueBufferChars] = L"";
      KeyName(key, 16, L"value", i);
      _snwprintf(fallback, 16, L"%d", kDefaultValues[which][i]);
      GetPrivateProfileStringW(section, key, fallback, value, kValueBufferChars, iniPath);
      table->quickValues[which][i] = QuickValueFromText(value);

      wchar_t unit[kUnitBufferChars] = L"";
      KeyName(key, 16, L"combo", i);
      _snwprintf(fallback, 16, L"%d", kDefaultUnits[which][i]);
      GetPrivateProfileStringW(section, key, fallback, unit, kUnitBufferChars, iniPath);
      table->quickUnits[which][i] = QuickUnitFromText(unit);
    }
    TimerFormatQuickMenuLabels(table, which);
  }
}

void TimerReadQuickMenus() { TimerReadQuickMenus(kTimerIniPath, &timerQuickMenus); }

bool TimerWriteQuickMenu(const wchar_t* iniPath, int which, const int32_t values[kQuickItemCount],
                         const int32_t units[kQuickItemCount]) {
  const wchar_t* section = QuickMenuSection(which);
  bool written = true;
  for (int i = 0; i < kQuickItemCount; ++i) {
    wchar_t key[16], text[16];
    KeyName(key, 16, L"value", i);
    _snwprintf(text, 16, L"%d", values[i]);
    written &= WritePrivateProfileStringW(section, key, text, iniPath) != FALSE;
  }
  for (int i = 0; i < kQuickItemCount; ++i) {
    wchar_t key[16], text[16];
    KeyName(key, 16, L"combo", i);
    _snwprintf(text, 16, L"%d", units[i]);
    written &= WritePrivateProfileStringW(section, key, text, iniPath) != FALSE;
  }
  return written;
}

double QuickMenuDays(int32_t value, int32_t unit) {
  const double number = static_cast<double>(static_cast<uint32_t>(value));
  return unit == 1 ? number / 24.0 : number / 1440.0;
}

bool AddQuickMenuDays(const SYSTEMTIME& base, double days, SYSTEMTIME* result) {
  SYSTEMTIME whole = base;
  whole.wMilliseconds = 0;
  double ole = 0;
  if (!SystemTimeToVariantTime(&whole, &ole)) return false;
  SYSTEMTIME sum{};
  if (!VariantTimeToSystemTime(ole + days, &sum)) return false;
  sum.wMilliseconds = 0;
  *result = sum;
  return true;
}

SYSTEMTIME QuickResumeBase(const SYSTEMTIME& endDate, const SYSTEMTIME& endTime) {
  SYSTEMTIME base = endDate;
  base.wHour = endTime.wHour;
  base.wMinute = endTime.wMinute;
  base.wSecond = 0;
  base.wMilliseconds = 0;
  return base;
}

QuickCommand DecodeQuickMenuCommand(UINT command) {
  if (command >= kCmdQuickEndFirst && command < kCmdQuickEndFirst + kQuickItemCount)
    return {QuickCommandKind::SetTime, 0, static_cast<int>(command - kCmdQuickEndFirst)};
  if (command >= kCmdQuickResumeFirst && command < kCmdQuickResumeFirst + kQuickItemCount)
    return {QuickCommandKind::SetTime, 1, static_cast<int>(command - kCmdQuickResumeFirst)};
  if (command == kCmdQuickEndEdit) return {QuickCommandKind::Edit, 0, 0};
  if (command == kCmdQuickResumeEdit) return {QuickCommandKind::Edit, 1, 0};
  if (command == kCmdTimerResetEnd) return {QuickCommandKind::Reset, 0, 0};
  if (command == kCmdTimerResetResume) return {QuickCommandKind::Reset, 1, 0};
  return {QuickCommandKind::None, 0, 0};
}

QuickMenuEnabling QuickMenuStates(int32_t mode, int32_t action, bool resumeEnabled) {
  const bool resumePossible = (action == Hibernate || action == Standby) && resumeEnabled;
  switch (mode) {
    case EndNow:
      return {false, resumePossible, resumePossible, false, resumePossible};
    case CpuUsage:
      return {false, false, resumePossible, false, resumePossible};
    default:  // Time
      return {true, resumePossible, true, true, resumePossible};
  }
}

HMENU LoadQuickMenu(const TimerQuickMenus& table, const QuickMenuEnabling& states) {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kQuickMenuResource));
  if (!menu) return nullptr;
  HMENU popup = GetSubMenu(menu, 0);
  const auto grey = [popup](UINT item, UINT by, bool enabled) {
    if (!enabled) EnableMenuItem(popup, item, by | MF_GRAYED);
  };
  grey(0, MF_BYPOSITION, states.endPopup);
  grey(1, MF_BYPOSITION, states.resumePopup);
  grey(3, MF_BYPOSITION, states.resetPopup);
  grey(kCmdTimerResetEnd, MF_BYCOMMAND, states.resetEnd);
  grey(kCmdTimerResetResume, MF_BYCOMMAND, states.resetResume);
  const UINT firsts[kQuickMenuCount] = {kCmdQuickEndFirst, kCmdQuickResumeFirst};
  for (int which = 0; which < kQuickMenuCount; ++which) {
    for (int i = 0; i < kQuickItemCount; ++i) {
      wchar_t caption[kQuickLabelChars];
      wcscpy(caption, table.quickLabels[which][i]);
      MENUITEMINFOW item{};
      item.cbSize = sizeof item;
      item.fMask = MIIM_STRING;
      item.dwTypeData = caption;
      SetMenuItemInfoW(popup, firsts[which] + i, FALSE, &item);
    }
  }
  return menu;
}

bool TimerSetPickersFromOffset(double days, HWND dialog, int which) {
  SYSTEMTIME base{};
  if (which == 0) {
    GetClockLocalTime(&base);
  } else {
    SYSTEMTIME date, time;
    if (!ReadPicker(dialog, kEndDatePickerId, &date) || !ReadPicker(dialog, kEndTimePickerId, &time))
      return false;
    base = QuickResumeBase(date, time);
  }
  SYSTEMTIME result;
  if (!AddQuickMenuDays(base, days, &result)) return false;
  SetPicker(dialog, which == 0 ? kEndDatePickerId : kResumeDatePickerId, result);
  SetPicker(dialog, which == 0 ? kEndTimePickerId : kResumeTimePickerId, result);
  return true;
}

void TimerRunQuickMenuCommand(HWND dialog, UINT command) {
  const QuickCommand c = DecodeQuickMenuCommand(command);
  switch (c.kind) {
    case QuickCommandKind::SetTime:
      TimerSetPickersFromOffset(QuickMenuDays(timerQuickMenus.quickValues[c.which][c.item],
                                              timerQuickMenus.quickUnits[c.which][c.item]),
                                dialog, c.which);
      break;
    case QuickCommandKind::Edit:
      TimerRunQuickMenuEditor(dialog, c.which);
      break;
    case QuickCommandKind::Reset:
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(command, 0), 0);
      break;
    case QuickCommandKind::None:
      break;
  }
}

void TimerShowQuickMenu(HWND dialog, POINT screenPoint) {
  const QuickMenuEnabling states =
      QuickMenuStates(timerSettings.mode, timerSettings.action, timerSettings.resumeEnabled != 0);
  HMENU menu = LoadQuickMenu(timerQuickMenus, states);
  if (!menu) return;
  SetForegroundWindow(dialog);
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD,
                     screenPoint.x, screenPoint.y, 0, dialog, nullptr));
  DestroyMenu(menu);
  if (command) TimerRunQuickMenuCommand(dialog, command);
}

// The editor.

namespace {

struct EditorLayout {
  int id, x, y, width, height;
};

void ShowEditorValues(HWND dialog, const int32_t values[kQuickItemCount],
                      const int32_t units[kQuickItemCount]) {
  for (int i = 0; i < kQuickItemCount; ++i) {
    SetDlgItemInt(dialog, kQuickEditFirstNumberId + i, static_cast<UINT>(values[i]), FALSE);
    SendDlgItemMessageW(dialog, kQuickEditFirstUnitId + i, CB_SETCURSEL, units[i] == 1 ? 1 : 0, 0);
  }
}

void PlaceEditor(HWND dialog) {
  const int width = ScaleX(193), height = ScaleY(283);
  HWND owner = GetWindow(dialog, GW_OWNER);
  HWND frame = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  RECT over{};
  if (!frame || !GetWindowRect(frame, &over)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
  MoveWindow(dialog, over.left + (over.right - over.left - width) / 2, over.top, width, height, FALSE);
  for (int i = 0; i < kQuickItemCount; ++i) {
    const int y = 14 + i * 34;
    PlaceControl(dialog, kQuickEditFirstLabelId + i, 14, y + 4, 40, 18);
    PlaceControl(dialog, kQuickEditFirstNumberId + i, 58, y, 36, 24);
    PlaceControl(dialog, kQuickEditFirstUnitId + i, 100, y, 70, 120);
  }
  const EditorLayout buttons[] = {{kQuickEditDefaultsId, 14, 186, 76, 26},
                                  {IDOK, 14, 220, 76, 26},
                                  {IDCANCEL, 96, 220, 76, 26}};
  for (const EditorLayout& b : buttons) PlaceControl(dialog, b.id, b.x, b.y, b.width, b.height);
}

void OnEditorInit(HWND dialog, TimerQuickMenus* table) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(table));
  ApplyFontToControls(dialog, uiFont);
  PlaceEditor(dialog);
  const int which = table->quickEditTarget == 1 ? 1 : 0;
  for (int i = 0; i < kQuickItemCount; ++i) {
    SendDlgItemMessageW(dialog, kQuickEditFirstNumberId + i, EM_LIMITTEXT, 2, 0);
    HWND combo = GetDlgItem(dialog, kQuickEditFirstUnitId + i);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"分後"));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"時間後"));
  }
  ShowEditorValues(dialog, table->quickValues[which], table->quickUnits[which]);
}

void OnEditorOk(HWND dialog, TimerQuickMenus* table) {
  const int which = table->quickEditTarget == 1 ? 1 : 0;
  int32_t values[kQuickItemCount], units[kQuickItemCount];
  for (int i = 0; i < kQuickItemCount; ++i) {
    BOOL read = FALSE;
    const UINT number = GetDlgItemInt(dialog, kQuickEditFirstNumberId + i, &read, FALSE);
    // The edit holds two digits; anything else stores as 0.
    values[i] = read && number < 100 ? static_cast<int32_t>(number) : 0;
    const LRESULT unit = SendDlgItemMessageW(dialog, kQuickEditFirstUnitId + i, CB_GETCURSEL, 0, 0);
    units[i] = unit == 1 ? 1 : 0;
  }
  TimerWriteQuickMenu(kTimerIniPath, which, values, units);
  for (int i = 0; i < kQuickItemCount; ++i) {
    table->quickValues[which][i] = values[i];
    table->quickUnits[which][i] = units[i];
  }
  TimerFormatQuickMenuLabels(table, which);
  EndDialog(dialog, IDOK);
}

}  // namespace

INT_PTR CALLBACK TimerQuickMenuEditDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* table = reinterpret_cast<TimerQuickMenus*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      OnEditorInit(dialog, reinterpret_cast<TimerQuickMenus*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (!table) return FALSE;
      switch (LOWORD(wParam)) {
        case IDOK:
          OnEditorOk(dialog, table);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        case kQuickEditDefaultsId: {
          const int which = table->quickEditTarget == 1 ? 1 : 0;
          ShowEditorValues(dialog, kDefaultValues[which], kDefaultUnits[which]);
          return TRUE;
        }
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

INT_PTR TimerRunQuickMenuEditor(HWND owner, int which) {
  timerQuickMenus.quickEditTarget = which == 1 ? 1 : 0;
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kQuickEditDialogId), owner,
                         TimerQuickMenuEditDlgProc, reinterpret_cast<LPARAM>(&timerQuickMenus));
}
