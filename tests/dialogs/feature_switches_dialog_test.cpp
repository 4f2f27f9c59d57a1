#include "feature_switches_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "dpi_scaling.h"
#include "main_window_state.h"
#include "modal_driver.h"
#include "private_messages.h"
#include "schedule_model.h"

using testing_support::PumpPendingMessages;

namespace {

ScheduleItem MakeItem(int sound, int mail, int capture, int firstDelay) {
  ScheduleItem item;
  ClearScheduleItem(item);
  item.listIndex = 0;
  item.soundIndex = sound;
  item.mailTo = mail;
  item.captureEnabled = static_cast<uint8_t>(capture);
  item.appDelays[0] = firstDelay;
  return item;
}

TEST(FeatureSwitchViewTest, EnabledWhenConfiguredCheckedWhenOn) {
  const ScheduleItem full = MakeItem(1, 2, 1, 0);
  const ScheduleItem noMail = MakeItem(1, 0, 1, -1);
  const uint8_t allOn[6] = {0, 0, 0, 0, 0, 0};
  const uint8_t someOff[6] = {1, 0, 0, 0, 0, 1};

  FeatureSwitchView view = ComputeFeatureSwitchView(&full, &full, allOn);
  for (int i = 0; i < 6; ++i) {
    EXPECT_TRUE(view.enabled[i]) << i;
    EXPECT_TRUE(view.checked[i]) << i;
  }
  EXPECT_TRUE(view.afterResumeGroupEnabled);

  view = ComputeFeatureSwitchView(&noMail, &noMail, allOn);
  EXPECT_FALSE(view.enabled[1]);
  EXPECT_FALSE(view.checked[1]);
  EXPECT_FALSE(view.enabled[4]);
  EXPECT_FALSE(view.enabled[5]) << "no first application";
  EXPECT_TRUE(view.enabled[3]);

  view = ComputeFeatureSwitchView(&full, nullptr, someOff);
  EXPECT_FALSE(view.checked[0]);
  EXPECT_TRUE(view.checked[1]);
  EXPECT_FALSE(view.afterResumeGroupEnabled);
  for (int i = 3; i < 6; ++i) EXPECT_FALSE(view.enabled[i]) << i;

  view = ComputeFeatureSwitchView(nullptr, nullptr, allOn);
  for (int i = 0; i < 6; ++i) EXPECT_FALSE(view.enabled[i]) << i;
}

TEST(FeatureSwitchViewTest, OkTurnsUncheckedBoxesIntoSwitchesOff) {
  const bool checked[6] = {true, false, true, true, true, false};
  uint8_t switches[6] = {1, 1, 1, 1, 1, 1};
  ApplyFeatureSwitchChecks(checked, switches);
  const uint8_t expected[6] = {0, 1, 0, 0, 0, 1};
  EXPECT_EQ(memcmp(switches, expected, 6), 0);
}

// Stands in for the countdown dialog: answers "which items" as it does.
ScheduleItem currentItem;
ScheduleItem wakeItem;
bool hasWakeItem;
LRESULT CALLBACK FakeCountdownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgAskItems) {
    SendMessageW(reinterpret_cast<HWND>(lParam), kMsgItemsToShow, reinterpret_cast<WPARAM>(&currentItem),
                 hasWakeItem ? reinterpret_cast<LPARAM>(&wakeItem) : 0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class FeatureSwitchDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static ATOM atom = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = FakeCountdownProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"FakeCountdownForSwitches";
      return RegisterClassW(&wc);
    }();
    ASSERT_NE(atom, 0);
    workArea = RECT{0, 0, 1280, 800};
    countdownDialog = CreateWindowExW(0, L"FakeCountdownForSwitches", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    memset(featureOff, 0, sizeof featureOff);
    currentItem = MakeItem(1, 1, 1, -1);
    wakeItem = MakeItem(0, 1, 0, 5);
    hasWakeItem = true;
  }
  void TearDown() override {
    if (featureDialog) DestroyWindow(featureDialog);
    DestroyWindow(countdownDialog);
    countdownDialog = nullptr;
    PumpPendingMessages();
  }
  static bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(featureDialog, id)) != FALSE; }
  static bool Checked(int id) { return IsDlgButtonChecked(featureDialog, id) == BST_CHECKED; }
};

TEST_F(FeatureSwitchDialogTest, ShowsTheNextItemsAndStoresOnOk) {
  HWND dialog = OpenFeatureSwitchDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(featureDialog, dialog);
  EXPECT_EQ(switchesItem, &currentItem);
  EXPECT_EQ(switchesWakeItem, &wakeItem);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
  RECT r;
  GetWindowRect(dialog, &r);
  EXPECT_EQ(r.right - r.left, ScaleX(219));
  EXPECT_EQ(r.bottom - r.top, ScaleY(290));
  EXPECT_EQ(r.left, (1280 - ScaleX(219)) / 2);
  EXPECT_EQ(r.top, (800 - ScaleY(290)) / 2);
  RECT box;
  GetWindowRect(GetDlgItem(dialog, 2002), &box);
  EXPECT_EQ(box.right - box.left, ScaleX(171));

  EXPECT_TRUE(Enabled(2000) && Enabled(2001) && Enabled(2002));
  EXPECT_FALSE(Enabled(2003)) << "the wake item has no sound";
  EXPECT_TRUE(Enabled(2004) && Enabled(2005));
  EXPECT_TRUE(Checked(2001));
  EXPECT_FALSE(Checked(2003));

  CheckDlgButton(dialog, 2005, BST_UNCHECKED);
  CheckDlgButton(dialog, 2001, BST_UNCHECKED);
  SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(featureDialog, nullptr);
  const uint8_t expected[6] = {0, 1, 0, 1, 0, 1};
  EXPECT_EQ(memcmp(featureOff, expected, 6), 0);
}

TEST_F(FeatureSwitchDialogTest, CancelLeavesTheSwitches) {
  featureOff[2] = 1;
  HWND dialog = OpenFeatureSwitchDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(Checked(2002));
  CheckDlgButton(dialog, 2000, BST_UNCHECKED);
  CheckDlgButton(dialog, 2002, BST_CHECKED);
  SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_FALSE(IsWindow(dialog));
  const uint8_t expected[6] = {0, 0, 1, 0, 0, 0};
  EXPECT_EQ(memcmp(featureOff, expected, 6), 0);
}

TEST_F(FeatureSwitchDialogTest, NoWakeItemGreysTheAfterResumeGroup) {
  hasWakeItem = false;
  HWND dialog = OpenFeatureSwitchDialog();
  ASSERT_NE(dialog, nullptr);
  for (int id : {2007, 2003, 2004, 2005}) EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_TRUE(Enabled(2006));
  EXPECT_TRUE(Enabled(2000));
}

}  // namespace
