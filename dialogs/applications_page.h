#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "app_list_model.h"
#include "edit_number.h"
#include "schedule_model.h"

// Page "アプリ" of the settings sheet: the applications a WakeOnly item starts
// after the resume, edited in the sheet's working copies and stored on OK.
INT_PTR CALLBACK AppsPageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
const DLGTEMPLATE* ApplicationsPageTemplate();

inline constexpr int kAppListViewId = 3011;
inline constexpr int kAppPathEdit = 1019;
inline constexpr int kAppDelayEdit = 1020;
inline constexpr int kAppArgumentsEdit = 1021;
inline constexpr int kAppMinimizedBox = 1147;
inline constexpr int kAppCopyButton = 1307;
inline constexpr int kAppPasteButton = 1308;
inline constexpr int kAppBrowseButton = 1309;
inline constexpr int kAppSetButton = 1310;
inline constexpr int kAppRemoveButton = 1311;
inline constexpr int kAppTitleLabel = 1025;

inline constexpr wchar_t kBadAppFileName[] = L"ファイル名が不正です";
inline constexpr wchar_t kAppListFull[] = L"これ以上追加できません。";
inline constexpr wchar_t kSameAppQuestion[] = L"アプリ名が同じものがあります。上書きしますか？";

// One item's applications in the sheet's working copies.
using ItemApps = AppListView;
ItemApps WorkingItemApps(int row, int slot);

// The copied list of "リストをコピー", kept between sheets.
struct AppClipboard {
  wchar_t paths[kAppCount][kPathChars];
  wchar_t arguments[kAppCount][kPathChars];
  int32_t delays[kAppCount];  // -1 ends the copied list
  uint8_t minimized[kAppCount];
};
void CopyApplications(ItemApps apps, AppClipboard& clipboard);
// The item then holds exactly the copied applications; returns their count.
int PasteApplications(ItemApps apps, const AppClipboard& clipboard);

// Writes the working copies of rows 0 to rowCount - 1 into the items.
void StoreApplications(int rowCount);

// The action list's applications cell for a list of that length.
std::wstring AppsCellText(int count);
