#include "settings_sheet.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "in_memory_dialog.h"
#include "message_box_catcher.h"
#include "schedule_model.h"

using testing_support::CaughtMessageBoxes;
using testing_support::ClearCaughtMessageBoxes;

namespace {

// Two small pages with the agreed protocol: each edits a copy of its own
// "model" value; the second refuses the text "bad".
constexpr int kEditId = 100;
std::wstring modelA;
std::wstring modelB;
int validationsA;
int validationsB;

std::wstring EditText(HWND page) {
  wchar_t text[64] = {};
  GetDlgItemTextW(page, kEditId, text, 64);
  return text;
}

INT_PTR PageProc(HWND page, UINT message, LPARAM lParam, int number, std::wstring* model, int* validations) {
  switch (message) {
    case WM_INITDIALOG:
      (void)lParam;
      RegisterSettingsPage(page, number);
      CreateWindowExW(0, L"EDIT", model->c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 120, 24, page,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), GetModuleHandleW(nullptr), nullptr);
      return TRUE;
    case kMsgValidatePage:
      ++*validations;
      if (EditText(page) == L"bad") {
        MessageBoxW(page, L"入力が正しくありません。", L"", MB_OK);
        settingsSheetState.validationFailed = number;
      }
      return TRUE;
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lParam)->code == PSN_APPLY) {
        if (SettingsPageMayStore(page, number)) {
          *model = EditText(page);
          SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        }
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK PageAProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  return PageProc(page, message, lParam, kGeneralPage, &modelA, &validationsA);
}
INT_PTR CALLBACK PageBProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  return PageProc(page, message, lParam, kApplicationsPage, &modelB, &validationsB);
}

const DLGTEMPLATE* PageTemplate() {
  static const std::vector<WORD> words = BuildEmptyDialogTemplate(WS_CHILD | WS_CAPTION, 0, L"", 160, 80);
  return reinterpret_cast<const DLGTEMPLATE*>(words.data());
}

const SettingsPageEntry kPages[2] = {
    {0, L"全般", PageAProc, PageTemplate()},
    {0, L"アプリ", PageBProc, PageTemplate()},
};

// What the user does while the modal sheet is open; runs from a timer in
// the sheet's own loop.
std::function<void(HWND sheet)> userActions;
bool sheetStillOpenAfterOk;

void CALLBACK DriveSheet(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND sheet = settingsSheetState.sheetWindow;
  if (!sheet) return;
  userActions(sheet);
}

HWND Page(int number) { return settingsSheetState.pageWindows[number - 1]; }

void PressOk(HWND sheet) {
  SendMessageW(sheet, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(sheet, IDOK)));
}
void PressCancel(HWND sheet) {
  SendMessageW(sheet, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(sheet, IDCANCEL)));
}
void OpenSecondPage(HWND sheet) { SendMessageW(sheet, PSM_SETCURSEL, 1, 0); }
void Type(int number, const wchar_t* text) { SetDlgItemTextW(Page(number), kEditId, text); }

class SettingsSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    modelA = L"a0";
    modelB = L"b0";
    validationsA = validationsB = 0;
    sheetStillOpenAfterOk = false;
    ClearCaughtMessageBoxes();
    owner_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  }
  void TearDown() override { DestroyWindow(owner_); }
  void Run(std::function<void(HWND)> actions) {
    userActions = std::move(actions);
    SetTimer(nullptr, 0, 10, DriveSheet);
    OpenSettingsSheet(owner_, kPages, 2);
    EXPECT_EQ(settingsSheetState.sheetWindow, nullptr);
  }
  HWND owner_ = nullptr;
};

TEST_F(SettingsSheetTest, AFailingPageKeepsTheSheetOpenAndNoPageStores) {
  Run([](HWND sheet) {
    Type(1, L"a1");
    OpenSecondPage(sheet);
    Type(2, L"bad");
    PressOk(sheet);
    // The sheet stays on the failing page.
    sheetStillOpenAfterOk = PropSheet_GetCurrentPageHwnd(sheet) == Page(2);
    EXPECT_EQ(settingsSheetState.validationFailed, 0);  // reset by the failing page
    PressCancel(sheet);
  });
  EXPECT_TRUE(sheetStillOpenAfterOk);
  EXPECT_EQ(validationsA, 1);  // once per press, not twice, not never
  EXPECT_EQ(validationsB, 1);
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_EQ(CaughtMessageBoxes()[0].text, L"入力が正しくありません。");
  EXPECT_EQ(modelA, L"a0");
  EXPECT_EQ(modelB, L"b0");
}

TEST_F(SettingsSheetTest, AfterAFailureACorrectedPressStoresEveryOpenedPage) {
  Run([](HWND sheet) {
    Type(1, L"a1");
    OpenSecondPage(sheet);
    Type(2, L"bad");
    PressOk(sheet);
    sheetStillOpenAfterOk = PropSheet_GetCurrentPageHwnd(sheet) == Page(2);
    Type(2, L"b2");
    PressOk(sheet);
  });
  EXPECT_TRUE(sheetStillOpenAfterOk);
  EXPECT_EQ(validationsA, 2);
  EXPECT_EQ(modelA, L"a1");
  EXPECT_EQ(modelB, L"b2");
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u) << "only the first press found a wrong page";
  EXPECT_EQ(CaughtMessageBoxes()[0].text, L"入力が正しくありません。");
}

TEST_F(SettingsSheetTest, AnUnopenedPageIsNeitherCheckedNorStored) {
  Run([](HWND sheet) {
    Type(1, L"a1");
    PressOk(sheet);
  });
  EXPECT_EQ(validationsA, 1);
  EXPECT_EQ(validationsB, 0);
  EXPECT_EQ(modelA, L"a1");
  EXPECT_EQ(modelB, L"b0");
}

TEST_F(SettingsSheetTest, CancelStoresNothingAndTheNextOpeningStartsFromTheModel) {
  Run([](HWND sheet) {
    Type(1, L"a1");
    OpenSecondPage(sheet);
    Type(2, L"b1");
    PressCancel(sheet);
  });
  EXPECT_EQ(modelA, L"a0");
  EXPECT_EQ(modelB, L"b0");
  EXPECT_EQ(validationsA, 0);
  std::wstring shownA, shownB;
  Run([&shownA, &shownB](HWND sheet) {
    shownA = EditText(Page(1));
    OpenSecondPage(sheet);
    shownB = EditText(Page(2));
    PressCancel(sheet);
  });
  EXPECT_EQ(shownA, L"a0");
  EXPECT_EQ(shownB, L"b0");
}

TEST_F(SettingsSheetTest, TheStateIsResetBeforeTheSheetAndKeptByItsCallback) {
  settingsSheetState.validationFailed = 4;
  settingsSheetState.pageWindows[4] = owner_;
  scheduleMode = WeeklyMode;
  int rowCount = 0, selectedRow = 0;
  HWND fifth = owner_;
  Run([&](HWND sheet) {
    rowCount = settingsSheetState.rowCount;
    selectedRow = settingsSheetState.selectedRow;
    fifth = settingsSheetState.pageWindows[4];
    // A late PSCB_INITIALIZED must not wipe what the pages filled in.
    HWND first = Page(1);
    SettingsSheetCallback(sheet, PSCB_INITIALIZED, 0);
    EXPECT_EQ(Page(1), first);
    PressCancel(sheet);
  });
  EXPECT_EQ(rowCount, 7);
  EXPECT_EQ(selectedRow, -1);
  EXPECT_EQ(fifth, nullptr);
  scheduleMode = DateMode;
}

TEST_F(SettingsSheetTest, ButtonPressedCallbackRunsNoPass) {
  Run([](HWND sheet) {
    SettingsSheetCallback(sheet, PSCB_BUTTONPRESSED, PSBTN_OK);
    PressCancel(sheet);
  });
  EXPECT_EQ(validationsA, 0);
}

}  // namespace
