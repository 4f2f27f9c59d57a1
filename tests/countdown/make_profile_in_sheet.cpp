// A user's settings made in the real sheet "詳細設定" and kept with the real
// profile manager, which also makes them the default profile of ".\sopora.ini":
//   make_profile_in_sheet.exe <program folder\> <name> <seconds ahead>
// The settings dialog's part (a shutdown at a time that many seconds ahead)
// is set on the record, as that dialog leaves it; it also leaves the end a
// day further ahead than the sheet then asks, so only a profile holding the
// sheet's "終了時刻を+" days ends the countdown today. On the sheet:
// "強制終了する", the front display two minutes before the end, and the days.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "countdown_state.h"
#include "shared/program_paths.h"
#include "timer_profile.h"
#include "timer_profile_dialog.h"
#include "timer_settings_sheet.h"

namespace {

constexpr int kForceCheck = 1140;
constexpr int kBringToFrontCheck = 1141;
constexpr int kMinutesEdit = 1279;
constexpr int kAdvanceDateCheck = 1650;
constexpr int kEndDaysList = 1655;
constexpr int kGeneralTab = 0;
constexpr int kProfileTab = 3;

const wchar_t* profileName;
int endDays;
bool sheetDriven, managerDriven;

void Click(HWND page, int id) {
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}
void Check(HWND page, int id) {
  if (IsDlgButtonChecked(page, id) != BST_CHECKED) SendDlgItemMessageW(page, id, BM_CLICK, 0, 0);
}

void CALLBACK DriveSheet(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND sheet = timerSheetState.sheetWindow;
  if (!sheet) return;
  KillTimer(nullptr, timer);
  SendMessageW(sheet, PSM_SETCURSEL, kGeneralTab, 0);
  HWND general = PropSheet_IndexToHwnd(sheet, kGeneralTab);
  Check(general, kForceCheck);
  Check(general, kBringToFrontCheck);
  SetDlgItemTextW(general, kMinutesEdit, L"2");
  SendMessageW(sheet, PSM_SETCURSEL, kProfileTab, 0);
  HWND profile = PropSheet_IndexToHwnd(sheet, kProfileTab);
  Check(profile, kAdvanceDateCheck);
  SendDlgItemMessageW(profile, kEndDaysList, CB_SETCURSEL, static_cast<WPARAM>(endDays), 0);
  SendMessageW(profile, WM_COMMAND, MAKEWPARAM(kEndDaysList, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(profile, kEndDaysList)));
  sheetDriven = true;
  Click(sheet, IDOK);
}

BOOL CALLBACK FindManager(HWND window, LPARAM found) {
  if (!GetDlgItem(window, kTimerProfileListId)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void CALLBACK DriveManager(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindManager, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog) return;
  KillTimer(nullptr, timer);
  SetDlgItemTextW(dialog, kTimerProfileNameEditId, profileName);
  Click(dialog, kTimerProfileSaveButtonId);
  HWND combo = GetDlgItem(dialog, kTimerDefaultProfileComboId);
  const LRESULT entry = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(profileName));
  if (entry == CB_ERR) {
    EndDialog(dialog, 0);
    return;
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
  managerDriven = true;
  // Away from the name edit, where Enter would save once more.
  SetFocus(GetDlgItem(dialog, IDOK));
  Click(dialog, IDOK);
}

// Any message box or a page that refuses OK would stop the run here.
DWORD WINAPI Watchdog(void*) {
  Sleep(60000);
  ExitProcess(4);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  SetProgramPaths(argv[1], L"Sopora");
  if (!SetCurrentDirectoryW(argv[1])) return 3;
  CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  TimerInitNames(6);
  profileName = argv[2];

  SetTimerSettingsDefaults(&timerSettings);
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME ft;
  SystemTimeToFileTime(&now, &ft);
  ULARGE_INTEGER ticks{{ft.dwLowDateTime, ft.dwHighDateTime}};
  ticks.QuadPart += static_cast<ULONGLONG>(_wtoi(argv[3])) * 10000000ull;
  ft = {ticks.LowPart, ticks.HighPart};
  SYSTEMTIME end;
  FileTimeToSystemTime(&ft, &end);
  timerSettings.mode = Time;
  timerSettings.action = Shutdown;
  timerSettings.endTime = end;
  timerSettings.resumeTime = now;
  // An end past midnight lies on the day after the load.
  endDays = end.wDay != now.wDay ? 1 : 0;
  timerSettings.advanceDate = 1;
  timerSettings.endDaysAhead = endDays + 1;
  timerSettings.forceAction = 0;
  timerSettings.bringToFront = 0;

  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  UINT_PTR timer = SetTimer(nullptr, 0, 50, DriveSheet);
  TimerOpenSettingsSheet(owner);
  KillTimer(nullptr, timer);
  if (!sheetDriven) return 5;
  if (timerSettings.forceAction != 1 || timerSettings.endDaysAhead != endDays) return 6;

  timer = SetTimer(nullptr, 0, 50, DriveManager);
  TimerRunProfileDialog(owner);
  KillTimer(nullptr, timer);
  DestroyWindow(owner);
  return managerDriven ? 0 : 7;
}
