#pragma once
#include <windows.h>

#include <cstddef>

// Writes `bytes` to `tempPath` and puts that file in place of `path` only when
// every write and the close succeeded, so a failed save never leaves a cut
// file behind. On failure the temporary file is removed, the old file is as it
// was, and `*error` holds the system's reason.
bool ReplaceFileWithBytes(const wchar_t* path, const wchar_t* tempPath, const void* bytes, size_t size,
                          DWORD* error);

// An error box over `owner` with the system's text for `error`.
void ShowSystemErrorText(HWND owner, const wchar_t* caption, DWORD error);
