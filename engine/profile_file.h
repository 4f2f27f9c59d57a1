#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "schedule_model.h"
#include "shared/profile_names.h"  // IsValidProfileName, shared with the countdown program

// The binary profile file: mode, version text, order table, the item records of
// 1 or 7 rows and the settings block, little-endian with no padding.
inline constexpr size_t kVersionOffset = 4;
inline constexpr size_t kVersionWidth = 5;
inline constexpr size_t kOrderTableOffset = 9;
inline constexpr size_t kItemsOffset = 569;
inline constexpr size_t kItemRecordSize = 10509;
inline constexpr size_t kSettingsBlockSize = 11909;

// 222,658 bytes in DateMode and DailyMode, 1,483,738 in WeeklyMode.
size_t ProfileFileSize(int32_t mode);

enum class ProfileDecodeResult { Ok, WrongSize, BadMode, BadValues };

// Serialises the live model field by field into ProfileFileSize(scheduleMode) bytes.
void EncodeProfile(uint8_t* out);
// Checks a whole file image: its size for the mode it names and every value
// that later code uses as an index or a count.
ProfileDecodeResult CheckProfileImage(const uint8_t* bytes, size_t size);
// Replaces the live model by a checked image: rows not in the file are left
// free and every text array ends with a NUL.
void DecodeProfileImage(const uint8_t* bytes);


// Writes the live model to schedulerProfileFolder\<name>.dat. The old file is
// replaced only when the new one was written whole; on failure an error box
// ("ファイル書き込みエラー") and false.
bool SaveProfileFile(HWND owner, const wchar_t* name);
// Replaces the live model by the file's contents, or leaves it untouched with
// an error box ("プロファイル読み込みエラー") and false.
bool LoadProfileFile(HWND owner, const wchar_t* name);
