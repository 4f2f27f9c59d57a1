#include "start_checks.h"

#include <shlwapi.h>

#include <algorithm>
#include <cwchar>

namespace {

std::wstring BoundedText(const wchar_t* text, size_t count) {
  return std::wstring(text, wcsnlen(text, count));
}

void AddOnce(std::vector<std::wstring>* list, const std::wstring& path) {
  if (std::find(list->begin(), list->end(), path) == list->end()) list->push_back(path);
}

bool IsSleepAction(int32_t action) { return action == Hibernate || action == Standby; }

}  // namespace

int RowLength(const OrderTable& order, int row) {
  int n = 0;
  while (n < kSlotCount && order[row][n] >= 0 && order[row][n] < kSlotCount) ++n;
  return n;
}

std::vector<ItemRef> ScheduleWalk(int32_t mode, const OrderTable& order) {
  std::vector<ItemRef> walk;
  const int rows = RowsForMode(mode);
  for (int r = 0; r < rows; ++r) {
    const int n = RowLength(order, r);
    for (int p = 0; p < n; ++p) walk.push_back(ItemRef{r, order[r][p]});
  }
  return walk;
}

bool FileExistsOnDisk(const wchar_t* path) { return PathFileExistsW(path) != FALSE; }

StartCheckResult CheckScheduleStart(int32_t mode, const ScheduleTable& table,
                                    const OrderTable& order, const ProfileSettings& settings,
                                    double nowOle, FileExistsCall exists,
                                    const wchar_t* standbyName) {
  StartCheckResult result;
  const std::vector<ItemRef> walk = ScheduleWalk(mode, order);
  auto itemOf = [&table](const ItemRef& ref) -> const ScheduleItem& {
    return table[ref.row][ref.slot];
  };

  if (walk.empty()) {
    result.refusal = L"アイテムが1つもセットされていません。";
    return result;
  }

  for (size_t i = 0; i < walk.size(); ++i) {
    const ScheduleItem& item = itemOf(walk[i]);
    if (item.action != WakeOnly) continue;
    bool valid;
    if (i > 0) {
      valid = IsSleepAction(itemOf(walk[i - 1]).action);
    } else if (mode == DateMode || walk.size() == 1) {
      valid = false;
    } else {
      // A repeating schedule wraps: the last item of the last row with items.
      valid = IsSleepAction(itemOf(walk.back()).action);
    }
    if (!valid) {
      wchar_t text[256];
      swprintf(text, 256, L"%ls%lsの復帰は無効です。\n%ls%ls%ls",
               BoundedText(item.weekdayText, 4).c_str(), BoundedText(item.timeText, 20).c_str(),
               L"(復帰前に休止状態か", standbyName, L"を入れる必要があります。)");
      result.refusal = text;
      return result;
    }
  }

  if (mode == DateMode) {
    const ScheduleItem* last = nullptr;
    const int n = RowLength(order, 0);
    for (int p = 0; p < n; ++p) {
      const ScheduleItem& item = table[0][order[0][p]];
      if (item.action != WakeOnly) last = &item;
    }
    if (last && nowOle + 0.0001 > last->oleTime) {
      result.refusal = L"終了日時が全て過ぎています。";
      return result;
    }
  }

  std::vector<int> soundIndexes;
  for (const ItemRef& ref : walk) {
    const ScheduleItem& item = itemOf(ref);
    for (int k = 0; k < kAppCount && item.appDelays[k] != -1; ++k) {
      const std::wstring path = BoundedText(item.appPaths[k], kPathChars);
      if (!exists(path.c_str())) AddOnce(&result.missingApps, path);
    }
    // Indexes outside the sound list name no file and are not followed.
    if (item.soundIndex >= 1 && item.soundIndex <= kSoundCount &&
        std::find(soundIndexes.begin(), soundIndexes.end(), item.soundIndex) ==
            soundIndexes.end()) {
      soundIndexes.push_back(item.soundIndex);
    }
  }
  for (int index : soundIndexes) {
    const std::wstring path = BoundedText(settings.sounds.paths[index - 1], kPathChars);
    if (!exists(path.c_str())) AddOnce(&result.missingSounds, path);
  }
  return result;
}

std::wstring MissingFilesQuestion(const wchar_t* firstLine, const std::vector<std::wstring>& paths) {
  std::wstring text = firstLine;
  const size_t shown = std::min(paths.size(), kMissingPathsShown);
  for (size_t i = 0; i < shown; ++i) text += L"\n" + paths[i];
  if (paths.size() > shown) {
    wchar_t more[64];
    swprintf(more, 64, L"\n(ほか%u件)", static_cast<unsigned>(paths.size() - shown));
    text += more;
  }
  text += L"\n\n続行しますか？";
  return text;
}
