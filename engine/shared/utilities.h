#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// Ends a fixed text buffer read from a file (or each of an array of them) at
// its last character, whatever the file held.
template <typename T, size_t N>
void Terminate(T (&text)[N]) {
  text[N - 1] = 0;
}
template <typename T, size_t M, size_t N>
void Terminate(T (&texts)[M][N]) {
  for (auto& text : texts) text[N - 1] = 0;
}

// Reads an edit control's whole text as a number (_wtol rules: blanks, a sign,
// digits up to the first other character; 0 when there are none). Stores it
// through `value` when given and returns it.
int GetEditInt(int* value, HWND edit);

// Copies `count` further int arguments into `out`; returns the count, or 0 when
// it is below 1.
int FillIntArray(int* out, int count, ...);

// Makes every missing folder along a file path; the drive and the last
// component are left alone. Paths of at most 259 characters.
void CreateDirectoryIfMissing(const wchar_t* path);

// Appends the names of the folders that match the pattern, in the order found,
// without "." and "..". False when the pattern matches nothing.
bool ListSubfolders(std::vector<std::wstring>* folders, const wchar_t* pattern);

// Bounded copy that always ends the destination with a NUL; false when the
// source did not fit (the destination then holds as much as fits).
bool CopyText(wchar_t* dest, size_t destCount, const wchar_t* source);
// The same for a fixed field that may lack its NUL: reads at most sourceLimit
// characters and zeroes the rest of the destination, so a record written
// whole carries no stale characters.
bool CopyText(wchar_t* dest, size_t destCount, const wchar_t* source, size_t sourceLimit);
