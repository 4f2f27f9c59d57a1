#include "mode_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "in_memory_dialog.h"
#include "schedule_model.h"

namespace {

std::function<void(HWND dialog)> userActions;

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = FindWindowW(L"#32770", L"SoporaScheduler");
  if (!dialog || !IsWindowVisible(dialog)) return;  // not yet up: try again
  KillTimer(nullptr, id);
  userActions(dialog);
}

std::wstring Text(HWND dialog, int id) {
  wchar_t text[32] = {};
  GetDlgItemTextW(dialog, id, text, 32);
  return text;
}

class ModeDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  }
  void TearDown() override {
    if (IsWindow(owner_)) DestroyWindow(owner_);
    scheduleMode = DateMode;
  }
  INT_PTR Run(int atStartup, std::function<void(HWND)> actions) {
    userActions = std::move(actions);
    SetTimer(nullptr, 0, 10, DriveDialog);
    return RunModeDialog(owner_, atStartup);
  }
  HWND owner_ = nullptr;
};

TEST_F(ModeDialogTest, AtStartUpEndEndsWithZeroAndLeavesTheOwnerToItsCaller) {
  scheduleMode = DailyMode;
  std::wstring label;
  bool dailyChecked = false;
  const INT_PTR result = Run(1, [&](HWND dialog) {
    label = Text(dialog, IDCANCEL);
    dailyChecked = IsDlgButtonChecked(dialog, kDailyModeRadioId) == BST_CHECKED;
    CheckRadioButton(dialog, kDateModeRadioId, kWeeklyModeRadioId, kWeeklyModeRadioId);
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(label, L"終了");
  EXPECT_TRUE(dailyChecked);
  EXPECT_EQ(scheduleMode, DailyMode);
  // The caller's WM_CREATE fails on 0; the dialog never destroys its owner.
  EXPECT_TRUE(IsWindow(owner_));
}

TEST_F(ModeDialogTest, ClosingTheWindowCancelsToo) {
  scheduleMode = WeeklyMode;
  const INT_PTR result = Run(1, [](HWND dialog) { SendMessageW(dialog, WM_CLOSE, 0, 0); });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(scheduleMode, WeeklyMode);
}

TEST_F(ModeDialogTest, FromTheMenuCancelKeepsTheMode) {
  scheduleMode = WeeklyMode;
  std::wstring label;
  const INT_PTR result = Run(0, [&](HWND dialog) {
    label = Text(dialog, IDCANCEL);
    CheckRadioButton(dialog, kDateModeRadioId, kWeeklyModeRadioId, kDateModeRadioId);
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(label, L"キャンセル");
  EXPECT_EQ(scheduleMode, WeeklyMode);
}

struct ChoiceCase {
  int radio;
  ScheduleMode mode;
};

class ModeChoiceTest : public ModeDialogTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(ModeChoiceTest, OkStoresTheCheckedMode) {
  scheduleMode = DateMode;
  const INT_PTR result = Run(0, [](HWND dialog) {
    CheckRadioButton(dialog, kDateModeRadioId, kWeeklyModeRadioId, GetParam().radio);
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(scheduleMode, GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Table, ModeChoiceTest,
                         ::testing::Values(ChoiceCase{kDateModeRadioId, DateMode},
                                           ChoiceCase{kDailyModeRadioId, DailyMode},
                                           ChoiceCase{kWeeklyModeRadioId, WeeklyMode}));

TEST_F(ModeDialogTest, TheDialogIsCentredWithItsControls) {
  RECT rect{};
  std::wstring labels[4];
  Run(0, [&](HWND dialog) {
    GetWindowRect(dialog, &rect);
    labels[0] = Text(dialog, kModeLabelId);
    labels[1] = Text(dialog, kDateModeRadioId);
    labels[2] = Text(dialog, kDailyModeRadioId);
    labels[3] = Text(dialog, kWeeklyModeRadioId);
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  RECT area;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_NEAR((rect.left + rect.right) / 2, area.right / 2, 2);
  EXPECT_NEAR((rect.top + rect.bottom) / 2, area.bottom / 2, 2);
  // The whole dialog, frame and caption included, is 188 x 203 at 96 DPI.
  EXPECT_EQ(rect.right - rect.left, ScaleForDpi(188, ScreenDpiValue()));
  EXPECT_EQ(rect.bottom - rect.top, ScaleForDpi(203, ScreenDpiValue()));
  EXPECT_EQ(labels[0], L"モード選択:");
  EXPECT_EQ(labels[1], L"日時指定");
  EXPECT_EQ(labels[2], L"毎日繰り返す");
  EXPECT_EQ(labels[3], L"毎週繰り返す");
}

}  // namespace
