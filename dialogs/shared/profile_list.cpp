#include "profile_list.h"

#include <commctrl.h>

#include <cwchar>

#include "list_view_helpers.h"
#include "shared/error_log.h"
#include "shared/profile_names.h"

ProfileNameCheck CheckProfileNameForSave(const wchar_t* text, size_t maxLength) {
  if (!text || !*text) return ProfileNameCheck::Empty;
  if (wcslen(text) > maxLength) return ProfileNameCheck::TooLong;
  return IsValidProfileName(text, maxLength) ? ProfileNameCheck::Ok : ProfileNameCheck::Refused;
}

std::vector<ListedProfile> ListProfileFolder(const wchar_t* folder, const ProfileListRules& rules) {
  std::vector<ListedProfile> entries;
  wchar_t pattern[MAX_PATH];
  _snwprintf(pattern, MAX_PATH, L"%ls*.dat", folder);
  pattern[MAX_PATH - 1] = L'\0';
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  std::vector<uint8_t> head(rules.headBytes > 0 ? rules.headBytes : 1);
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const size_t length = wcslen(found.cFileName);
    // The pattern also matches short-name aliases such as "x.data".
    if (length < 5 || _wcsicmp(found.cFileName + length - 4, L".dat") != 0) continue;
    if (length - 4 > rules.maxNameChars) continue;
    ListedProfile entry{std::wstring(found.cFileName, length - 4), false, {}};
    wchar_t path[MAX_PATH];
    _snwprintf(path, MAX_PATH, L"%ls%ls", folder, found.cFileName);
    path[MAX_PATH - 1] = L'\0';
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD got = 0;
      if (!ReadFile(file, head.data(), static_cast<DWORD>(rules.headBytes), &got, nullptr)) got = 0;
      CloseHandle(file);
      if (got >= rules.minHeadBytes) {
        entry.hasRow = true;
        entry.texts = rules.rowTexts(head.data(), got);
      }
    }
    entries.push_back(std::move(entry));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return entries;
}

int FindSameProfileName(const std::vector<std::wstring>& names, const wchar_t* name) {
  for (size_t i = 0; i < names.size(); ++i)
    if (SameProfileName(names[i].c_str(), name)) return static_cast<int>(i);
  return -1;
}

std::vector<std::wstring> ListViewRowNames(HWND listView) {
  std::vector<std::wstring> names;
  const int count = ListView_GetItemCount(listView);
  for (int i = 0; i < count; ++i) {
    wchar_t text[64] = {};
    ListView_GetItemText(listView, i, 0, text, 64);
    names.push_back(text);
  }
  return names;
}

int FindProfileComboEntry(HWND combo, const wchar_t* name, int first) {
  const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = first; i < count; ++i) {
    wchar_t text[64] = {};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) >= 64) continue;
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    if (SameProfileName(text, name)) return i;
  }
  return CB_ERR;
}

namespace {

void SetRowButtons(HWND dialog, const ProfileListControls& controls, BOOL enabled) {
  EnableWindow(GetDlgItem(dialog, controls.loadButtonId), enabled);
  EnableWindow(GetDlgItem(dialog, controls.deleteButtonId), enabled);
}

}  // namespace

INT_PTR OnProfileListNotify(HWND dialog, HWND listView, const ProfileListControls& controls, const NMHDR* header) {
  int row = -1;
  switch (ReadListChoice(listView, header, &row)) {
    case ListChoice::RowChosen: {
      wchar_t text[64] = {};
      ListView_GetItemText(listView, row, 0, text, 64);
      SetDlgItemTextW(dialog, controls.nameEditId, text);
      SetRowButtons(dialog, controls, TRUE);
      return FALSE;
    }
    case ListChoice::ClickOnNoRow:
      SetRowButtons(dialog, controls, FALSE);
      return FALSE;
    case ListChoice::Other:
      break;
  }
  switch (header->code) {
    case NM_CUSTOMDRAW: {
      NMLVCUSTOMDRAW* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header));
      LRESULT result = CDRF_DODEFAULT;
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        result = CDRF_NOTIFYITEMDRAW;
      } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        const int item = static_cast<int>(draw->nmcd.dwItemSpec);
        // Keeps the chosen profile highlighted while a button or the edit has the focus.
        if ((ListView_GetItemState(listView, item, LVIS_SELECTED) & LVIS_SELECTED) &&
            !(draw->nmcd.uItemState & CDIS_FOCUS)) {
          draw->clrText = RGB(255, 255, 255);
          draw->clrTextBk = RGB(51, 153, 255);
          draw->nmcd.uItemState &= ~CDIS_SELECTED;
          result = CDRF_NEWFONT;
        }
      }
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

bool DeleteProfileFileReported(HWND owner, const wchar_t* path, const wchar_t* failedText) {
  if (DeleteFileW(path)) return true;
  const DWORD error = GetLastError();
  // A file that is already gone is what the user asked for.
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
  std::wstring text = failedText;
  if (wchar_t* system = FetchSystemErrorText(error)) {
    text += L"\n";
    text += system;
    LocalFree(system);
  }
  MessageBoxW(owner, text.c_str(), L"エラー", MB_ICONERROR);
  return false;
}
