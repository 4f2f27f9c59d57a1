#include "modal_driver.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <commctrl.h>

#include <vector>

#include "sheet_runner.h"

namespace {

// An empty modal dialog box that only Cancel ends.
INT_PTR CALLBACK CancelOnlyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

INT_PTR RunEmptyDialog() {
  alignas(4) static WORD words[32] = {};
  auto* form = reinterpret_cast<DLGTEMPLATE*>(words);
  form->style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME;
  form->cx = 80;
  form->cy = 40;
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), form, nullptr, CancelOnlyProc, 0);
}

INT_PTR result;

void DriveADialogThatNeverFinishes() {
  testing_support::ModalDriver driver([] { return false; }, 300);
  result = RunEmptyDialog();
}

TEST(ModalDriverTest, AStepThatNeverFinishesFailsAndEndsTheModalLoop) {
  const DWORD start = GetTickCount();
  EXPECT_NONFATAL_FAILURE(DriveADialogThatNeverFinishes(), "still unfinished when its time was up");
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_LT(GetTickCount() - start, 10000u);
}

// A property sheet whose only page refuses to close.
INT_PTR CALLBACK StubbornPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == PSN_QUERYCANCEL) {
    SetWindowLongPtrW(page, DWLP_MSGRESULT, TRUE);
    return TRUE;
  }
  return message == WM_INITDIALOG;
}

HWND stubbornSheet;
int CALLBACK RecordSheet(HWND sheet, UINT message, LPARAM) {
  if (message == PSCB_INITIALIZED) stubbornSheet = sheet;
  return 0;
}

bool sheetRan;
void RunAStubbornSheet() {
  stubbornSheet = nullptr;
  sheetRan = testing_support::RunPropertySheet(
      [](HWND owner) {
        alignas(4) static WORD words[32] = {};
        auto* form = reinterpret_cast<DLGTEMPLATE*>(words);
        form->style = WS_CHILD | WS_CAPTION;
        form->cx = 100;
        form->cy = 60;
        PROPSHEETPAGEW page{};
        page.dwSize = sizeof page;
        page.dwFlags = PSP_DLGINDIRECT;
        page.pResource = form;
        page.pfnDlgProc = StubbornPageProc;
        HPROPSHEETPAGE handle = CreatePropertySheetPageW(&page);
        PROPSHEETHEADERW header{};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_USECALLBACK | PSH_NOAPPLYNOW;
        header.hwndParent = owner;
        header.nPages = 1;
        header.phpage = &handle;
        header.pfnCallback = RecordSheet;
        PropertySheetW(&header);
        stubbornSheet = nullptr;
      },
      &stubbornSheet, [](HWND) {}, 500);
}

TEST(SheetRunnerTest, ASheetThatWillNotCloseFailsAndIsTakenDown) {
  const DWORD start = GetTickCount();
  EXPECT_NONFATAL_FAILURE(RunAStubbornSheet(), "the sheet still stood when its time was up");
  EXPECT_TRUE(sheetRan);
  EXPECT_LT(GetTickCount() - start, 15000u);
}

}  // namespace
