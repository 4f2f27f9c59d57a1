#pragma once
#include <windows.h>

// The program's log of what failed while nobody watched. The scheduler writes
// "Scheduler_error.txt", the countdown program "sopora_error.txt", both in the
// current folder.
inline constexpr const wchar_t* kSchedulerErrorLogName = L"Scheduler_error.txt";
inline constexpr const wchar_t* kCountdownErrorLogName = L"sopora_error.txt";

// Chooses the log's file name; called once at start-up, before any thread runs.
void SetErrorLogFileName(const wchar_t* fileName);
const wchar_t* GetErrorLogFileName();

// Appends one time-stamped entry. With a null message the entry carries the
// system's text for the caller's GetLastError. Safe from any thread; a log that
// cannot be opened loses the entry silently.
void AppendErrorLog(const wchar_t* message, const wchar_t* title);

// The system's text for an error code, allocated with LocalAlloc (free it with
// LocalFree), or null when the system has none.
wchar_t* FetchSystemErrorText(DWORD code);

// Shows the system text in an error box over the owner, then frees it and sets
// it to null.
void ShowSystemErrorMessage(const wchar_t* caption, HWND owner, wchar_t** systemText);
