#include "password_prompt_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dpi_scaling.h"
#include "main_window_state.h"
#include "message_box_catcher.h"
#include "modal_driver.h"
#include "schedule_model.h"

using testing_support::CaughtMessageBoxes;
using testing_support::ClearCaughtMessageBoxes;
using testing_support::FindThreadDialogWithControl;
using testing_support::ModalDriver;

namespace {

class PasswordPromptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    workArea = RECT{0, 0, 1280, 800};
    memset(&profileSettings.general, 0, sizeof profileSettings.general);
    profileSettings.general.passwordLock = 1;
    strcpy(profileSettings.general.passwordHash, "a9993e364706816aba3e25717850c26c9cd0d89d");  // "abc"
    ClearCaughtMessageBoxes();
  }
};

TEST_F(PasswordPromptTest, WrongPasswordsKeepItOpenCancelGivesZero) {
  int attempts = 0;
  bool clearedEachTime = true;
  std::wstring caption, label;
  RECT rect{};
  ModalDriver driver([&] {
    HWND prompt = FindThreadDialogWithControl(1148);
    if (!prompt) return false;
    HWND edit = GetDlgItem(prompt, 1148);
    if (attempts == 0) {
      wchar_t text[100] = L"";
      GetWindowTextW(prompt, text, 100);
      caption = text;
      GetDlgItemTextW(prompt, 1149, text, 100);
      label = text;
      GetWindowRect(prompt, &rect);
    } else if (GetWindowTextLengthW(edit) != 0) {
      clearedEachTime = false;
    }
    if (attempts < 3) {
      ++attempts;
      SetWindowTextW(edit, attempts == 2 ? L"ABC" : L"wrong");
      SendMessageW(prompt, WM_COMMAND, IDOK, 0);
      return false;
    }
    SendMessageW(prompt, WM_COMMAND, IDCANCEL, 0);
    return true;
  });
  EXPECT_EQ(RunPasswordPrompt(nullptr), 0);
  EXPECT_EQ(attempts, 3);
  EXPECT_TRUE(clearedEachTime);
  EXPECT_EQ(caption, L"SoporaScheduler");
  EXPECT_EQ(label, L"パスワードを入力してください");
  EXPECT_EQ(rect.right - rect.left, ScaleX(224));
  EXPECT_EQ(rect.bottom - rect.top, ScaleY(137));
  EXPECT_EQ(rect.left, (1280 - ScaleX(224)) / 2);
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.text, L"パスワードが違います。");
    EXPECT_EQ(box.caption, L"");
  }
}

TEST_F(PasswordPromptTest, RightPasswordGivesOne) {
  ModalDriver driver([&] {
    HWND prompt = FindThreadDialogWithControl(1148);
    if (!prompt) return false;
    SetDlgItemTextW(prompt, 1148, L"abc");
    SendMessageW(prompt, WM_COMMAND, IDOK, 0);
    return true;
  });
  EXPECT_EQ(RunPasswordPrompt(nullptr), 1);
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

}  // namespace
