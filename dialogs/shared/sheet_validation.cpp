#include "sheet_validation.h"

#include <commctrl.h>

namespace {

constexpr wchar_t kValidationProperty[] = L"SoporaSheetValidation";

// Every sheet is of the one dialog class, so one slot serves them all.
WNDPROC previousSheetProc;

LRESULT CALLBACK SheetSubclassProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    if (auto* validation = static_cast<const SheetValidation*>(GetPropW(sheet, kValidationProperty))) {
      RunSheetValidation(*validation);
    }
  } else if (message == WM_NCDESTROY) {
    RemovePropW(sheet, kValidationProperty);
  }
  return CallWindowProcW(previousSheetProc, sheet, message, wParam, lParam);
}

}  // namespace

int RunSheetValidation(const SheetValidation& validation) {
  *validation.validationFailed = 0;
  for (int i = 0; i < validation.pageCount; ++i) {
    HWND page = validation.pageWindows[i];
    if (!page) continue;
    SendMessageW(page, validation.validateMessage, 0, 0);
    if (*validation.validationFailed != 0) break;
  }
  return *validation.validationFailed;
}

bool SheetPageMayStore(const SheetValidation& validation, HWND page, int pageNumber) {
  const int failed = *validation.validationFailed;
  if (failed == 0) return true;
  if (failed == pageNumber) {
    SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_INVALID);
    *validation.validationFailed = 0;
  }
  return false;
}

void RegisterSheetPage(const SheetValidation& validation, HWND page, int pageNumber) {
  if (pageNumber >= 1 && pageNumber <= validation.pageCount) validation.pageWindows[pageNumber - 1] = page;
}

void ForgetSheetPage(const SheetValidation& validation, HWND page) {
  for (int i = 0; i < validation.pageCount; ++i) {
    if (validation.pageWindows[i] == page) validation.pageWindows[i] = nullptr;
  }
}

void RunSheetValidationOnOk(HWND sheet, const SheetValidation* validation) {
  SetPropW(sheet, kValidationProperty, const_cast<SheetValidation*>(validation));
  const LONG_PTR ours = reinterpret_cast<LONG_PTR>(SheetSubclassProc);
  if (GetWindowLongPtrW(sheet, GWLP_WNDPROC) != ours) {
    previousSheetProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(sheet, GWLP_WNDPROC, ours));
  }
}
