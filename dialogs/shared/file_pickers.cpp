#include "file_pickers.h"

#include <commdlg.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>

void BrowseForFolder(HWND owner, HWND edit) {
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = L"フォルダを選択してください";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return;
  wchar_t path[MAX_PATH] = L"";
  if (SHGetPathFromIDListW(chosen, path)) SetWindowTextW(edit, path);
  CoTaskMemFree(chosen);
}

bool BrowseForFile(HWND owner, const wchar_t* filter, HWND edit) {
  wchar_t path[MAX_PATH] = L"";
  OPENFILENAMEW open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = owner;
  open.lpstrFilter = filter;
  open.nFilterIndex = 1;
  open.lpstrFile = path;
  open.nMaxFile = MAX_PATH;
  open.Flags = OFN_FILEMUSTEXIST;
  if (!GetOpenFileNameW(&open)) return false;
  SetWindowTextW(edit, path);
  return true;
}

void GetFileTitleNoExtension(const wchar_t* path, wchar_t* title) {
  lstrcpynW(title, PathFindFileNameW(path), MAX_PATH);
  PathRemoveExtensionW(title);
}
