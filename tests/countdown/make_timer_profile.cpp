// Writes a countdown profile through the program's own save and makes it the
// default profile of ".\sopora.ini" in that folder:
//   make_timer_profile.exe <program folder\> <name> time <seconds ahead> [sound <lead seconds>]
//   make_timer_profile.exe <program folder\> <name> cpu <seconds> <percent>
//   make_timer_profile.exe <program folder\> <name> resume-sound
// "sound": a one-second WAV in the folder, played that many seconds before the
// end. "resume-sound": ends at once with a standby whose resume, ten minutes
// on, plays that WAV one second after the machine is back.
#include <windows.h>

#include <cwchar>
#include <string>

#include "shared/program_paths.h"
#include "timer_profile.h"
#include "wav_fixture.h"

namespace {

SYSTEMTIME SecondsAfter(const SYSTEMTIME& t, int seconds) {
  FILETIME ft;
  SystemTimeToFileTime(&t, &ft);
  ULARGE_INTEGER ticks{{ft.dwLowDateTime, ft.dwHighDateTime}};
  ticks.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ull;
  ft = {ticks.LowPart, ticks.HighPart};
  SYSTEMTIME later;
  FileTimeToSystemTime(&ft, &later);
  return later;
}

// Entry 1 of the sound list: a one-second tone in the program's folder.
bool ListTone(const wchar_t* folder) {
  const std::wstring path = std::wstring(folder) + L"tone.wav";
  const std::string bytes = testing_support::MakeWav(1000);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  lstrcpynW(timerSettings.soundPaths[0], path.c_str(), kPathChars);
  timerSettings.volumes[0] = 50;
  timerSettings.soundCount = 1;
  return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  SetProgramPaths(argv[1], L"Sopora");
  if (!SetCurrentDirectoryW(argv[1])) return 3;
  SetTimerSettingsDefaults(&timerSettings);
  timerSettings.action = Shutdown;
  SYSTEMTIME now;
  GetLocalTime(&now);
  timerSettings.endTime = now;
  timerSettings.resumeTime = now;
  if (wcscmp(argv[3], L"time") == 0 && argc >= 5) {
    const SYSTEMTIME end = SecondsAfter(now, _wtoi(argv[4]));
    timerSettings.mode = Time;
    timerSettings.endTime = end;
    // An end past midnight lies on the day after the load.
    timerSettings.advanceDate = end.wDay != now.wDay ? 1 : 0;
    timerSettings.endDaysAhead = 1;
    if (argc == 7 && wcscmp(argv[5], L"sound") == 0) {
      if (!ListTone(argv[1])) return 4;
      timerSettings.soundIndex[0] = 1;
      timerSettings.soundSeconds[0] = _wtoi(argv[6]);
    }
  } else if (wcscmp(argv[3], L"resume-sound") == 0) {
    const SYSTEMTIME resume = SecondsAfter(now, 600);
    timerSettings.mode = EndNow;
    timerSettings.action = Standby;
    timerSettings.resumeEnabled = 1;
    timerSettings.resumeTime = resume;
    timerSettings.advanceDate = resume.wDay != now.wDay ? 1 : 0;
    timerSettings.resumeDaysAhead = 1;
    if (!ListTone(argv[1])) return 4;
    timerSettings.soundIndex[1] = 1;
    timerSettings.soundSeconds[1] = 1;
  } else if (wcscmp(argv[3], L"cpu") == 0 && argc == 6) {
    timerSettings.mode = CpuUsage;
    timerSettings.cpuSeconds = _wtoi(argv[4]);
    timerSettings.cpuPercent = _wtoi(argv[5]);
  } else {
    return 2;
  }
  if (!TimerSaveProfileFile(nullptr, argv[2])) return 1;
  return WritePrivateProfileStringW(L"Setting", L"DefProfile", argv[2], L".\\sopora.ini") ? 0 : 1;
}
