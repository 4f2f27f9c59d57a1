#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "message_box_catcher.h"

namespace {

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr,
                      nullptr);
  return out;
}

// A message box that a test did not read (CaughtMessageBoxes) or clear is a
// report nobody expected: it fails that test, named by caption and text.
class UnexpectedMessageBoxes : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { testing_support::TakeUnreadMessageBoxes(); }
  void OnTestEnd(const ::testing::TestInfo&) override {
    for (const auto& box : testing_support::TakeUnreadMessageBoxes())
      ADD_FAILURE() << "unexpected message box \"" << Utf8(box.caption) << "\": " << Utf8(box.text);
  }
};

}  // namespace

// Every test executable closes its main thread's message boxes, so that a
// report nobody expected can never leave a test waiting for a click. A run
// whose filter selects no test fails: a renamed test must not vanish.
int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Appended last, so its failures come before the printer's verdict.
  ::testing::UnitTest::GetInstance()->listeners().Append(new UnexpectedMessageBoxes);
  testing_support::MessageBoxCatcher catcher;
  const int result = RUN_ALL_TESTS();
  if (::testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
    fprintf(stderr, "no test matched the filter: nothing was tested\n");
    return 1;
  }
  return result;
}
