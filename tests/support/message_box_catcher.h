#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// What one message box showed.
struct CaughtMessageBox {
  HWND owner;
  std::wstring caption;
  std::wstring text;
  UINT icon;  // MB_ICONERROR, MB_ICONWARNING, MB_ICONINFORMATION, MB_ICONQUESTION or 0
  DWORD threadId;
};

// Records and closes every message box of the thread that creates it, so that
// code which reports with MessageBoxW runs unchanged under test. A hook sees
// only its own thread: create one on every thread that may report.
class MessageBoxCatcher {
 public:
  MessageBoxCatcher();
  ~MessageBoxCatcher();
  MessageBoxCatcher(const MessageBoxCatcher&) = delete;
  MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

 private:
  HHOOK hook_;
};

// The boxes caught since the last clear; reading them marks them as expected.
std::vector<CaughtMessageBox> CaughtMessageBoxes();
// Forgets the boxes caught so far (they count as expected) and the answer.
void ClearCaughtMessageBoxes();
// The boxes no test has read or cleared, forgetting them all: the test main
// fails a test that leaves any.
std::vector<CaughtMessageBox> TakeUnreadMessageBoxes();
// The button pressed on the boxes that follow (IDOK, IDYES, IDNO, ...). A box
// without that button gets OK, else Cancel, else No.
void SetMessageBoxAnswer(int buttonId);
// One answer for each of the next boxes, in order; the boxes after them get
// the answer of SetMessageBoxAnswer.
void SetMessageBoxAnswers(const std::vector<int>& buttonIds);

}  // namespace testing_support
