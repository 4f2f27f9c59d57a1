#include "thread_wait.h"

bool WaitForThreadPumping(HANDLE thread, DWORD limitMs) {
  if (!thread) return true;
  const ULONGLONG deadline = limitMs == INFINITE ? 0 : GetTickCount64() + limitMs;
  for (;;) {
    DWORD wait = INFINITE;
    if (limitMs != INFINITE) {
      const ULONGLONG now = GetTickCount64();
      if (now >= deadline) return WaitForSingleObject(thread, 0) != WAIT_TIMEOUT;
      wait = static_cast<DWORD>(deadline - now);
    }
    const DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, wait, QS_SENDMESSAGE);
    if (result == WAIT_TIMEOUT) return false;
    if (result != WAIT_OBJECT_0 + 1) return true;  // ended, or the handle is unusable
    // Only sent messages are delivered; posted ones stay queued for later.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}
