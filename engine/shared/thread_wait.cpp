#include "thread_wait.h"

void WaitForThreadPumping(HANDLE thread) {
  if (!thread) return;
  for (;;) {
    const DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
    if (result != WAIT_OBJECT_0 + 1) return;  // ended, or the handle is unusable
    // Only sent messages are delivered; posted ones stay queued for later.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}
