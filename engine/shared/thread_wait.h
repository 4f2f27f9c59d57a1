#pragma once
#include <windows.h>

// Waits for a thread without limit while still delivering the messages other
// threads send to this one: a worker that reports with SendMessageW to the
// waiting window can then always finish.
void WaitForThreadPumping(HANDLE thread);
