#include "wait.h"

namespace testing_support {

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD deadlineMs) {
  const ULONGLONG deadline = GetTickCount64() + deadlineMs;
  while (!done()) {
    if (GetTickCount64() >= deadline) return done();
    PumpPendingMessages();
    // Wakes at once for new input; the time-out only bounds how long a
    // condition that no message announces (a file, another process) waits.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

void PumpPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace testing_support
