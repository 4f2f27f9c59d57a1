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

INT_PTR OpenSheet(HWND owner, const wchar_t* caption, const SheetPageEntry* pages, int count,
                  PFNPROPSHEETCALLBACK callback) {
  constexpr int kMaxPages = 8;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HPROPSHEETPAGE handles[kMaxPages] = {};
  UINT made = 0;
  for (int i = 0; i < count && i < kMaxPages; ++i) {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.hInstance = instance;
    if (pages[i].dialogTemplate) {
      page.dwFlags |= PSP_DLGINDIRECT;
      page.pResource = pages[i].dialogTemplate;
    } else {
      page.pszTemplate = MAKEINTRESOURCEW(pages[i].resourceId);
    }
    if (pages[i].caption) {
      page.dwFlags |= PSP_USETITLE;
      page.pszTitle = pages[i].caption;
    }
    page.pfnDlgProc = pages[i].procedure;
    if (HPROPSHEETPAGE handle = CreatePropertySheetPageW(&page)) handles[made++] = handle;
  }
  if (made == 0) return -1;

  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPTITLE | PSH_NOAPPLYNOW | PSH_USECALLBACK | PSH_NOCONTEXTHELP;
  header.hwndParent = owner;
  header.hInstance = instance;
  header.pszCaption = caption;
  header.nPages = made;
  header.nStartPage = 0;
  header.phpage = handles;
  header.pfnCallback = callback;
  return PropertySheetW(&header);
}

int OnSheetCallback(HWND sheet, UINT message, HWND* sheetWindow, const SheetValidation* validation) {
  // Only record the sheet: the state was reset before the sheet was made, and
  // a late PSCB_INITIALIZED must not wipe what the first page filled in.
  if (message == PSCB_INITIALIZED) {
    *sheetWindow = sheet;
    RunSheetValidationOnOk(sheet, validation);
  }
  return 0;
}
