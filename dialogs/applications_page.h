#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

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

// One item's applications in the sheet's working copies: entries, and the
// entry shown at each list position (-1 ends the list).
struct ItemApps {
  wchar_t (*paths)[kPathChars];
  wchar_t (*arguments)[kPathChars];
  int32_t* delays;     // -1: free entry
  int32_t* order;
  uint8_t* minimized;
};
ItemApps WorkingItemApps(int row, int slot);

int AppListLength(const int32_t* order);

struct AppEntry {
  std::wstring path;
  std::wstring arguments;
  int32_t delay;
  uint8_t minimized;
};

// Adds the application, or changes the one listed at `changePosition`, so
// that the list stays in ascending order of delay: a new or moved entry
// follows every other entry with an equal or smaller delay; a change that
// keeps the delay keeps its position. Returns the entry's new position, or -1
// when a new application does not fit.
int PlaceApplication(ItemApps apps, const AppEntry& entry, int changePosition);

// Frees the entry at the position and closes the gap.
void RemoveApplication(ItemApps apps, int position);

// The list position whose entry has exactly this path, or -1.
int FindApplicationPath(ItemApps apps, const std::wstring& path);

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
