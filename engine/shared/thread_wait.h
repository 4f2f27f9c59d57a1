#pragma once
#include <windows.h>

// Waits for a thread while still delivering the messages other threads send
// to this one: a worker that reports with SendMessageW to the waiting window
// can then always finish. True once the thread has ended (or the handle is
// unusable), false when limitMs passed first.
bool WaitForThreadPumping(HANDLE thread, DWORD limitMs = INFINITE);
