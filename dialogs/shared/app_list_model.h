#pragma once
#include <cstdint>
#include <string>

#include "schedule_model.h"  // kAppCount, kPathChars

// The applications started after a resume as both programs' applications
// pages edit them: ten entries and the entry shown at each row, kept in
// ascending order of delay.
struct AppListView {
  wchar_t (*paths)[kPathChars];
  wchar_t (*arguments)[kPathChars];
  int32_t* delays;  // -1: free entry
  int32_t* order;   // entry at each row; -1 ends the list
  uint8_t* minimized;
};

// The characters the arguments edit takes and an entry keeps.
inline constexpr int kAppArgumentChars = 255;

// The rows listed: the order up to its first entry outside 0-9.
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
// keeps the delay keeps its position. A new application takes an entry no row
// lists. Returns the entry's new position, or -1 when a new one does not fit.
int PlaceApplication(AppListView apps, const AppEntry& entry, int changePosition);

// Frees the entry at the position and closes the gap; false for no such row.
bool RemoveApplication(AppListView apps, int position);

// The list position whose entry has exactly this path (letter case counts), or -1.
int FindApplicationPath(AppListView apps, const std::wstring& path);
