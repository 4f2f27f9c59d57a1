#include "sound_list_model.h"

#include <cstring>
#include <cwchar>

#include "file_pickers.h"
#include "shared/utilities.h"

void LoadSoundListModel(const wchar_t (*paths)[kPathChars], const int32_t* volumes, int32_t count,
                        SoundListModel* model) {
  std::memset(model, 0, sizeof *model);
  for (int32_t& entry : model->order) entry = -1;
  const int rows = count < 0 ? 0 : (count > kSoundCount ? kSoundCount : count);
  for (int i = 0; i < rows; ++i) {
    CopyText(model->paths[i], kPathChars, paths[i], kPathChars);
    model->volumes[i] = volumes[i];
    model->order[i] = i;
  }
}

void StoreSoundListModel(const SoundListModel& model, wchar_t (*paths)[kPathChars], int32_t* volumes,
                         int32_t* count) {
  std::memset(paths, 0, sizeof(wchar_t) * kPathChars * kSoundCount);
  std::memset(volumes, 0, sizeof(int32_t) * kSoundCount);
  const int rows = SoundListRows(model);
  for (int row = 0; row < rows; ++row) {
    CopyText(paths[row], kPathChars, model.paths[model.order[row]], kPathChars);
    volumes[row] = model.volumes[model.order[row]];
  }
  *count = rows;
}

int SoundListRows(const SoundListModel& model) {
  int rows = 0;
  while (rows < kSoundCount && model.order[rows] >= 0 && model.order[rows] < kSoundCount) ++rows;
  return rows;
}

std::wstring ListedSoundName(const wchar_t* path) {
  wchar_t name[MAX_PATH] = L"";
  GetFileTitleNoExtension(path, name);
  return name;
}

SoundListResult AddOrChangeSound(SoundListModel& model, const std::wstring& path, int32_t volume,
                                 SameSoundName rule) {
  const int rows = SoundListRows(model);
  const std::wstring name = ListedSoundName(path.c_str());
  int same = -1;
  for (int k = 0; k < rows && !(same >= 0 && rule == SameSoundName::ChangeVolumeOnly); ++k) {
    if (ListedSoundName(model.paths[model.order[k]]) == name) same = k;
  }
  if (same >= 0) {
    const int e = model.order[same];
    const bool samePath = rule == SameSoundName::ChangeVolumeOnly || path == model.paths[e];
    if (samePath && model.volumes[e] == volume) return {SoundListChange::None, same};
    if (rule == SameSoundName::ChangePathAndVolume) CopyText(model.paths[e], kPathChars, path.c_str(), kPathChars);
    model.volumes[e] = volume;
    return {SoundListChange::Changed, same};
  }
  if (rows >= kSoundCount) return {SoundListChange::Full, -1};
  // A listed entry is never free, even with an empty path (a damaged or
  // hand-made file): two rows on one entry would be deleted together.
  int e = -1;
  for (int j = 0; j < kSoundCount && e < 0; ++j) {
    bool listed = false;
    for (int k = 0; k < rows; ++k) listed |= model.order[k] == j;
    if (!listed && model.paths[j][0] == L'\0') e = j;
  }
  if (e < 0) return {SoundListChange::Full, -1};
  CopyText(model.paths[e], kPathChars, path.c_str(), kPathChars);
  model.volumes[e] = volume;
  model.order[rows] = e;
  return {SoundListChange::Added, rows};
}

bool RemoveSoundAt(SoundListModel& model, int position) {
  const int rows = SoundListRows(model);
  if (position < 0 || position >= rows) return false;
  const int e = model.order[position];
  std::memset(model.paths[e], 0, sizeof model.paths[e]);
  model.volumes[e] = 0;
  for (int k = position; k + 1 < rows; ++k) model.order[k] = model.order[k + 1];
  model.order[rows - 1] = -1;
  return true;
}
