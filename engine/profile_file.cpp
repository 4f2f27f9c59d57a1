#include "profile_file.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "shared/app_launcher.h"
#include "shared/error_log.h"
#include "shared/file_replace.h"
#include "shared/program_paths.h"
#include "shared/utilities.h"

namespace {

constexpr const wchar_t* kWriteErrorCaption = L"ファイル書き込みエラー";
constexpr const wchar_t* kReadErrorCaption = L"プロファイル読み込みエラー";

// One field of a record: where it lies in the file and in memory. Writer and
// reader both walk these tables.
struct Field {
  uint32_t fileOffset;
  uint32_t width;
  uint32_t memberOffset;
  uint32_t memberSize;
};

#define ITEM_FIELD(member, offset, width) \
  Field { offset, width, offsetof(ScheduleItem, member), sizeof(ScheduleItem::member) }
#define SETTINGS_FIELD(member, offset, width) \
  Field { offset, width, offsetof(ProfileSettings, member), sizeof(static_cast<ProfileSettings*>(nullptr)->member) }

constexpr Field kItemFields[] = {
    ITEM_FIELD(action, 0, 4),
    ITEM_FIELD(appArguments, 4, 5120),
    ITEM_FIELD(appMinimized, 5124, 10),
    ITEM_FIELD(appPaths, 5134, 5200),
    ITEM_FIELD(appDelays, 10334, 40),
    ITEM_FIELD(captureEnabled, 10374, 1),
    ITEM_FIELD(timeText, 10375, 40),
    ITEM_FIELD(oleTime, 10415, 8),
    ITEM_FIELD(oleTimeText, 10423, 40),
    ITEM_FIELD(slotText, 10463, 6),
    ITEM_FIELD(mailTo, 10469, 4),
    ITEM_FIELD(listIndex, 10473, 4),
    ITEM_FIELD(soundSeconds, 10477, 4),
    ITEM_FIELD(soundIndex, 10481, 4),
    ITEM_FIELD(time, 10485, 16),
    ITEM_FIELD(weekdayText, 10501, 8),
};

constexpr Field kSettingsFields[] = {
    SETTINGS_FIELD(general.forceAction, 0, 1),
    SETTINGS_FIELD(general.passwordLock, 1, 1),
    SETTINGS_FIELD(general.passwordHash, 2, 41),
    SETTINGS_FIELD(general.bringToFront, 43, 1),
    SETTINGS_FIELD(general.bringToFrontSeconds, 44, 4),
    SETTINGS_FIELD(general.endNowNoCapture, 48, 1),
    SETTINGS_FIELD(general.endNowNoMail, 49, 1),
    SETTINGS_FIELD(general.unexpectedResumeNoApps, 50, 1),
    SETTINGS_FIELD(general.unexpectedResumeNoSound, 51, 1),
    SETTINGS_FIELD(general.unexpectedResumeNoMail, 52, 1),
    SETTINGS_FIELD(general.monitorOnAfterResume, 53, 1),
    SETTINGS_FIELD(general.hideTimerAtStart, 54, 1),
    SETTINGS_FIELD(sounds.count, 55, 4),
    SETTINGS_FIELD(sounds.paths, 59, 5200),
    SETTINGS_FIELD(sounds.volumes, 5259, 40),
    SETTINGS_FIELD(capture.reserved2, 5299, 4),
    SETTINGS_FIELD(capture.reserved1, 5303, 1),
    SETTINGS_FIELD(capture.captureFormat, 5304, 4),
    SETTINGS_FIELD(capture.captureFolder, 5308, 440),
    SETTINGS_FIELD(mail.addressCount, 5748, 4),
    SETTINGS_FIELD(mail.addresses, 5752, 2560),
    SETTINGS_FIELD(mail.subjects, 8312, 1024),
    SETTINGS_FIELD(mail.bodies, 9336, 1024),
    SETTINGS_FIELD(mail.charset, 10360, 4),
    SETTINGS_FIELD(mail.smtpServer, 10364, 256),
    SETTINGS_FIELD(mail.port, 10620, 4),
    SETTINGS_FIELD(mail.useAuth, 10624, 1),
    SETTINGS_FIELD(mail.account, 10625, 256),
    SETTINGS_FIELD(mail.password, 10881, 256),
    SETTINGS_FIELD(mail.hostName, 11137, 256),
    SETTINGS_FIELD(mail.toText, 11393, 256),
    SETTINGS_FIELD(mail.from, 11649, 256),
    SETTINGS_FIELD(mail.security, 11905, 4),
};

// The tables must tile their record exactly, each field as wide as its member.
template <size_t N>
constexpr bool TilesRecord(const Field (&fields)[N], uint32_t recordSize) {
  uint32_t next = 0;
  for (const Field& f : fields) {
    if (f.fileOffset != next || f.width != f.memberSize) return false;
    next += f.width;
  }
  return next == recordSize;
}
static_assert(TilesRecord(kItemFields, kItemRecordSize), "item record layout");
static_assert(TilesRecord(kSettingsFields, kSettingsBlockSize), "settings block layout");
static_assert(sizeof(kSettingsFields) / sizeof(Field) == 33, "33 settings fields");

template <size_t N>
void WriteRecord(uint8_t* out, const void* record, const Field (&fields)[N]) {
  const auto* base = static_cast<const uint8_t*>(record);
  for (const Field& f : fields) std::memcpy(out + f.fileOffset, base + f.memberOffset, f.width);
}

template <size_t N>
void ReadRecord(const uint8_t* in, void* record, const Field (&fields)[N]) {
  auto* base = static_cast<uint8_t*>(record);
  for (const Field& f : fields) std::memcpy(base + f.memberOffset, in + f.fileOffset, f.width);
}


bool InRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

bool IsDigest(const char* text) {
  for (int i = 0; i < 40; ++i) {
    const char c = text[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;  // the 41st byte is forced to NUL on load
}

// Where a member lies in its record in the file, from the same tables.
template <size_t N>
constexpr uint32_t FileOffsetOf(const Field (&fields)[N], size_t memberOffset) {
  for (const Field& f : fields)
    if (f.memberOffset == memberOffset) return f.fileOffset;
  return UINT32_MAX;
}
#define ITEM_AT(member) FileOffsetOf(kItemFields, offsetof(ScheduleItem, member))
#define SETTINGS_AT(member) FileOffsetOf(kSettingsFields, offsetof(ProfileSettings, member))

int32_t IntAt(const uint8_t* p, uint32_t offset) {
  int32_t value;
  std::memcpy(&value, p + offset, 4);
  return value;
}

bool ItemInRange(const uint8_t* r) {
  if (!InRange(IntAt(r, ITEM_AT(listIndex)), -1, kSlotCount - 1)) return false;
  if (!InRange(IntAt(r, ITEM_AT(action)), Shutdown, WakeOnly)) return false;
  if (!InRange(IntAt(r, ITEM_AT(soundIndex)), 0, kSoundCount)) return false;
  if (!InRange(IntAt(r, ITEM_AT(mailTo)), 0, kAddressCount)) return false;
  if (IntAt(r, ITEM_AT(soundSeconds)) < 0) return false;
  const uint8_t* weekday = r + ITEM_AT(time) + offsetof(SYSTEMTIME, wDayOfWeek);
  if ((weekday[0] | (weekday[1] << 8)) > 6) return false;
  for (int i = 0; i < kAppCount; ++i)
    if (!IsStoredAppDelay(IntAt(r, ITEM_AT(appDelays) + 4 * i))) return false;
  return true;
}

bool SettingsInRange(const uint8_t* s) {
  if (!InRange(IntAt(s, SETTINGS_AT(sounds.count)), 0, kSoundCount)) return false;
  for (int i = 0; i < kSoundCount; ++i)
    if (!InRange(IntAt(s, SETTINGS_AT(sounds.volumes) + 4 * i), 0, 100)) return false;
  if (!InRange(IntAt(s, SETTINGS_AT(mail.addressCount)), 0, kAddressCount)) return false;
  if (!InRange(IntAt(s, SETTINGS_AT(mail.security)), 0, 2)) return false;
  if (!InRange(IntAt(s, SETTINGS_AT(mail.charset)), 0, 1)) return false;
  if (!InRange(IntAt(s, SETTINGS_AT(capture.captureFormat)), 0, 1)) return false;
  // A lock whose digest cannot match any password could never be lifted.
  if (s[SETTINGS_AT(general.passwordLock)] &&
      !IsDigest(reinterpret_cast<const char*>(s + SETTINGS_AT(general.passwordHash))))
    return false;
  return true;
}

void TerminateTexts(ScheduleItem& item) {
  Terminate(item.appPaths);
  Terminate(item.appArguments);
  Terminate(item.timeText);
  Terminate(item.oleTimeText);
  Terminate(item.slotText);
  Terminate(item.weekdayText);
}

void TerminateTexts(ProfileSettings& s) {
  Terminate(s.general.passwordHash);
  Terminate(s.mail.smtpServer);
  Terminate(s.mail.account);
  Terminate(s.mail.toText);
  Terminate(s.mail.from);
  Terminate(s.mail.hostName);
  Terminate(s.mail.password);
  Terminate(s.mail.port);
  Terminate(s.mail.subjects);
  Terminate(s.mail.bodies);
  Terminate(s.mail.addresses);
  Terminate(s.capture.captureFolder);
  Terminate(s.sounds.paths);
}

// The profile's path, or false when the name is unusable or the path too long.
bool ProfilePath(const wchar_t* name, const wchar_t* suffix, wchar_t (&path)[MAX_PATH]) {
  if (!IsValidProfileName(name)) return false;
  const int n = swprintf(path, MAX_PATH, L"%ls%ls.dat%ls", schedulerProfileFolder, name, suffix);
  return n > 0 && n < MAX_PATH;
}

void ShowError(HWND owner, const wchar_t* caption, const wchar_t* text) {
  MessageBoxW(owner, text, caption, MB_ICONERROR);
}

// One file image at a time, on the user-interface thread; kept for the
// process so that saving and loading never pay for fresh pages.
constexpr size_t kScratchSize = kItemsOffset + kRowCount * kSlotCount * kItemRecordSize + kSettingsBlockSize;
uint8_t* Scratch() {
  static uint8_t image[kScratchSize];
  return image;
}

// Reads the whole file into the scratch image; a file larger than any profile
// reads as one byte too many, so that the size check refuses it.
bool ReadWholeFile(const wchar_t* path, size_t* size, DWORD* error) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return false;
  }
  LARGE_INTEGER length{};
  bool ok = GetFileSizeEx(file, &length) != 0;
  *size = 0;
  if (ok && static_cast<unsigned long long>(length.QuadPart) > kScratchSize) {
    *size = kScratchSize + 1;
  } else if (ok) {
    DWORD got = 0;
    ok = ReadFile(file, Scratch(), static_cast<DWORD>(length.QuadPart), &got, nullptr) != 0;
    *size = got;
  }
  if (!ok) *error = GetLastError();
  CloseHandle(file);
  return ok;
}

}  // namespace

size_t ProfileFileSize(int32_t mode) {
  return kItemsOffset + static_cast<size_t>(RowsForMode(mode)) * kSlotCount * kItemRecordSize +
         kSettingsBlockSize;
}

void EncodeProfile(uint8_t* out) {
  const int32_t mode = scheduleMode;
  std::memcpy(out, &mode, 4);
  char version[kVersionWidth + 1];
  snprintf(version, sizeof version, "%.2f", 1.0);
  std::memcpy(out + kVersionOffset, version, kVersionWidth);
  std::memcpy(out + kOrderTableOffset, orderTable, sizeof(OrderTable));
  uint8_t* record = out + kItemsOffset;
  for (int row = 0; row < RowsForMode(mode); ++row) {
    for (const ScheduleItem& item : scheduleTable[row]) {
      WriteRecord(record, &item, kItemFields);
      record += kItemRecordSize;
    }
  }
  WriteRecord(record, &profileSettings, kSettingsFields);
}

ProfileDecodeResult CheckProfileImage(const uint8_t* bytes, size_t size) {
  if (size < 4) return ProfileDecodeResult::WrongSize;
  const int32_t mode = IntAt(bytes, 0);
  if (!InRange(mode, DateMode, WeeklyMode)) return ProfileDecodeResult::BadMode;
  if (size != ProfileFileSize(mode)) return ProfileDecodeResult::WrongSize;
  // The version text is not checked; any value is accepted.
  const int rows = RowsForMode(mode);
  const uint8_t* records = bytes + kItemsOffset;
  for (int row = 0; row < rows; ++row) {
    // Up to its first -1 a row names used slots, each once: anything else
    // would count down to a slot nobody filled.
    bool ended = false;
    uint32_t named = 0;
    for (int pos = 0; pos < kSlotCount; ++pos) {
      const int32_t slot = IntAt(bytes, kOrderTableOffset + 4 * (row * kSlotCount + pos));
      if (!InRange(slot, -1, kSlotCount - 1)) return ProfileDecodeResult::BadValues;
      if (slot == -1) ended = true;
      if (ended || slot == -1) continue;
      const uint8_t* record = records + (row * kSlotCount + slot) * kItemRecordSize;
      if (IntAt(record, ITEM_AT(listIndex)) == -1 || (named & (1u << slot)))
        return ProfileDecodeResult::BadValues;
      named |= 1u << slot;
    }
  }
  const uint8_t* record = records;
  for (int i = 0; i < rows * kSlotCount; ++i, record += kItemRecordSize)
    if (!ItemInRange(record)) return ProfileDecodeResult::BadValues;
  if (!SettingsInRange(record)) return ProfileDecodeResult::BadValues;
  return ProfileDecodeResult::Ok;
}

void DecodeProfileImage(const uint8_t* bytes) {
  const int32_t mode = IntAt(bytes, 0);
  const int rows = RowsForMode(mode);
  scheduleMode = static_cast<ScheduleMode>(mode);
  std::memcpy(orderTable, bytes + kOrderTableOffset, sizeof(OrderTable));
  // Rows the mode has no records for are empty, whatever the file says.
  for (int row = rows; row < kRowCount; ++row)
    for (int32_t& entry : orderTable[row]) entry = -1;
  const uint8_t* record = bytes + kItemsOffset;
  for (int row = 0; row < kRowCount; ++row) {
    for (ScheduleItem& item : scheduleTable[row]) {
      if (row < rows) {
        ReadRecord(record, &item, kItemFields);
        TerminateTexts(item);
        record += kItemRecordSize;
      } else {
        ClearScheduleItem(item);
      }
    }
  }
  ReadRecord(record, &profileSettings, kSettingsFields);
  TerminateTexts(profileSettings);
  wcscpy(modeNameText, ScheduleModeName(mode));
}

bool SaveProfileFile(HWND owner, const wchar_t* name) {
  wchar_t path[MAX_PATH];
  wchar_t tempPath[MAX_PATH];
  if (!ProfilePath(name, L"", path) || !ProfilePath(name, L".tmp", tempPath)) {
    ShowError(owner, kWriteErrorCaption, L"プロファイル名に使用できない文字が含まれているか、名前が長すぎます。");
    return false;
  }
  CreateDirectoryW(profileFolder, nullptr);
  CreateDirectoryW(schedulerProfileFolder, nullptr);

  const size_t size = ProfileFileSize(scheduleMode);
  EncodeProfile(Scratch());

  DWORD error = 0;
  if (!ReplaceFileWithBytes(path, tempPath, Scratch(), size, &error)) {
    ShowSystemErrorText(owner, kWriteErrorCaption, error);
    return false;
  }
  return true;
}

bool LoadProfileFile(HWND owner, const wchar_t* name) {
  wchar_t path[MAX_PATH];
  if (!ProfilePath(name, L"", path)) {
    ShowError(owner, kReadErrorCaption, L"プロファイル名に使用できない文字が含まれているか、名前が長すぎます。");
    return false;
  }
  size_t size = 0;
  DWORD error = 0;
  if (!ReadWholeFile(path, &size, &error)) {
    ShowSystemErrorText(owner, kReadErrorCaption, error);
    return false;
  }
  // Checked whole before anything of the live model changes.
  switch (size <= kScratchSize ? CheckProfileImage(Scratch(), size) : ProfileDecodeResult::WrongSize) {
    case ProfileDecodeResult::Ok:
      break;
    case ProfileDecodeResult::WrongSize:
      ShowError(owner, kReadErrorCaption, L"プロファイルのサイズが正しくありません。ファイルが壊れています。");
      return false;
    case ProfileDecodeResult::BadMode:
    case ProfileDecodeResult::BadValues:
      ShowError(owner, kReadErrorCaption, L"プロファイルの内容が正しくありません。ファイルが壊れています。");
      return false;
  }
  DecodeProfileImage(Scratch());
  return true;
}
