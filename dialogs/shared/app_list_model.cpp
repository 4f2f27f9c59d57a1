#include "app_list_model.h"

#include <cwchar>

#include "shared/utilities.h"

int AppListLength(const int32_t* order) {
  int count = 0;
  while (count < kAppCount && order[count] >= 0 && order[count] < kAppCount) ++count;
  return count;
}

int PlaceApplication(AppListView apps, const AppEntry& entry, int changePosition) {
  int count = AppListLength(apps.order);
  int e = -1;
  if (changePosition >= 0 && changePosition < count) {
    e = apps.order[changePosition];
    if (apps.delays[e] == entry.delay) {
      CopyText(apps.paths[e], kPathChars, entry.path.c_str(), kPathChars - 1);
      CopyText(apps.arguments[e], kPathChars, entry.arguments.c_str(), kAppArgumentChars);
      apps.minimized[e] = entry.minimized;
      return changePosition;
    }
    for (int k = changePosition; k + 1 < count; ++k) apps.order[k] = apps.order[k + 1];
    apps.order[--count] = -1;
  } else {
    if (count >= kAppCount) return -1;
    for (int j = 0; j < kAppCount && e < 0; ++j) {
      if (apps.delays[j] != -1) continue;
      bool listed = false;
      for (int k = 0; k < count; ++k) listed |= apps.order[k] == j;
      if (!listed) e = j;
    }
    if (e < 0) return -1;
  }
  CopyText(apps.paths[e], kPathChars, entry.path.c_str(), kPathChars - 1);
  CopyText(apps.arguments[e], kPathChars, entry.arguments.c_str(), kAppArgumentChars);
  apps.delays[e] = entry.delay;
  apps.minimized[e] = entry.minimized;
  int at = count;
  for (int k = 0; k < count; ++k) {
    if (apps.delays[apps.order[k]] > entry.delay) {
      at = k;
      break;
    }
  }
  for (int k = count; k > at; --k) apps.order[k] = apps.order[k - 1];
  apps.order[at] = e;
  return at;
}

bool RemoveApplication(AppListView apps, int position) {
  const int count = AppListLength(apps.order);
  if (position < 0 || position >= count) return false;
  const int e = apps.order[position];
  apps.delays[e] = -1;
  apps.paths[e][0] = L'\0';
  apps.arguments[e][0] = L'\0';
  apps.minimized[e] = 0;
  for (int k = position; k + 1 < count; ++k) apps.order[k] = apps.order[k + 1];
  apps.order[count - 1] = -1;
  return true;
}

int FindApplicationPath(AppListView apps, const std::wstring& path) {
  const int count = AppListLength(apps.order);
  for (int k = 0; k < count; ++k) {
    if (path == std::wstring(apps.paths[apps.order[k]], wcsnlen(apps.paths[apps.order[k]], kPathChars))) return k;
  }
  return -1;
}

