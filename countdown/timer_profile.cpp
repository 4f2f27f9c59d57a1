#include "timer_profile.h"

#include <commctrl.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <initializer_list>

#include "countdown_state.h"
#include "shared/app_launcher.h"
#include "shared/error_log.h"
#include "shared/file_replace.h"
#include "shared/profile_names.h"
#include "shared/program_paths.h"
#include "shared/schedule_time.h"
#include "shared/utilities.h"

TimerSettings timerSettings;

namespace {

// One field of the fixed part: where it lies in the file and in the record.
// Writer and reader both walk this table.
struct Field {
  uint32_t fileOffset;
  uint32_t width;
  uint32_t memberOffset;
  uint32_t memberSize;
};

#define TIMER_FIELD(member, offset, width) \
  Field { offset, width, offsetof(TimerSettings, member), sizeof(TimerSettings::member) }

constexpr Field kFixedFields[] = {
    TIMER_FIELD(versionText, 0, 5),
    TIMER_FIELD(cpuPercent, 5, 4),
    TIMER_FIELD(cpuSeconds, 9, 4),
    TIMER_FIELD(mode, 13, 4),
    TIMER_FIELD(action, 17, 4),
    TIMER_FIELD(reserved, 21, 1),
    TIMER_FIELD(resumeEnabled, 22, 1),
    TIMER_FIELD(captureEnabled, 23, 1),
    TIMER_FIELD(captureFormat, 24, 4),
    TIMER_FIELD(forceAction, 28, 1),
    TIMER_FIELD(captureFolder, 29, 440),
    TIMER_FIELD(monitorOnAfterResume, 469, 1),
    TIMER_FIELD(endNowNoCapture, 470, 1),
    TIMER_FIELD(bringToFront, 471, 1),
    TIMER_FIELD(bringToFrontSeconds, 472, 4),
    TIMER_FIELD(hideTimerAtStart, 476, 1),
    TIMER_FIELD(appArguments, 477, 5120),
    TIMER_FIELD(appMinimized, 5597, 10),
    TIMER_FIELD(appPaths, 5607, 5200),
    TIMER_FIELD(unexpectedResumeNoApps, 10807, 1),
    TIMER_FIELD(appDelays, 10808, 40),
    TIMER_FIELD(appsAfterResume, 10848, 1),
    TIMER_FIELD(unexpectedResumeNoSound, 10849, 1),
    TIMER_FIELD(soundPaths, 10850, 5200),
    TIMER_FIELD(soundCount, 16050, 4),
    TIMER_FIELD(volumes, 16054, 40),
    TIMER_FIELD(soundSeconds, 16094, 8),
    TIMER_FIELD(soundIndex, 16102, 8),
    TIMER_FIELD(endDaysAhead, 16110, 4),
    TIMER_FIELD(resumeDaysAhead, 16114, 4),
    TIMER_FIELD(minusDayFromHour, 16118, 4),
    TIMER_FIELD(minusDayToHour, 16122, 4),
    TIMER_FIELD(advanceDate, 16126, 1),
    TIMER_FIELD(noKeepTime, 16127, 1),
    TIMER_FIELD(minusDayInWindow, 16128, 1),
};

template <size_t N>
constexpr bool TilesFixedPart(const Field (&fields)[N]) {
  uint32_t next = 0;
  for (const Field& f : fields) {
    if (f.fileOffset != next || f.width != f.memberSize) return false;
    next += f.width;
  }
  return next == kTimerProfileFixedSize;
}
static_assert(TilesFixedPart(kFixedFields), "the fixed part's table tiles 16129 bytes");
static_assert(sizeof(SYSTEMTIME) == 16, "a stored time is 16 bytes");

// Where a member lies in the fixed part, from the same table.
constexpr uint32_t FileOffsetOf(size_t memberOffset) {
  for (const Field& f : kFixedFields)
    if (f.memberOffset == memberOffset) return f.fileOffset;
  return UINT32_MAX;
}
#define FIXED_AT(member) FileOffsetOf(offsetof(TimerSettings, member))

int32_t IntAt(const std::string& bytes, uint32_t offset) {
  int32_t value;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}


int32_t Clamp(int32_t value, int32_t low, int32_t high) {
  return value < low ? low : value > high ? high : value;
}

bool IsDate(const SYSTEMTIME& time) {
  FILETIME ignored;
  return time.wHour < 24 && time.wMinute < 60 && SystemTimeToFileTime(&time, &ignored) != 0;
}

// A one-byte flag reads as 1 whatever non-zero value it holds, so that every
// reader of it (the dialog compares with 1, the countdown tests for non-zero)
// agrees.
void NormalizeFlags(TimerSettings* s) {
  for (uint8_t* flag : {&s->resumeEnabled, &s->captureEnabled, &s->forceAction, &s->monitorOnAfterResume,
                        &s->endNowNoCapture, &s->bringToFront, &s->hideTimerAtStart, &s->unexpectedResumeNoApps,
                        &s->appsAfterResume, &s->unexpectedResumeNoSound, &s->advanceDate, &s->noKeepTime,
                        &s->minusDayInWindow})
    *flag = *flag ? 1 : 0;
  for (uint8_t& minimized : s->appMinimized) minimized = minimized ? 1 : 0;
}

void Sanitize(TimerSettings* s) {
  NormalizeFlags(s);
  Terminate(s->captureFolder);
  Terminate(s->appArguments);
  Terminate(s->appPaths);
  Terminate(s->soundPaths);
  s->soundCount = Clamp(s->soundCount, 0, kSoundCount);
  for (int32_t& index : s->soundIndex) index = Clamp(index, 0, s->soundCount);
  for (int32_t& volume : s->volumes) volume = Clamp(volume, 0, 100);
  if (s->captureFormat != 0 && s->captureFormat != 1) s->captureFormat = 1;
  s->endDaysAhead = Clamp(s->endDaysAhead, 0, 8);
  s->resumeDaysAhead = Clamp(s->resumeDaysAhead, 1, 9);
  s->minusDayFromHour = Clamp(s->minusDayFromHour, 0, 23);
  s->minusDayToHour = Clamp(s->minusDayToHour, 0, 23);
  if (s->bringToFront == 1) s->bringToFrontSeconds = Clamp(s->bringToFrontSeconds, 60, 3600);
  // Only hibernate and standby come back; nothing may wait for a resume after a shutdown.
  if (s->action != Hibernate && s->action != Standby) s->resumeEnabled = 0;
}

// Profiles are small; a file far larger than any profile is not read whole.
constexpr DWORD kLargestRead = 64 * 1024;

bool ReadWholeFile(const wchar_t* path, std::string* bytes, DWORD* error) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return false;
  }
  bytes->assign(kLargestRead, '\0');
  DWORD got = 0;
  const bool ok = ReadFile(file, &(*bytes)[0], kLargestRead, &got, nullptr) != 0;
  if (!ok) *error = GetLastError();
  CloseHandle(file);
  bytes->resize(got);
  return ok;
}

// The tail as the settings dialog shows it, when one is open with its controls.
TimerProfileTail TailForSave() {
  TimerProfileTail tail{timerSettings.cpuSeconds, timerSettings.cpuPercent, timerSettings.endTime,
                        timerSettings.resumeTime};
  if (!settingsDialog) return tail;
  wchar_t text[16];
  if (HWND seconds = GetDlgItem(settingsDialog, 1239)) {
    GetWindowTextW(seconds, text, 16);
    tail.cpuSeconds = static_cast<int32_t>(wcstoul(text, nullptr, 10));
  }
  if (HWND percent = GetDlgItem(settingsDialog, 1244)) {
    GetWindowTextW(percent, text, 16);
    tail.cpuPercent = static_cast<int32_t>(wcstoul(text, nullptr, 10));
  }
  if (HWND end = GetDlgItem(settingsDialog, 1241)) SendMessageW(end, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&tail.endTime));
  if (HWND resume = GetDlgItem(settingsDialog, 1243))
    SendMessageW(resume, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&tail.resumeTime));
  return tail;
}

}  // namespace

void SetTimerSettingsDefaults(TimerSettings* s) {
  s->captureFormat = 1;
  s->endDaysAhead = 1;
  s->resumeDaysAhead = 1;
  s->bringToFrontSeconds = 300;
  s->minusDayToHour = 6;
  s->endNowNoCapture = 1;
  for (int32_t& delay : s->appDelays) delay = -1;
}

size_t TimerProfileSize(const TimerSettings& s) {
  size_t size = kTimerProfileFixedSize;
  if (s.mode == CpuUsage) size += 8;
  if (s.noKeepTime == 0) {
    if (s.mode == Time) size += sizeof(SYSTEMTIME);
    if (s.resumeEnabled == 1) size += sizeof(SYSTEMTIME);
  }
  return size;
}

std::string EncodeTimerProfile(const TimerSettings& settings, const TimerProfileTail& tail) {
  TimerSettings s = settings;
  char version[8];
  snprintf(version, sizeof version, "%.2f", 3.0);
  std::memcpy(s.versionText, version, sizeof s.versionText);
  std::string bytes(kTimerProfileFixedSize, '\0');
  const auto* base = reinterpret_cast<const char*>(&s);
  for (const Field& f : kFixedFields) std::memcpy(&bytes[f.fileOffset], base + f.memberOffset, f.width);
  auto append = [&bytes](const void* data, size_t size) {
    bytes.append(static_cast<const char*>(data), size);
  };
  if (s.mode == CpuUsage) {
    append(&tail.cpuSeconds, 4);
    append(&tail.cpuPercent, 4);
  }
  if (s.noKeepTime == 0) {
    if (s.mode == Time) append(&tail.endTime, sizeof(SYSTEMTIME));
    if (s.resumeEnabled == 1) append(&tail.resumeTime, sizeof(SYSTEMTIME));
  }
  return bytes;
}

TimerProfileDecode DecodeTimerProfile(const std::string& bytes, TimerSettings* out) {
  if (bytes.size() < kTimerProfileFixedSize) return TimerProfileDecode::Short;
  TimerSettings s = *out;  // stored times absent from the file keep their values
  auto* base = reinterpret_cast<char*>(&s);
  for (const Field& f : kFixedFields) std::memcpy(base + f.memberOffset, &bytes[f.fileOffset], f.width);
  // The version is read from a bounded copy and not used: no version is refused.
  char version[6] = {};
  std::memcpy(version, s.versionText, 5);
  (void)std::atof(version);
  // Flags first: the tail holds the times of the flags as they will be used,
  // so a flag of 2 that reads as on cannot leave a stale time in force.
  NormalizeFlags(&s);
  if (bytes.size() < TimerProfileSize(s)) return TimerProfileDecode::Short;
  if (s.mode < Time || s.mode > EndNow) return TimerProfileDecode::BadValues;
  if (s.action < Shutdown || s.action > Standby) return TimerProfileDecode::BadValues;
  for (int32_t delay : s.appDelays)
    if (!IsStoredAppDelay(delay)) return TimerProfileDecode::BadValues;
  size_t at = kTimerProfileFixedSize;
  if (s.mode == CpuUsage) {
    s.cpuSeconds = IntAt(bytes, static_cast<uint32_t>(at));
    s.cpuPercent = IntAt(bytes, static_cast<uint32_t>(at + 4));
    at += 8;
  }
  if (s.noKeepTime == 0) {
    if (s.mode == Time) {
      std::memcpy(&s.endTime, &bytes[at], sizeof(SYSTEMTIME));
      at += sizeof(SYSTEMTIME);
      if (!IsDate(s.endTime)) return TimerProfileDecode::BadValues;
    }
    if (s.resumeEnabled == 1) {
      std::memcpy(&s.resumeTime, &bytes[at], sizeof(SYSTEMTIME));
      if (!IsDate(s.resumeTime)) return TimerProfileDecode::BadValues;
    }
  }
  Sanitize(&s);
  *out = s;
  return TimerProfileDecode::Ok;
}

static_assert(FIXED_AT(action) + 4 == kTimerProfileHeadSize, "the head ends with the action");

bool ReadTimerProfileHead(const uint8_t* bytes, size_t size, int32_t* mode, int32_t* action) {
  if (size < kTimerProfileHeadSize) return false;
  std::memcpy(mode, bytes + FIXED_AT(mode), 4);
  std::memcpy(action, bytes + FIXED_AT(action), 4);
  return true;
}

bool TimerProfilePath(const wchar_t* name, wchar_t (&path)[MAX_PATH]) {
  if (!IsValidProfileName(name) || wcslen(name) >= kTimerProfileNameChars) return false;
  const int n = _snwprintf(path, MAX_PATH, L"%ls%ls.dat", profileFolder, name);
  path[MAX_PATH - 1] = L'\0';
  // Room is left for the temporary file's ".tmp".
  return n > 0 && n + 4 < MAX_PATH;
}

bool TimerSaveProfileFile(HWND owner, const wchar_t* name) {
  wchar_t path[MAX_PATH];
  if (!TimerProfilePath(name, path)) {
    MessageBoxW(owner, kBadProfileNameText, kTimerWriteErrorCaption, MB_ICONERROR);
    return false;
  }
  wchar_t tempPath[MAX_PATH];
  _snwprintf(tempPath, MAX_PATH, L"%ls.tmp", path);
  tempPath[MAX_PATH - 1] = L'\0';
  CreateDirectoryW(profileFolder, nullptr);
  const std::string bytes = EncodeTimerProfile(timerSettings, TailForSave());
  DWORD error = 0;
  if (!ReplaceFileWithBytes(path, tempPath, bytes.data(), bytes.size(), &error)) {
    ShowSystemErrorText(owner, kTimerWriteErrorCaption, error);
    return false;
  }
  return true;
}

bool TimerLoadProfileFile(HWND owner, const wchar_t* name) {
  wchar_t path[MAX_PATH];
  if (!TimerProfilePath(name, path)) {
    MessageBoxW(owner, kBadProfileNameText, kTimerReadErrorCaption, MB_ICONERROR);
    return false;
  }
  std::string bytes;
  DWORD error = 0;
  if (!ReadWholeFile(path, &bytes, &error)) {
    ShowSystemErrorText(owner, kTimerReadErrorCaption, error);
    return false;
  }
  if (DecodeTimerProfile(bytes, &timerSettings) != TimerProfileDecode::Ok) {
    MessageBoxW(owner, kDamagedProfileText, kTimerReadErrorCaption, MB_ICONERROR);
    return false;
  }
  return true;
}

bool HourInMinusDayWindow(int hour, int fromHour, int toHour) {
  for (int h = fromHour; h != toHour; h = (h + 1) % 24)
    if (h == hour) return true;
  return false;
}

TimerPickerValues TimerLoadedPickerValues(const TimerSettings& s, const SYSTEMTIME& now) {
  TimerPickerValues v{now, now, now, now};
  if (s.noKeepTime == 0) {
    if (s.mode == Time) v.endTime = s.endTime;
    if (s.resumeEnabled == 1) v.resumeTime = s.resumeTime;
  }
  if (s.advanceDate == 1) {
    AddDaysToSystemTime(&v.endDate, s.endDaysAhead);
    if (s.resumeEnabled == 1) AddDaysToSystemTime(&v.resumeDate, s.resumeDaysAhead);
    if (s.minusDayInWindow == 1 && HourInMinusDayWindow(now.wHour, s.minusDayFromHour, s.minusDayToHour)) {
      AddDaysToSystemTime(&v.endDate, -1);
      if (s.resumeEnabled == 1) AddDaysToSystemTime(&v.resumeDate, -1);
    }
  }
  return v;
}

SYSTEMTIME TimerComposeStartTime(const SYSTEMTIME& date, const SYSTEMTIME& time) {
  SYSTEMTIME t = date;
  t.wHour = time.wHour;
  t.wMinute = time.wMinute;
  t.wSecond = 0;
  t.wMilliseconds = 0;
  return t;
}
