#include "shared/error_log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "message_box_catcher.h"
#include "shared/clock.h"
#include "temp_folder.h"

using testing_support::CaughtMessageBoxes;
using testing_support::ReadBytes;
using testing_support::TempFolderTest;

namespace {

void FixedTuesday(SYSTEMTIME* now) { *now = SYSTEMTIME{2024, 3, 2, 5, 23, 59, 7, 0}; }

std::string Utf16(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

std::wstring ReadLog(const wchar_t* name) {
  const std::string bytes = ReadBytes(name);
  std::wstring text(bytes.size() / 2, L'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * 2);
  return text;
}

class ErrorLogTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    SetLocalTimeSource(FixedTuesday);
    SetErrorLogFileName(kSchedulerErrorLogName);
  }
  void TearDown() override {
    SetLocalTimeSource(nullptr);
    SetErrorLogFileName(kSchedulerErrorLogName);
    TempFolderTest::TearDown();
  }
};

TEST_F(ErrorLogTest, FirstEntryStartsWithByteOrderMarkAndLaterOnesAppend) {
  AppendErrorLog(L"ファイルが存在しません。\nC:\\sound.wav", L"サウンド再生エラー");
  const std::wstring entry =
      L"[2024/03/05 23:59:07 (火)]\r\n\x25A0サウンド再生エラー\r\nファイルが存在しません。\r\n"
      L"C:\\sound.wav\r\n\r\n";
  EXPECT_EQ(ReadBytes(L"Scheduler_error.txt"), "\xff\xfe" + Utf16(entry));

  AppendErrorLog(L"second", L"T");
  const std::wstring second = L"[2024/03/05 23:59:07 (火)]\r\n\x25A0T\r\nsecond\r\n\r\n";
  EXPECT_EQ(ReadBytes(L"Scheduler_error.txt"), "\xff\xfe" + Utf16(entry) + Utf16(second));
}

TEST_F(ErrorLogTest, ExistingTextIsKeptWithoutASecondMark) {
  const std::string existing = "\xff\xfe" + Utf16(L"old\r\n");
  ASSERT_TRUE(testing_support::WriteBytes(L"Scheduler_error.txt", existing));
  AppendErrorLog(L"m", L"t");
  EXPECT_EQ(ReadBytes(L"Scheduler_error.txt"),
            existing + Utf16(L"[2024/03/05 23:59:07 (火)]\r\n\x25A0t\r\nm\r\n\r\n"));
}

TEST_F(ErrorLogTest, NullMessageLogsTheCallersSystemError) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  wchar_t commandLine[] = L"\"C:\\no\\such\\program.exe\"";
  ASSERT_FALSE(CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process));
  const DWORD error = GetLastError();
  AppendErrorLog(nullptr, L"アプリケーション起動エラー");

  wchar_t* expected = FetchSystemErrorText(error);
  ASSERT_NE(expected, nullptr);
  const std::wstring log = ReadLog(L"Scheduler_error.txt");
  std::wstring body;
  for (const wchar_t* p = expected; *p; ++p) {
    if (*p == L'\n' && (body.empty() || body.back() != L'\r')) body += L'\r';
    body += *p;
  }
  LocalFree(expected);
  EXPECT_NE(log.find(L"\x25A0アプリケーション起動エラー\r\n" + body), std::wstring::npos);
}

TEST_F(ErrorLogTest, CountdownProgramWritesItsOwnLog) {
  SetErrorLogFileName(kCountdownErrorLogName);
  AppendErrorLog(L"x", L"y");
  EXPECT_FALSE(ReadBytes(L"sopora_error.txt").empty());
  EXPECT_FALSE(testing_support::FileExists(temp_.Path(L"Scheduler_error.txt")));
}

TEST_F(ErrorLogTest, LogThatCannotBeOpenedLosesTheEntryQuietly) {
  ASSERT_TRUE(CreateDirectoryW(L"Scheduler_error.txt", nullptr));
  AppendErrorLog(L"lost", L"t");
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

TEST_F(ErrorLogTest, ConcurrentWritersNeverTearAnEntry) {
  constexpr int kPerThread = 300;
  auto writer = [](int thread) {
    for (int i = 0; i < kPerThread; ++i) {
      wchar_t message[64];
      swprintf(message, 64, L"thread %d entry %d\nsecond line", thread, i);
      AppendErrorLog(message, L"並行");
    }
  };
  std::thread a(writer, 1), b(writer, 2);
  a.join();
  b.join();

  const std::wstring log = ReadLog(L"Scheduler_error.txt");
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0], 0xFEFF);
  const std::wstring head = L"[2024/03/05 23:59:07 (火)]\r\n\x25A0並行\r\n";
  std::set<std::wstring> seen;
  size_t pos = 1;
  while (pos < log.size()) {
    ASSERT_EQ(log.compare(pos, head.size(), head), 0) << "torn entry at " << pos;
    pos += head.size();
    const size_t end = log.find(L"\r\nsecond line\r\n\r\n", pos);
    ASSERT_NE(end, std::wstring::npos);
    seen.insert(log.substr(pos, end - pos));
    pos = end + 17;
  }
  EXPECT_EQ(seen.size(), 2u * kPerThread);
}

TEST_F(ErrorLogTest, SystemErrorBoxShowsTheTextAndFreesIt) {
  wchar_t* text = FetchSystemErrorText(ERROR_FILE_NOT_FOUND);
  ASSERT_NE(text, nullptr);
  const std::wstring expected = text;
  ShowSystemErrorMessage(L"キャプション", nullptr, &text);
  EXPECT_EQ(text, nullptr);
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"キャプション");
  EXPECT_EQ(boxes[0].text, expected);
  EXPECT_EQ(boxes[0].icon, static_cast<UINT>(MB_ICONERROR));
}

}  // namespace
