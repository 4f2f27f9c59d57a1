#pragma once
#include <windows.h>

#include <functional>

namespace testing_support {

// Long enough that only a broken run ever reaches it; a passing run waits for
// its condition, never for the deadline.
inline constexpr DWORD kWaitDeadlineMs = 30000;

// Dispatches this thread's messages until `done` is true or `deadlineMs`
// passes; returns `done()`.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD deadlineMs = kWaitDeadlineMs);
void PumpPendingMessages();

}  // namespace testing_support
