#include "sheet_runner.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace testing_support {
namespace {

struct SheetRun {
  HWND const* sheetWindow;
  const std::function<void(HWND)>* actions;
  bool ran;
  bool overdue;
};
SheetRun* current;

void CALLBACK DriveSheet(HWND, UINT, UINT_PTR id, DWORD) {
  if (!current) return;
  HWND sheet = *current->sheetWindow;
  if (!sheet) return;  // not up yet: the timer fires again
  KillTimer(nullptr, id);
  current->ran = true;
  (*current->actions)(sheet);
  if (current && !current->overdue && IsWindow(sheet) && PropSheet_GetCurrentPageHwnd(sheet))
    PropSheet_PressButton(sheet, PSBTN_CANCEL);
}

void CALLBACK LimitReached(HWND, UINT, UINT_PTR, DWORD) {
  if (!current) return;
  HWND sheet = *current->sheetWindow;
  if (!current->overdue) {
    current->overdue = true;
    ADD_FAILURE() << "the sheet still stood when its time was up";
    CancelThreadModalLoops(sheet);
    if (sheet) PostMessageW(sheet, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return;
  }
  // Cancel did not close it: a page refused. Take it down.
  if (sheet && IsWindow(sheet)) DestroyWindow(sheet);
}

BOOL CALLBACK CancelDialog(HWND window, LPARAM keep) {
  wchar_t cls[16] = L"";
  GetClassNameW(window, cls, 16);
  if (window != reinterpret_cast<HWND>(keep) && IsWindowVisible(window) && lstrcmpW(cls, L"#32770") == 0)
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return TRUE;
}

}  // namespace

void CancelThreadModalLoops(HWND keep) {
  EndMenu();
  EnumThreadWindows(GetCurrentThreadId(), CancelDialog, reinterpret_cast<LPARAM>(keep));
}

bool RunPropertySheet(const std::function<void(HWND owner)>& open, HWND const* sheetWindow,
                      const std::function<void(HWND sheet)>& actions, DWORD limitMs) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  SheetRun run{sheetWindow, &actions, false, false};
  SheetRun* outer = current;
  current = &run;
  const UINT_PTR drive = SetTimer(nullptr, 0, 10, DriveSheet);
  const UINT_PTR limit = SetTimer(nullptr, 0, limitMs, LimitReached);
  open(owner);
  KillTimer(nullptr, drive);
  KillTimer(nullptr, limit);
  current = outer;
  DestroyWindow(owner);
  return run.ran;
}

}  // namespace testing_support
