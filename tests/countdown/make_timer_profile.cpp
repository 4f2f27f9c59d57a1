// Writes a countdown profile through the program's own save and makes it the
// default profile of ".\sopora.ini" in that folder:
//   make_timer_profile.exe <program folder\> <name> time <seconds ahead>
//   make_timer_profile.exe <program folder\> <name> cpu <seconds> <percent>
#include <windows.h>

#include <cwchar>

#include "shared/program_paths.h"
#include "timer_profile.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) return 2;
  SetProgramPaths(argv[1], L"Sopora");
  if (!SetCurrentDirectoryW(argv[1])) return 3;
  SetTimerSettingsDefaults(&timerSettings);
  timerSettings.action = Shutdown;
  SYSTEMTIME now;
  GetLocalTime(&now);
  timerSettings.endTime = now;
  timerSettings.resumeTime = now;
  if (wcscmp(argv[3], L"time") == 0) {
    FILETIME ft;
    SystemTimeToFileTime(&now, &ft);
    ULARGE_INTEGER ticks{{ft.dwLowDateTime, ft.dwHighDateTime}};
    ticks.QuadPart += static_cast<ULONGLONG>(_wtoi(argv[4])) * 10000000ull;
    ft = {ticks.LowPart, ticks.HighPart};
    SYSTEMTIME end;
    FileTimeToSystemTime(&ft, &end);
    timerSettings.mode = Time;
    timerSettings.endTime = end;
    // An end past midnight lies on the day after the load.
    timerSettings.advanceDate = end.wDay != now.wDay ? 1 : 0;
    timerSettings.endDaysAhead = 1;
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
