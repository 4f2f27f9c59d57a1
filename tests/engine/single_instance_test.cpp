// Starts the real SoporaScheduler.exe the way a user does and watches its windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "process_windows.h"
#include "temp_folder.h"
#include "wait.h"

using testing_support::PumpMessagesUntil;
using testing_support::TempFolderTest;
using namespace testing_support::process_windows;

namespace {

// Writes what the screen shows of the window as a 24-bit BMP.
bool SaveWindowShot(HWND window, const std::wstring& path) {
  RECT r;
  GetWindowRect(window, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::string pixels(static_cast<size_t>(stride) * height, '\0');
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), &pixels[0], reinterpret_cast<BITMAPINFO*>(&header),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
  bytes += pixels;
  return testing_support::WriteBytes(path, bytes);
}

class SchedulerProcessTest : public TempFolderTest {
 protected:
  void TearDown() override {
    // Before the folder goes: the programs run in it.
    programs_.EndAll();
    TempFolderTest::TearDown();
  }

  PROCESS_INFORMATION Start(const std::wstring& arguments) {
    return programs_.Start(HostPathToWine(SOPORA_SCHEDULER_EXE), arguments, temp_.path());
  }

  static DWORD WaitForExit(const PROCESS_INFORMATION& process) { return StartedPrograms::WaitForExit(process); }

  // With no profile to load, the program first asks for the mode; OK keeps
  // the one it has.
  static void AnswerModeDialog(DWORD processId) {
    HWND mode = nullptr;
    if (!PumpMessagesUntil([&] {
          mode = FindProcessWindowNow(processId, L"#32770");
          return mode && GetDlgItem(mode, 1046);
        })) {
      ADD_FAILURE() << "the mode dialog did not appear";
      return;
    }
    PostMessageW(mode, WM_COMMAND, IDOK, 0);
  }

  StartedPrograms programs_;
};

TEST_F(SchedulerProcessTest, SecondInstanceIsRefusedWhileTheFirstRuns) {
  const PROCESS_INFORMATION first = Start(L"");
  ASSERT_NE(first.hProcess, nullptr);
  AnswerModeDialog(first.dwProcessId);
  HWND frame = WaitForProcessWindow(first.dwProcessId, L"SOPORASCHEDULER");
  ASSERT_NE(frame, nullptr) << "the frame window did not appear";
  wchar_t title[64] = L"";
  GetWindowTextW(frame, title, 64);
  EXPECT_STREQ(title, L"SoporaScheduler");
  EXPECT_TRUE(SaveWindowShot(frame, HostPathToWine(SOPORA_ARTIFACT_DIR) + L"\\scheduler_frame.bmp"));

  const PROCESS_INFORMATION second = Start(L"");
  ASSERT_NE(second.hProcess, nullptr);
  HWND box = WaitForProcessWindow(second.dwProcessId, L"#32770");
  ASSERT_NE(box, nullptr) << "the second instance showed no message";
  wchar_t caption[64] = L"x";
  GetWindowTextW(box, caption, 64);
  EXPECT_STREQ(caption, L"");
  EXPECT_TRUE(Contains(ChildTexts(box), L"すでに起動しています"));
  EXPECT_EQ(FindProcessWindowNow(second.dwProcessId, L"SOPORASCHEDULER"), nullptr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(WaitForExit(second), 0u);

  EXPECT_EQ(WaitForSingleObject(first.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the first instance ended";
  EXPECT_TRUE(IsWindow(frame));
  PostMessageW(frame, WM_COMMAND, 105, 0);
  EXPECT_EQ(WaitForExit(first), 0u);
}

TEST_F(SchedulerProcessTest, OverLongStartNameIsRefusedAndTheProgramStarts) {
  const PROCESS_INFORMATION process = Start(L"start:" + std::wstring(32, L'n'));
  ASSERT_NE(process.hProcess, nullptr);
  HWND box = WaitForProcessWindow(process.dwProcessId, L"#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(Contains(ChildTexts(box),
                       L"起動時に指定されたプロファイル名が長すぎます。\nプロファイル名は31文字以内で指定して下さい。"));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  AnswerModeDialog(process.dwProcessId);
  HWND frame = WaitForProcessWindow(process.dwProcessId, L"SOPORASCHEDULER");
  ASSERT_NE(frame, nullptr);
  PostMessageW(frame, WM_COMMAND, 105, 0);
  EXPECT_EQ(WaitForExit(process), 0u);
}

}  // namespace
