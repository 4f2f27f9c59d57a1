// Every character of the scheduler's texts has a glyph in the font that shows
// it, so no text renders as empty boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common_ui.h"
#include "main_window_state.h"
#include "modal_driver.h"
#include "screen.h"
#include "startup_settings.h"

using testing_support::DescribeMenu;
using testing_support::MissingGlyphs;
using testing_support::MenuItemInfo;

namespace {

void CollectMenuTexts(const std::vector<MenuItemInfo>& items, std::vector<std::wstring>* texts) {
  for (const auto& item : items) {
    if (!item.text.empty()) texts->push_back(item.text);
    CollectMenuTexts(item.children, texts);
  }
}

std::vector<std::wstring> MenuTexts(int id) {
  std::vector<std::wstring> texts;
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
  EXPECT_NE(menu, nullptr) << id;
  if (menu) {
    CollectMenuTexts(DescribeMenu(menu), &texts);
    DestroyMenu(menu);
  }
  return texts;
}

INT_PTR CALLBACK QuietDlgProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

BOOL CALLBACK CollectChildText(HWND window, LPARAM lParam) {
  wchar_t text[256] = L"";
  GetWindowTextW(window, text, 256);
  wchar_t cls[32] = L"";
  GetClassNameW(window, cls, 32);
  if (lstrcmpiW(cls, L"Edit") != 0 && text[0]) reinterpret_cast<std::vector<std::wstring>*>(lParam)->push_back(text);
  return TRUE;
}

std::vector<std::wstring> DialogTexts(int id) {
  std::vector<std::wstring> texts;
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, QuietDlgProc, 0);
  EXPECT_NE(dialog, nullptr) << id;
  if (!dialog) return texts;
  wchar_t caption[256] = L"";
  GetWindowTextW(dialog, caption, 256);
  texts.push_back(caption);
  EnumChildWindows(dialog, CollectChildText, reinterpret_cast<LPARAM>(&texts));
  DestroyWindow(dialog);
  return texts;
}

class GlyphTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!uiFont) CreateUiFonts(nullptr);
  }
  static HFONT SystemFont(LOGFONTW NONCLIENTMETRICSW::*member) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return CreateFontIndirectW(&(metrics.*member));
  }
  static void ExpectAllGlyphs(HFONT font, const std::vector<std::wstring>& texts, const char* what) {
    ASSERT_NE(font, nullptr) << what;
    ASSERT_FALSE(texts.empty()) << what;
    for (const auto& text : texts) EXPECT_EQ(MissingGlyphs(font, text), L"") << what;
  }
};

TEST_F(GlyphTest, DialogTextsInTheDialogFonts) {
  std::vector<std::wstring> texts = DialogTexts(181);
  const std::vector<std::wstring> prompt = DialogTexts(213);
  texts.insert(texts.end(), prompt.begin(), prompt.end());
  EXPECT_GE(texts.size(), 15u);
  ExpectAllGlyphs(uiFont, texts, "uiFont");
  ExpectAllGlyphs(uiBoldFont, texts, "uiBoldFont");
}

TEST_F(GlyphTest, TrayMenusInTheMenuFont) {
  std::vector<std::wstring> texts = MenuTexts(109);
  const std::vector<std::wstring> running = MenuTexts(146);
  texts.insert(texts.end(), running.begin(), running.end());
  EXPECT_EQ(texts.size(), 14u);
  HFONT menuFont = SystemFont(&NONCLIENTMETRICSW::lfMenuFont);
  ExpectAllGlyphs(menuFont, texts, "menu font");
  DeleteObject(menuFont);
}

TEST_F(GlyphTest, MessagesInTheMessageFont) {
  const std::vector<std::wstring> texts = {
      L"すでに起動しています", kStartNameTooLongText, L"パスワードが違います。",
      L"パスワードの入力を確認して下さい。", L"パスワードは30字以内で設定して下さい。", L"パスワードが一致しません",
      L"エラー", L"設定中...", L"フォルダを選択してください"};
  HFONT messageFont = SystemFont(&NONCLIENTMETRICSW::lfMessageFont);
  ExpectAllGlyphs(messageFont, texts, "message font");
  DeleteObject(messageFont);
}

TEST(GlyphCheckTest, NoticesAMissingGlyph) {
  // The check itself must be able to fail: a private-use character has no glyph.
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  EXPECT_EQ(MissingGlyphs(font, L"A\uE000"), L"\uE000");
}

}  // namespace
