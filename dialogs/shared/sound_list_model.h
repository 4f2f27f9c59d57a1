#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "schedule_model.h"  // kSoundCount, kPathChars

// Both programs' sound lists as their sound pages edit them: ten entries (an
// empty path is free unless a row lists it), their volumes, and the entry
// shown at each row.
struct SoundListModel {
  wchar_t paths[kSoundCount][kPathChars];
  int32_t volumes[kSoundCount];
  int32_t order[kSoundCount];  // -1 after the last row
};

// The first `count` stored sounds (clamped to 0-10), row i in entry i; the
// entries past them start free whatever a file left there.
void LoadSoundListModel(const wchar_t (*paths)[kPathChars], const int32_t* volumes, int32_t count,
                        SoundListModel* model);
// Writes the rows in order and their count; the entries past the count are
// zeroed, so no stale path is kept.
void StoreSoundListModel(const SoundListModel& model, wchar_t (*paths)[kPathChars], int32_t* volumes,
                         int32_t* count);
int SoundListRows(const SoundListModel& model);
// The name a row shows: the file name without folder and extension.
std::wstring ListedSoundName(const wchar_t* path);

// What "追加/変更" does with a file whose name a row already shows.
enum class SameSoundName {
  ChangePathAndVolume,  // the last row of that name takes the file and the volume
  ChangeVolumeOnly,     // the first row of that name takes the volume, keeps its path
};
enum class SoundListChange { None, Changed, Added, Full };
struct SoundListResult {
  SoundListChange change;
  int position;  // the row added or changed, -1 for Full
};
// A file whose name is listed changes that row by the rule; otherwise it goes
// into an entry no row lists, appended at the end, while there is room.
SoundListResult AddOrChangeSound(SoundListModel& model, const std::wstring& path, int32_t volume,
                                 SameSoundName rule);
// Frees the row's entry and closes the gap; nothing for no such row.
bool RemoveSoundAt(SoundListModel& model, int position);
