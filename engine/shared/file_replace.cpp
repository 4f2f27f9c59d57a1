#include "shared/file_replace.h"

#include "shared/error_log.h"

namespace {

bool WriteWholeFile(const wchar_t* path, const void* bytes, size_t size, DWORD* error) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return false;
  }
  DWORD written = 0;
  bool ok = WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr) && written == size;
  if (!ok) *error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
  if (!CloseHandle(file) && ok) {
    *error = GetLastError();
    ok = false;
  }
  return ok;
}

}  // namespace

bool ReplaceFileWithBytes(const wchar_t* path, const wchar_t* tempPath, const void* bytes, size_t size,
                          DWORD* error) {
  if (!WriteWholeFile(tempPath, bytes, size, error)) {
    DeleteFileW(tempPath);
    return false;
  }
  if (!MoveFileExW(tempPath, path, MOVEFILE_REPLACE_EXISTING)) {
    *error = GetLastError();
    DeleteFileW(tempPath);
    return false;
  }
  return true;
}

void ShowSystemErrorText(HWND owner, const wchar_t* caption, DWORD error) {
  wchar_t* text = FetchSystemErrorText(error);
  if (text)
    ShowSystemErrorMessage(caption, owner, &text);
  else
    MessageBoxW(owner, L"", caption, MB_ICONERROR);
}
