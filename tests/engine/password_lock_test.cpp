#include "password_lock.h"

#include <gtest/gtest.h>

#include <wincrypt.h>

#include <cstring>
#include <string>

#include "message_box_catcher.h"
#include "schedule_model.h"
#include "shared/error_log.h"
#include "temp_folder.h"

using testing_support::CaughtMessageBoxes;
using testing_support::TempFolderTest;

namespace {

std::string Digest(const char* text) {
  char digest[41];
  memset(digest, 'x', sizeof digest);
  EXPECT_TRUE(HashPasswordSha1Hex(text, digest, nullptr)) << text;
  return std::string(digest, strnlen(digest, 41));
}

TEST(HashPasswordTest, StandardSha1InLowerCaseHex) {
  const struct {
    const char* text;
    const char* digest;
  } cases[] = {
      {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"password", "5baa61e4c9b93f3f0682250b6cf8331b7ee68fd8"},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "cd762363c1c11ecb48611583520bba111f0034d4"},
  };
  for (const auto& c : cases) EXPECT_EQ(Digest(c.text), c.digest) << c.text;
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

TEST(HashPasswordTest, JapaneseTextIsHashedOverItsShiftJisBytes) {
  ASSERT_EQ(GetACP(), 932u) << "the tests run with LANG=ja_JP.UTF-8";
  char ansi[64];
  ASSERT_TRUE(PasswordToAnsi(L"パスワード", ansi, sizeof ansi));
  EXPECT_EQ(strlen(ansi), 10u);  // two bytes a character
  EXPECT_EQ(Digest(ansi), "bfab5a53d2ec8ec6cb39fc924cf8c8410377c9c8");
}

TEST(HashPasswordTest, CharacterOutsideTheCodePageIsReported) {
  char ansi[64];
  EXPECT_FALSE(PasswordToAnsi(L"pass\u00e9\u0101", ansi, sizeof ansi));  // ā has no Shift_JIS form
  EXPECT_TRUE(PasswordToAnsi(L"plain", ansi, sizeof ansi));
  EXPECT_STREQ(ansi, "plain");
}

TEST(HashPasswordTest, LeavesNoKeyContainerBehind) {
  // The digest needs no key container: after hashing, the default one still
  // does not exist unless it existed before.
  HCRYPTPROV before = 0;
  const bool existed = CryptAcquireContextW(&before, nullptr, nullptr, PROV_RSA_FULL, 0) != FALSE;
  if (before) CryptReleaseContext(before, 0);
  Digest("abc");
  HCRYPTPROV after = 0;
  const bool exists = CryptAcquireContextW(&after, nullptr, nullptr, PROV_RSA_FULL, 0) != FALSE;
  if (after) CryptReleaseContext(after, 0);
  EXPECT_EQ(exists, existed);
}

BOOL WINAPI FailingProvider(HCRYPTPROV*, LPCWSTR, LPCWSTR, DWORD, DWORD) {
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

TEST(HashPasswordTest, AFailingStepShowsTheSystemTextOfItsOwnError) {
  SetHashProviderCall(FailingProvider);
  char digest[41] = "";
  const bool hashed = HashPasswordSha1Hex("abc", digest, nullptr);
  SetHashProviderCall(nullptr);
  EXPECT_FALSE(hashed);
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"CryptAcquireContext error");
  EXPECT_EQ(boxes[0].icon, static_cast<UINT>(MB_ICONERROR));
  wchar_t* expected = FetchSystemErrorText(ERROR_ACCESS_DENIED);
  ASSERT_NE(expected, nullptr);
  EXPECT_EQ(boxes[0].text, std::wstring(expected)) << "the error of the failed call, not a later one";
  LocalFree(expected);
}

class PasswordEditTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    password_ = MakeEdit();
    confirmation_ = MakeEdit();
    memset(&profileSettings.general, 0, sizeof profileSettings.general);
    memset(pendingPasswordHash, 0, sizeof pendingPasswordHash);
  }
  void TearDown() override {
    DestroyWindow(password_);
    DestroyWindow(confirmation_);
    TempFolderTest::TearDown();
  }
  static HWND MakeEdit() {
    return CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 200, 20, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }
  bool Set(const std::wstring& password, const std::wstring& confirmation) {
    SetWindowTextW(password_, password.c_str());
    SetWindowTextW(confirmation_, confirmation.c_str());
    return SetLockPassword(password_, confirmation_, nullptr);
  }
  // A refused password is told once, an accepted one silently.
  bool Check(const std::wstring& typed) {
    SetWindowTextW(password_, typed.c_str());
    const size_t before = CaughtMessageBoxes().size();
    const bool accepted = CheckLockPassword(password_, nullptr);
    const auto boxes = CaughtMessageBoxes();
    if (accepted) {
      EXPECT_EQ(boxes.size(), before) << "an accepted password shows nothing";
    } else {
      EXPECT_EQ(boxes.size(), before + 1) << "a refused password is told once";
      if (boxes.size() > before) {
        EXPECT_EQ(boxes.back().text, L"パスワードが違います。");
      }
    }
    return accepted;
  }
  void StorePending() { memcpy(profileSettings.general.passwordHash, pendingPasswordHash, 41); }
  std::wstring LastMessage() {
    const auto boxes = CaughtMessageBoxes();
    return boxes.empty() ? L"" : boxes.back().text;
  }
  std::wstring LastCaption() {
    const auto boxes = CaughtMessageBoxes();
    return boxes.empty() ? L"(none)" : boxes.back().caption;
  }
  HWND password_ = nullptr;
  HWND confirmation_ = nullptr;
};

TEST_F(PasswordEditTest, SettingRefusesBadEntriesWithTheirMessages) {
  const std::wstring thirty(30, L'a');
  const std::wstring thirtyOne(31, L'a');
  const struct {
    std::wstring password, confirmation, text, caption;
  } cases[] = {
      {L"", L"abc", L"パスワードの入力を確認して下さい。", L""},
      {L"abc", L"", L"パスワードの入力を確認して下さい。", L""},
      {thirtyOne, thirtyOne, L"パスワードは30字以内で設定して下さい。", L""},
      {L"abc", thirtyOne, L"パスワードは30字以内で設定して下さい。", L""},
      {L"abc", L"abd", L"パスワードが一致しません", L"エラー"},
      {L"Abc", L"abc", L"パスワードが一致しません", L"エラー"},
      {L"caf\u0101", L"caf\u0101", L"パスワードの入力を確認して下さい。", L""},
  };
  for (const auto& c : cases) {
    testing_support::ClearCaughtMessageBoxes();
    EXPECT_FALSE(Set(c.password, c.confirmation)) << c.password.size();
    EXPECT_EQ(LastMessage(), c.text) << c.password.size();
    EXPECT_EQ(LastCaption(), c.caption) << c.password.size();
    EXPECT_EQ(pendingPasswordHash[0], '\0');
  }
}

TEST_F(PasswordEditTest, ThirtyCharactersSetAndUnlock) {
  const std::wstring thirty(30, L'a');
  ASSERT_TRUE(Set(thirty, thirty));
  EXPECT_STREQ(pendingPasswordHash, "cd762363c1c11ecb48611583520bba111f0034d4");
  StorePending();
  EXPECT_TRUE(Check(thirty));
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

TEST_F(PasswordEditTest, WrongEmptyOrOverLongIsRefusedAndCleared) {
  ASSERT_TRUE(Set(L"Secret", L"Secret"));
  StorePending();
  for (const std::wstring& typed : {std::wstring(L"secret"), std::wstring(L""), std::wstring(L"Secret!"),
                                    std::wstring(L"Secret") + std::wstring(25, L'x')}) {
    testing_support::ClearCaughtMessageBoxes();
    EXPECT_FALSE(Check(typed)) << typed.size();
    EXPECT_EQ(LastMessage(), L"パスワードが違います。");
    EXPECT_EQ(LastCaption(), L"");
    EXPECT_EQ(GetWindowTextLengthW(password_), 0);
  }
  EXPECT_TRUE(Check(L"Secret"));
}

TEST_F(PasswordEditTest, JapanesePasswordMatchesTheSameWayAsSet) {
  ASSERT_TRUE(Set(L"パスワード", L"パスワード"));
  EXPECT_STREQ(pendingPasswordHash, "bfab5a53d2ec8ec6cb39fc924cf8c8410377c9c8");
  StorePending();
  EXPECT_TRUE(Check(L"パスワード"));
  EXPECT_FALSE(Check(L"パスワート"));
  EXPECT_EQ(LastMessage(), L"パスワードが違います。");
}

TEST_F(PasswordEditTest, UpperCaseDigestNeverMatches) {
  strcpy(profileSettings.general.passwordHash, "A9993E364706816ABA3E25717850C26C9CD0D89D");
  EXPECT_FALSE(Check(L"abc"));
  EXPECT_EQ(LastMessage(), L"パスワードが違います。");
  testing_support::ClearCaughtMessageBoxes();
  strcpy(profileSettings.general.passwordHash, "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_TRUE(Check(L"abc"));
}

// Where the ANSI code page is UTF-8 (Windows' "UTF-8 for worldwide language
// support"). These run on their own with LC_ALL=hi_IN.UTF-8, which makes
// Wine's ANSI code page 65001.
class Utf8AnsiCodePageTest : public PasswordEditTest {
 protected:
  void SetUp() override {
    PasswordEditTest::SetUp();
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "run with LC_ALL=hi_IN.UTF-8";
  }
  void TearDown() override {
    SetAnsiConversionCall(nullptr);
    PasswordEditTest::TearDown();
  }
};

// 30 characters, 90 bytes in UTF-8; the second differs only in the last one.
const std::wstring kLongJapanese = L"パスワードパスワードパスワードパスワードパスワードパスワード";
const std::wstring kLongJapaneseOtherEnd = L"パスワードパスワードパスワードパスワードパスワードパスワーㇳ";
constexpr const char* kLongJapaneseDigest = "839e9ecefec8e3908a0a7590bfacfe2ec09e632f";  // SHA-1 of its UTF-8

TEST_F(Utf8AnsiCodePageTest, ALongNonAsciiPasswordSetsAndUnlocksOverAllItsBytes) {
  ASSERT_EQ(kLongJapanese.size(), 30u);
  ASSERT_TRUE(Set(kLongJapanese, kLongJapanese)) << LastMessage();
  EXPECT_STREQ(pendingPasswordHash, kLongJapaneseDigest);
  StorePending();
  EXPECT_TRUE(Check(kLongJapanese));
  EXPECT_TRUE(CaughtMessageBoxes().empty());
  // Cut to fewer bytes, the two would share one digest.
  EXPECT_FALSE(Check(kLongJapaneseOtherEnd));
  EXPECT_EQ(LastMessage(), L"パスワードが違います。");
  testing_support::ClearCaughtMessageBoxes();
  ASSERT_TRUE(Set(L"pass", L"pass"));
  EXPECT_STREQ(pendingPasswordHash, "9d4e1e23bd5b727046a9e3b4b7db57bd8d6ee684");
}

// Windows refuses, for UTF-8, every flag but WC_ERR_INVALID_CHARS and any
// default-character argument; Wine accepts them.
int windowsLikeConversions;
int WINAPI WindowsLikeConversion(UINT codePage, DWORD flags, LPCWCH text, int length, LPSTR out, int outSize,
                                 LPCCH defaultChar, LPBOOL usedDefault) {
  const UINT page = codePage == CP_ACP ? GetACP() : codePage;
  if (page == CP_UTF8 && (flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS))) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  if (page == CP_UTF8 && (defaultChar || usedDefault)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  ++windowsLikeConversions;
  return WideCharToMultiByte(codePage, flags, text, length, out, outSize, defaultChar, usedDefault);
}

TEST_F(Utf8AnsiCodePageTest, SetAndCheckUseOnlyWhatWindowsAcceptsForUtf8) {
  SetAnsiConversionCall(WindowsLikeConversion);
  windowsLikeConversions = 0;
  ASSERT_TRUE(Set(kLongJapanese, kLongJapanese)) << LastMessage();
  EXPECT_STREQ(pendingPasswordHash, kLongJapaneseDigest);
  StorePending();
  EXPECT_TRUE(Check(kLongJapanese));
  EXPECT_GE(windowsLikeConversions, 2) << "both went through the conversion";
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

}  // namespace
