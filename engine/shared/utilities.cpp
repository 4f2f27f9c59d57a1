#include "utilities.h"

#include <shlwapi.h>

#include <cstdarg>
#include <cstdlib>
#include <cwchar>

int GetEditInt(int* value, HWND edit) {
  const int length = GetWindowTextLengthW(edit);
  std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  GetWindowTextW(edit, text.data(), length + 1);
  const int result = static_cast<int>(_wtol(text.c_str()));
  if (value) *value = result;
  return result;
}

int FillIntArray(int* out, int count, ...) {
  if (count < 1) return 0;
  va_list args;
  va_start(args, count);
  for (int i = 0; i < count; ++i) out[i] = va_arg(args, int);
  va_end(args);
  return count;
}

void CreateDirectoryIfMissing(const wchar_t* path) {
  wchar_t prefix[MAX_PATH];
  const size_t length = wcslen(path);
  if (length >= MAX_PATH) return;
  const wchar_t* first = wcschr(path, L'\\');
  if (!first) return;
  for (const wchar_t* p = wcschr(first + 1, L'\\'); p; p = wcschr(p + 1, L'\\')) {
    const size_t n = static_cast<size_t>(p - path);
    wmemcpy(prefix, path, n);
    prefix[n] = L'\0';
    if (!PathFileExistsW(prefix)) CreateDirectoryW(prefix, nullptr);
  }
}

bool ListSubfolders(std::vector<std::wstring>* folders, const wchar_t* pattern) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0) continue;
    folders->push_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

bool CopyText(wchar_t* dest, size_t destCount, const wchar_t* source) {
  if (destCount == 0) return false;
  const size_t length = wcslen(source);
  const size_t n = length < destCount ? length : destCount - 1;
  wmemcpy(dest, source, n);
  dest[n] = L'\0';
  return n == length;
}

bool CopyText(wchar_t* dest, size_t destCount, const wchar_t* source, size_t sourceLimit) {
  if (destCount == 0) return false;
  const size_t length = wcsnlen(source, sourceLimit);
  const size_t n = length < destCount ? length : destCount - 1;
  wmemset(dest, L'\0', destCount);
  wmemcpy(dest, source, n);
  return n == length;
}
