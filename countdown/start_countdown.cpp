#include "start_countdown.h"

#include <shlwapi.h>

#include <cwchar>

#include "appearance.h"
#include "count_dialog.h"
#include "count_window.h"
#include "countdown_state.h"
#include "shared/clock.h"
#include "skins.h"

namespace {

std::wstring Bounded(const wchar_t* text, size_t capacity) { return std::wstring(text, wcsnlen(text, capacity)); }

// The sound list entry of a 1-based index, or empty for none or one outside the list.
std::wstring SoundEntry(const TimerSettings& s, int32_t index) {
  if (index < 1 || index > kSoundCount) return {};
  return Bounded(s.soundPaths[index - 1], kPathChars);
}

}  // namespace

struct tm TimerSystemTimeToTm(const SYSTEMTIME& t) {
  struct tm r{};
  r.tm_year = t.wYear - 1900;
  r.tm_mon = t.wMonth - 1;
  r.tm_mday = t.wDay;
  r.tm_hour = t.wHour;
  r.tm_min = t.wMinute;
  r.tm_sec = t.wSecond;
  r.tm_wday = t.wDayOfWeek;
  r.tm_isdst = 0;
  return r;
}

double TimerDiffTime(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  struct tm ta = TimerSystemTimeToTm(a);
  struct tm tb = TimerSystemTimeToTm(b);
  return static_cast<double>(_mktime64(&ta) - _mktime64(&tb));
}

bool TimerFileExistsOnDisk(const wchar_t* path) { return PathFileExistsW(path) != FALSE; }

TimerStartCheck TimerCheckStart(const TimerSettings& s, const TimerPickerValues& pickers, const SYSTEMTIME& now,
                                TimerFileExistsCall exists) {
  TimerStartCheck check;
  check.endTime = s.endTime;
  check.resumeTime = s.resumeTime;
  if (s.mode == Time) {
    check.endTime = TimerComposeStartTime(pickers.endDate, pickers.endTime);
    if (TimerDiffTime(check.endTime, now) <= 60) {
      check.refusal = kEndTooSoonText;
      return check;
    }
  }
  if (s.mode == CpuUsage) {
    // A threshold of 100 or more would end the watch whatever the load.
    if (s.cpuSeconds < 1 || s.cpuPercent < 1 || s.cpuPercent >= 100) {
      check.refusal = kBadCpuValuesText;
      check.refusalCaption = kBadCpuValuesCaption;
      return check;
    }
  }
  if (s.resumeEnabled == 1) {
    check.resumeTime = TimerComposeStartTime(pickers.resumeDate, pickers.resumeTime);
    if (TimerDiffTime(check.resumeTime, s.mode == Time ? check.endTime : now) <= 20) {
      check.refusal = kBadResumeText;
      return check;
    }
  }
  if (s.resumeEnabled == 1 && s.appsAfterResume == 1) {
    for (int i = 0; i < kAppCount && s.appDelays[i] != -1; ++i) {
      const std::wstring path = Bounded(s.appPaths[i], kPathChars);
      if (!exists(path.c_str())) check.missingApps.push_back(path);
    }
  }
  const int32_t firstSound = s.mode == Time ? 0 : 1;
  for (int which = firstSound; which < 2; ++which) {
    if (s.soundIndex[which] == 0) continue;
    const std::wstring path = SoundEntry(s, s.soundIndex[which]);
    if (!exists(path.c_str())) check.missingSounds.push_back(path);
  }
  return check;
}

std::wstring TimerMissingAppsQuestion(const std::vector<std::wstring>& paths) {
  std::wstring text = L"アプリ起動で設定されている以下のファイルの存在が確認できませんでした。\n";
  for (const std::wstring& path : paths) text += L"\n" + Bounded(path.c_str(), kPathChars);
  return text + L"\n\n続行しますか？";
}

std::wstring TimerMissingSoundsQuestion(const std::vector<std::wstring>& paths) {
  std::wstring text = L"サウンドで設定されている以下のファイルの存在が確認できませんでした。\n\n";
  for (const std::wstring& path : paths) text += Bounded(path.c_str(), kPathChars) + L"\n";
  return text + L"\n続行しますか？";
}

bool TimerStartCountdown(HWND owner, const TimerPickerValues& pickers) {
  TimerSettings& s = timerSettings;
  SYSTEMTIME now;
  GetClockLocalTime(&now);
  const TimerStartCheck check = TimerCheckStart(s, pickers, now, TimerFileExistsOnDisk);
  if (s.mode == CpuUsage && check.refusal != kBadCpuValuesText && appearance.form == Skinned) {
    // The processor watch uses the built-in forms, once its values are good,
    // whatever the resume check says.
    appearance.form = Normal;
    LoadCountWindowImages(owner);
  }
  if (check.refusal) {
    MessageBoxW(owner, check.refusal, check.refusalCaption, MB_OK);
    return false;
  }
  if (s.mode == Time) s.endTime = check.endTime;
  if (s.resumeEnabled == 1) s.resumeTime = check.resumeTime;
  if (!check.missingApps.empty() &&
      MessageBoxW(owner, TimerMissingAppsQuestion(check.missingApps).c_str(), L"", MB_YESNO) != IDYES) {
    return false;
  }
  if (!check.missingSounds.empty() &&
      MessageBoxW(owner, TimerMissingSoundsQuestion(check.missingSounds).c_str(), L"", MB_YESNO) != IDYES) {
    return false;
  }
  if (!CreateTimerCountDialog()) return false;
  if (!CreateCountWindow(s.hideTimerAtStart == 1)) {
    // Without a count window the countdown still runs and shows alone.
    SendMessageW(countDialog, kMsgRepaintCount, 0, 1);
    ShowWindow(countDialog, s.hideTimerAtStart == 1 ? SW_HIDE : SW_SHOW);
  }
  if (mainWindow) ShowWindow(mainWindow, SW_HIDE);
  return true;
}
