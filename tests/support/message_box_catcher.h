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

std::vector<CaughtMessageBox> CaughtMessageBoxes();
void ClearCaughtMessageBoxes();
// The button pressed on the boxes that follow (IDOK, IDYES, IDNO, ...). A box
// without that button gets OK, else Cancel, else No.
void SetMessageBoxAnswer(int buttonId);

}  // namespace testing_support
