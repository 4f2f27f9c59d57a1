#include "settings_dialog.h"

#include <commctrl.h>

#include <cwchar>
#include <cwctype>

#include "control_subclasses.h"
#include "countdown_state.h"
#include "dialog_images.h"
#include "dpi_scaling.h"
#include "timer_settings_sheet.h"
#include "timer_profile_dialog.h"
#include "program_handover.h"
#include "quick_menus.h"
#include "shared/clock.h"
#include "shared/ui_setup.h"
#include "start_countdown.h"

HWND timerSavedFocus;
uint8_t timerMenuOpen;

namespace {

// Which controls move or show with the mode.
enum class Row { Fixed, End, Cpu, Resume };

struct Placement {
  int id;
  Row row;
  int x, y, width, height;  // 96-DPI pixels; a combo box's height is that of its open list
};

constexpr Placement kPlacements[] = {
    {kFocusLabelId, Row::Fixed, 16, 54, 60, 18},
    {kModeComboId, Row::Fixed, 80, 50, 130, 200},
    {kActionLabelId, Row::Fixed, 16, 84, 60, 18},
    {kActionComboId, Row::Fixed, 80, 80, 130, 200},
    {kEndLabelId, Row::End, 16, 114, 60, 18},
    {kEndDatePickerId, Row::End, 80, 110, 116, 24},
    {kEndTimePickerId, Row::End, 202, 110, 70, 24},
    {kCpuLeadLabelId, Row::Cpu, 16, 114, 30, 18},
    {kCpuSecondsComboId, Row::Cpu, 48, 110, 48, 120},
    {kCpuMiddleLabelId, Row::Cpu, 102, 114, 150, 18},
    {kCpuPercentComboId, Row::Cpu, 48, 133, 48, 140},
    {kCpuTailLabelId, Row::Cpu, 102, 137, 170, 18},
    {kResumeCheckId, Row::Resume, 16, 146, 220, 20},
    {kResumeLabelId, Row::Resume, 16, 178, 60, 18},
    {kResumeDatePickerId, Row::Resume, 80, 174, 116, 24},
    {kResumeTimePickerId, Row::Resume, 202, 174, 70, 24},
    {kTimerMenuButtonId, Row::Fixed, 0, 253, 77, 28},
    {IDOK, Row::Fixed, 146, 253, 77, 28},
    {IDCANCEL, Row::Fixed, 223, 253, 77, 28},
};

constexpr int kButtonBandTop = 253;
constexpr int kButtonHeight = 28;

const wchar_t* const kSecondsChoices[] = {L"3", L"5", L"10"};
const wchar_t* const kPercentChoices[] = {L"2", L"4", L"6", L"8", L"10"};

// The minimum of both date pickers, kept for the explicit clamp.
SYSTEMTIME pickerMinimum;

// Images 150 header, 147 button, 148 pressed, 149 separator; each in a memory
// DC from the open to WM_DESTROY.
enum DialogImage { kHeader, kButton, kButtonPressed, kSeparator, kDialogImageCount };
constexpr int kDialogImageIds[kDialogImageCount] = {150, 147, 148, 149};
DialogBitmap dialogImages[kDialogImageCount];
// The band between the menu button and the start button.
int bandTop;
int bandLeft;
int bandRight;

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

void LoadDialogImages(HWND dialog) { LoadDialogBitmaps(dialog, kDialogImageIds, dialogImages, kDialogImageCount); }
void FreeDialogImages() { FreeDialogBitmaps(dialogImages, kDialogImageCount); }

// Stretches an image (or its part `from`) over `to`; false when it is missing.
bool StretchImage(HDC dc, const RECT& to, DialogImage image, const RECT* from = nullptr) {
  return StretchDialogBitmap(dc, to, dialogImages[image], from);
}

void OnPaint(HWND dialog) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(dialog, &ps);
  // Plain colours stand in where an image is missing.
  const RECT header{0, 0, ScaleX(294), ScaleY(39)};
  if (!StretchImage(dc, header, kHeader)) {
    HBRUSH brush = CreateSolidBrush(RGB(72, 108, 56));
    FillRect(dc, &header, brush);
    DeleteObject(brush);
  }
  const RECT band{bandLeft, bandTop, bandRight, bandTop + ScaleY(kButtonHeight)};
  const RECT middle{1, 0, 76, kButtonHeight};
  if (!StretchImage(dc, band, kButton, &middle)) FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
  const RECT line{0, bandTop - ScaleY(5), ScaleX(kTimerDialogWidth), bandTop};
  const RECT lineSource{0, 0, 1, 5};
  if (!StretchImage(dc, line, kSeparator, &lineSource)) FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
  EndPaint(dialog, &ps);
}

void DrawImageButton(const DRAWITEMSTRUCT* draw) {
  const bool pressed = (draw->itemState & ODS_SELECTED) || (draw->CtlID == kTimerMenuButtonId && timerMenuOpen);
  RECT rect = draw->rcItem;
  HDC dc = draw->hDC;
  const DialogImage image = pressed ? kButtonPressed : kButton;
  if (!StretchImage(dc, rect, image))
    DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  wchar_t text[16] = {};
  GetWindowTextW(draw->hwndItem, text, 16);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(draw->hwndItem, WM_GETFONT, 0, 0));
  if (!font) font = reinterpret_cast<HFONT>(SendMessageW(GetParent(draw->hwndItem), WM_GETFONT, 0, 0));
  HGDIOBJ previousFont = SelectObject(dc, font);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, previousFont);
  if (draw->itemState & ODS_FOCUS) {
    InflateRect(&rect, -2, -2);
    DrawFocusRect(dc, &rect);
  }
}

void Layout(HWND dialog, int32_t mode) {
  const bool cpu = mode == CpuUsage;
  for (const Placement& p : kPlacements) {
    const int y = p.row == Row::Resume && cpu ? p.y + kCpuRowShift : p.y;
    PlaceControl(dialog, p.id, p.x, y, p.width, p.height);
    if (p.row == Row::End) ShowWindow(Item(dialog, p.id), cpu ? SW_HIDE : SW_SHOW);
    if (p.row == Row::Cpu) ShowWindow(Item(dialog, p.id), cpu ? SW_SHOW : SW_HIDE);
  }
  InvalidateRect(dialog, nullptr, TRUE);
}

HWND ComboEdit(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  return GetComboBoxInfo(combo, &info) ? info.hwndItem : nullptr;
}

void FillCombo(HWND combo, const wchar_t* const* texts, int count) {
  for (int i = 0; i < count; ++i) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texts[i]));
}

// The number in a combo box's edit part: leading decimal digits, 0 for none.
int32_t ComboNumber(HWND dialog, int id) {
  wchar_t text[16] = L"";
  GetDlgItemTextW(dialog, id, text, 16);
  int64_t value = 0;
  for (const wchar_t* c = text; *c >= L'0' && *c <= L'9'; ++c) {
    value = value * 10 + (*c - L'0');
    if (value > INT32_MAX) return INT32_MAX;
  }
  return static_cast<int32_t>(value);
}

void SetComboNumber(HWND dialog, int id, int32_t value) {
  wchar_t text[16];
  _snwprintf(text, 16, L"%u", static_cast<unsigned>(value));
  text[15] = L'\0';
  SetDlgItemTextW(dialog, id, text);
}

void SetPicker(HWND dialog, int id, const SYSTEMTIME& value) {
  SYSTEMTIME t = value;
  DateTime_SetSystemtime(Item(dialog, id), GDT_VALID, &t);
}

void SetPickersToNow(HWND dialog, int dateId, int timeId) {
  SYSTEMTIME now;
  GetClockLocalTime(&now);
  SetPicker(dialog, dateId, TimerClampToMinimum(now, pickerMinimum));
  SetPicker(dialog, timeId, now);
}

void CreateControls(HWND dialog) {
  HWND modeCombo = Item(dialog, kModeComboId);
  HWND actionCombo = Item(dialog, kActionComboId);
  for (int i = 5; i < 8; ++i) SendMessageW(modeCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(timerDisplayNames[i]));
  for (int i = 0; i < 5; ++i) SendMessageW(actionCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(TimerActionDisplayName(i)));
  FillCombo(Item(dialog, kCpuSecondsComboId), kSecondsChoices, 3);
  FillCombo(Item(dialog, kCpuPercentComboId), kPercentChoices, 5);
  for (HWND combo : {modeCombo, actionCombo}) {
    if (HWND edit = ComboEdit(combo)) InstallSubclass(edit, ReadOnlyComboEditProc, &previousReadOnlyComboEditProc);
    InstallSubclass(combo, ComboClickDropDownProc, &previousComboClickDropDownProc);
  }
  for (int id : {kCpuSecondsComboId, kCpuPercentComboId}) {
    if (HWND edit = ComboEdit(Item(dialog, id))) {
      SetWindowLongPtrW(edit, GWL_STYLE, GetWindowLongPtrW(edit, GWL_STYLE) | ES_NUMBER);
    }
  }
  // The picker compares its minimum with the time of day too: start at 00:00.
  GetClockLocalTime(&pickerMinimum);
  pickerMinimum.wHour = pickerMinimum.wMinute = pickerMinimum.wSecond = pickerMinimum.wMilliseconds = 0;
  for (int id : {kEndDatePickerId, kResumeDatePickerId}) {
    SYSTEMTIME range[2] = {pickerMinimum, {}};
    DateTime_SetRange(Item(dialog, id), GDTR_MIN, range);
  }
  for (int id : {kEndTimePickerId, kResumeTimePickerId}) {
    DateTime_SetFormat(Item(dialog, id), L"HH:mm");
    InstallSubclass(Item(dialog, id), WheelToArrowKeysProc, &previousWheelToArrowKeysProc);
  }
}

// Sizes the frame so that its client area holds the dialog, centred on the
// work area.
void FitParent(HWND dialog) {
  const int width = ScaleX(kTimerDialogWidth);
  const int height = ScaleY(kTimerDialogHeight);
  MoveWindow(dialog, 0, 0, width, height, TRUE);
  HWND parent = GetParent(dialog);
  if (!parent) return;
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(parent, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(parent, GWL_EXSTYLE)));
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const POINT at = CenterOnWorkArea(work, frame.right - frame.left, frame.bottom - frame.top);
  MoveWindow(parent, at.x, at.y, frame.right - frame.left, frame.bottom - frame.top, TRUE);
}

void ApplyProfile(HWND dialog) {
  const TimerSettings& s = timerSettings;
  SendMessageW(Item(dialog, kModeComboId), CB_SETCURSEL, static_cast<WPARAM>(s.mode), 0);
  SendMessageW(Item(dialog, kActionComboId), CB_SETCURSEL, static_cast<WPARAM>(s.action), 0);
  SYSTEMTIME now;
  GetClockLocalTime(&now);
  TimerSetPickers(dialog, TimerLoadedPickerValues(s, now));
  if (s.mode == CpuUsage) {
    SetComboNumber(dialog, kCpuSecondsComboId, s.cpuSeconds);
    SetComboNumber(dialog, kCpuPercentComboId, s.cpuPercent);
  }
  CheckDlgButton(dialog, kResumeCheckId, s.resumeEnabled == 1 ? BST_CHECKED : BST_UNCHECKED);
  TimerApplyMode(dialog, s.mode);
}

void SetDefaults(HWND dialog) {
  SetTimerSettingsDefaults(&timerSettings);
  for (int id : {kModeComboId, kActionComboId, kCpuSecondsComboId, kCpuPercentComboId})
    SendMessageW(Item(dialog, id), CB_SETCURSEL, 0, 0);
  timerSettings.mode = Time;
  timerSettings.action = Shutdown;
  SetPickersToNow(dialog, kEndDatePickerId, kEndTimePickerId);
  SetPickersToNow(dialog, kResumeDatePickerId, kResumeTimePickerId);
  TimerApplyMode(dialog, Time);
}

void OnInitDialog(HWND dialog, LPARAM profileLoaded) {
  settingsDialog = dialog;
  timerSavedFocus = nullptr;
  timerMenuOpen = 0;
  LoadDialogImages(dialog);
  // The start-up's UI font, not the template's: its face may lack Japanese.
  ApplyFontToControls(dialog, uiFont);
  FitParent(dialog);
  CreateControls(dialog);
  TimerReadQuickMenus();
  if (profileLoaded == 1) {
    SendMessageW(dialog, kMsgApplyProfile, 0, 0);
  } else {
    SetDefaults(dialog);
  }
  RECT menuRect, startRect;
  GetWindowRect(Item(dialog, kTimerMenuButtonId), &menuRect);
  GetWindowRect(Item(dialog, IDOK), &startRect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&menuRect), 2);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&startRect), 2);
  bandTop = menuRect.top;
  bandLeft = menuRect.right;
  bandRight = startRect.left;
  SetFocus(Item(dialog, kFocusLabelId));
}

void OnStart(HWND dialog) {
  if (timerSettings.mode == CpuUsage) {
    timerSettings.cpuSeconds = ComboNumber(dialog, kCpuSecondsComboId);
    timerSettings.cpuPercent = ComboNumber(dialog, kCpuPercentComboId);
  }
  TimerStartCountdown(dialog, TimerReadPickers(dialog));
}

void OnMenuButton(HWND dialog) {
  if (timerMenuOpen) return;
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kTimerMenuId));
  if (!menu) return;
  HWND button = Item(dialog, kTimerMenuButtonId);
  RECT rect;
  GetWindowRect(button, &rect);
  timerMenuOpen = 1;
  InvalidateRect(button, nullptr, FALSE);
  SetForegroundWindow(dialog);
  TrackPopupMenu(GetSubMenu(menu, 0), TPM_BOTTOMALIGN, rect.left, rect.top - ScaleY(3), 0, dialog, nullptr);
  timerMenuOpen = 0;
  DestroyMenu(menu);
  InvalidateRect(button, nullptr, FALSE);
}

void OnHandOver(HWND dialog) {
  if (HandOverToProgram(dialog, kSchedulerFileName, kHandOverQuestion, kSchedulerMissingText))
    DestroyWindow(mainWindow ? mainWindow : GetParent(dialog));
}

void OnResetResume(HWND dialog) {
  if (timerSettings.mode != Time) {
    SetPickersToNow(dialog, kResumeDatePickerId, kResumeTimePickerId);
    return;
  }
  SYSTEMTIME date{}, time{};
  DateTime_GetSystemtime(Item(dialog, kEndDatePickerId), &date);
  DateTime_GetSystemtime(Item(dialog, kEndTimePickerId), &time);
  SetPicker(dialog, kResumeDatePickerId, date);
  SetPicker(dialog, kResumeTimePickerId, time);
}

// Enter arrives as command 1 whatever has the focus; on "終了" and the menu
// button it presses that button. A click gives the clicked button the focus.
void OnCommandOne(HWND dialog) {
  HWND focus = GetFocus();
  const int focusId = focus && GetParent(focus) == dialog ? GetDlgCtrlID(focus) : 0;
  if (focusId == IDCANCEL || focusId == kTimerMenuButtonId) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(focusId, BN_CLICKED), reinterpret_cast<LPARAM>(focus));
    return;
  }
  OnStart(dialog);
}

void OnCommand(HWND dialog, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  switch (id) {
    case kModeComboId:
      if (code == CBN_SELCHANGE) {
        const LRESULT sel = SendMessageW(Item(dialog, kModeComboId), CB_GETCURSEL, 0, 0);
        if (sel >= Time && sel <= EndNow) TimerApplyMode(dialog, static_cast<int32_t>(sel));
      }
      return;
    case kActionComboId:
      if (code == CBN_SELCHANGE) {
        const LRESULT sel = SendMessageW(Item(dialog, kActionComboId), CB_GETCURSEL, 0, 0);
        if (sel < Shutdown || sel > Standby) return;
        timerSettings.action = static_cast<int32_t>(sel);
        const bool resumable = sel == Hibernate || sel == Standby;
        timerSettings.resumeEnabled = resumable && IsDlgButtonChecked(dialog, kResumeCheckId) == BST_CHECKED ? 1 : 0;
        TimerEnableResumeControls(dialog);
      } else if (code == CBN_CLOSEUP) {
        // After the list closes the edit part selects its text; take that away.
        PostMessageW(Item(dialog, kActionComboId), CB_SETEDITSEL, 0, MAKELPARAM(-1, 0));
      }
      return;
    default:
      break;
  }
  // Buttons report only BN_CLICKED here; menus and accelerators carry no window.
  if (lParam && code != BN_CLICKED) return;
  switch (id) {
    case IDOK:
      OnCommandOne(dialog);
      break;
    case IDCANCEL:
      // Esc in the dialog is no request to end the program.
      if (GetKeyState(VK_ESCAPE) < 0 || !mainWindow) break;
      DestroyWindow(mainWindow);
      break;
    case kResumeCheckId:
      timerSettings.resumeEnabled = IsDlgButtonChecked(dialog, kResumeCheckId) == BST_CHECKED ? 1 : 0;
      TimerEnableResumeControls(dialog);
      break;
    case kTimerMenuButtonId:
      OnMenuButton(dialog);
      break;
    case kCmdTimerSettingsSheet:
      TimerOpenSettingsSheet(dialog);
      break;
    case kCmdTimerProfiles:
      if (TimerRunProfileDialog(dialog) == 1) SendMessageW(dialog, kMsgApplyProfile, 0, 0);
      break;
    case kCmdTimerHandOver:
      OnHandOver(dialog);
      break;
    case kCmdTimerResetEnd:
      SetPickersToNow(dialog, kEndDatePickerId, kEndTimePickerId);
      break;
    case kCmdTimerResetResume:
      OnResetResume(dialog);
      break;
    default:
      break;
  }
}

}  // namespace

TimerResumeControlState TimerResumeControlsFor(int32_t action, uint8_t resumeEnabled) {
  const bool resumable = action == Hibernate || action == Standby;
  return {resumable, resumable && resumeEnabled == 1};
}

void TimerEnableResumeControls(HWND dialog) {
  const TimerResumeControlState state = TimerResumeControlsFor(timerSettings.action, timerSettings.resumeEnabled);
  EnableWindow(Item(dialog, kResumeCheckId), state.checkEnabled);
  for (int id : {kResumeLabelId, kResumeDatePickerId, kResumeTimePickerId})
    EnableWindow(Item(dialog, id), state.rowEnabled);
}

void TimerApplyMode(HWND dialog, int32_t mode) {
  if (mode < Time || mode > EndNow) mode = Time;
  for (int id : {kEndLabelId, kEndDatePickerId, kEndTimePickerId}) EnableWindow(Item(dialog, id), mode == Time);
  Layout(dialog, mode);
  timerSettings.mode = mode;
  TimerEnableResumeControls(dialog);
}

SYSTEMTIME TimerClampToMinimum(const SYSTEMTIME& date, const SYSTEMTIME& minimum) {
  FILETIME a, b;
  if (!SystemTimeToFileTime(&date, &a) || !SystemTimeToFileTime(&minimum, &b)) return minimum;
  return CompareFileTime(&a, &b) < 0 ? minimum : date;
}

TimerPickerValues TimerReadPickers(HWND dialog) {
  TimerPickerValues v{};
  DateTime_GetSystemtime(Item(dialog, kEndDatePickerId), &v.endDate);
  DateTime_GetSystemtime(Item(dialog, kEndTimePickerId), &v.endTime);
  DateTime_GetSystemtime(Item(dialog, kResumeDatePickerId), &v.resumeDate);
  DateTime_GetSystemtime(Item(dialog, kResumeTimePickerId), &v.resumeTime);
  return v;
}

void TimerSetPickers(HWND dialog, const TimerPickerValues& v) {
  SetPicker(dialog, kEndDatePickerId, TimerClampToMinimum(v.endDate, pickerMinimum));
  SetPicker(dialog, kEndTimePickerId, v.endTime);
  SetPicker(dialog, kResumeDatePickerId, TimerClampToMinimum(v.resumeDate, pickerMinimum));
  SetPicker(dialog, kResumeTimePickerId, v.resumeTime);
}

HWND CreateTimerSettingsDialog(HWND parent, bool profileLoaded) {
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kSettingsDialogId), parent,
                            TimerMainDlgProc, profileLoaded ? 1 : 0);
}

INT_PTR CALLBACK TimerMainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog, lParam);
      return FALSE;
    case kMsgSettingsActivate:
      if (wParam == 0) {
        timerSavedFocus = GetFocus();
      } else if (timerSavedFocus && IsWindow(timerSavedFocus)) {
        SetFocus(timerSavedFocus);
      }
      return TRUE;
    case kMsgApplyProfile:
      ApplyProfile(dialog);
      return TRUE;
    case WM_COMMAND:
      OnCommand(dialog, wParam, lParam);
      return TRUE;
    case WM_RBUTTONUP: {
      POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ClientToScreen(dialog, &point);
      TimerShowQuickMenu(dialog, point);
      return TRUE;
    }
    case WM_DRAWITEM:
      DrawImageButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_PAINT:
      OnPaint(dialog);
      return TRUE;
    case WM_DESTROY:
      FreeDialogImages();
      if (settingsDialog == dialog) settingsDialog = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}
