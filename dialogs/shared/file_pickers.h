#pragma once
#include <windows.h>

// The shell's folder dialog; a chosen file-system folder becomes the edit's text.
void BrowseForFolder(HWND owner, HWND edit);
// The open-file dialog with the caller's filter (pairs of NUL-ended texts and
// a final NUL); false on cancel, else the path becomes the edit's text.
bool BrowseForFile(HWND owner, const wchar_t* filter, HWND edit);
// The file name part of a path without its extension (260 characters).
void GetFileTitleNoExtension(const wchar_t* path, wchar_t* title);
