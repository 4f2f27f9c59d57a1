#include "temp_folder.h"

#include <cstring>

#include "message_box_catcher.h"

namespace testing_support {

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  static LONG counter = 0;
  for (;;) {
    wchar_t name[MAX_PATH];
    swprintf(name, MAX_PATH, L"%lssopora-test-%lu-%ld\\", base, GetCurrentProcessId(),
             InterlockedIncrement(&counter));
    if (CreateDirectoryW(name, nullptr)) {
      path_ = name;
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      ADD_FAILURE() << "cannot create a temporary folder";
      path_ = base;
      return;
    }
  }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void RemoveTree(const std::wstring& folder) {
  std::wstring base = folder;
  if (!base.empty() && base.back() != L'\\') base += L'\\';
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((base + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = base + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(base.c_str());
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

std::string ReadBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

std::wstring ReadUtf16Text(const std::wstring& path) {
  const std::string bytes = ReadBytes(path);
  std::wstring text(bytes.size() / 2, L'\0');
  if (!text.empty()) memcpy(&text[0], bytes.data(), text.size() * 2);
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  return text;
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TempFolderTest::SetUp() {
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  previousFolder_ = current;
  ASSERT_TRUE(SetCurrentDirectoryW(temp_.path().c_str()));
  ClearCaughtMessageBoxes();
}

void TempFolderTest::TearDown() { SetCurrentDirectoryW(previousFolder_.c_str()); }

}  // namespace testing_support
