#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "profile_list.h"

// Dialog 132 "プロファイル": save, list, load and delete the scheduler's
// profiles, the default profile and the Startup shortcut.
inline constexpr int kProfileListLabelId = 1603;
inline constexpr int kProfileListId = 3020;
inline constexpr int kProfileLoadedLabelId = 1602;
inline constexpr int kProfileLoadButtonId = 1691;
inline constexpr int kProfileDeleteButtonId = 1692;
inline constexpr int kProfileNameLabelId = 1600;
inline constexpr int kProfileNameEditId = 1680;
inline constexpr int kProfileSaveButtonId = 1690;
inline constexpr int kDefaultProfileLabelId = 1601;
inline constexpr int kDefaultProfileComboId = 1685;
inline constexpr int kStartWithWindowsBoxId = 1150;
inline constexpr UINT_PTR kLoadLabelTimerId = 1;

// 28 characters and ".dat" fill the 32 characters a listed file name may
// have, and every name then fits "DefProfile" and "start:".
inline constexpr size_t kProfileNameMaxLength = 28;
// A listed file's name, extension included, has at most this many characters.
inline constexpr size_t kListedFileNameMaxChars = 32;

inline constexpr const wchar_t* kUnknownModeText = L"不明";
inline constexpr const wchar_t* kNoDefaultProfileText = L"なし";
inline constexpr const wchar_t* kEmptyNameText = L"プロファイル名を入力して下さい。";
inline constexpr const wchar_t* kNameTooLongText = L"プロファイル名は28文字以内で入力して下さい。";
inline constexpr const wchar_t* kNameRefusedText =
    L"このプロファイル名は使えません。\n"
    L"\\ / : * ? \" < > | と制御文字、先頭と末尾の空白とピリオド、"
    L"CON、PRN、AUX、NUL、COM1～COM9、LPT1～LPT9 は使えません。";
inline constexpr const wchar_t* kOverwriteQuestionText = L"同じ名前のプロファイルがあります。上書きしますか？";
inline constexpr const wchar_t* kDeleteFailedText = L"プロファイルを削除できませんでした。";
inline constexpr const wchar_t* kShortcutFailedText =
    L"スタートアップのショートカットを作成できませんでした。\n"
    L"Windowsログオン時の自動開始はオフになります。";

// The mode column's text for a file that begins with these bytes: the mode's
// display name, or "不明" for a short file or a value that is no mode.
const wchar_t* ProfileModeText(const uint8_t* bytes, size_t size);

// One profile file of the folder as the list shows it.
struct ProfileListEntry {
  std::wstring name;  // the file name without ".dat"
  std::wstring modeText;
};
// Every "*.dat" of the folder (which ends with a backslash), in the order the
// search returns them; a file that cannot be opened, or whose name is longer
// than kListedFileNameMaxChars, is left out.
std::vector<ProfileListEntry> ListProfileFiles(const wchar_t* folder);

// The shared name check with the scheduler's limit.
ProfileNameCheck CheckProfileNameForSave(const wchar_t* text);

// Modal over the owner; 1 when a profile was loaded while it was open.
INT_PTR RunProfileDialog(HWND owner);
INT_PTR CALLBACK ProfileDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
