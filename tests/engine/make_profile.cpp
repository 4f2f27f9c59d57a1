// Writes a date-mode profile with one shutdown item `seconds` ahead, through
// the program's own save: make_profile.exe <program folder\> <name> <seconds>
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>

#include "profile_file.h"
#include "schedule_edit.h"
#include "shared/program_paths.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  SetProgramPaths(argv[1], L"SoporaScheduler");
  scheduleMode = DateMode;
  wchar_t captureFolder[MAX_PATH];
  swprintf(captureFolder, MAX_PATH, L"%lsss", argv[1]);
  ResetModelToDefaults(scheduleTable, orderTable, profileSettings, captureFolder);

  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER due{{now.dwLowDateTime, now.dwHighDateTime}};
  due.QuadPart += static_cast<ULONGLONG>(_wtoi(argv[3])) * 10000000ull;
  FILETIME dueUtc{due.LowPart, due.HighPart};
  SYSTEMTIME utc, local;
  FileTimeToSystemTime(&dueUtc, &utc);
  SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
  local.wMilliseconds = 0;

  ScheduleItem& item = scheduleTable[0][0];
  item.listIndex = 0;
  item.time = local;
  item.action = Shutdown;
  SystemTimeToVariantTime(&local, &item.oleTime);
  swprintf(item.oleTimeText, 20, L"%.7f", item.oleTime);
  swprintf(item.timeText, 20, L"%d/%02d/%02d %02d:%02d", local.wYear, local.wMonth, local.wDay,
           local.wHour, local.wMinute);
  swprintf(item.slotText, 3, L"%d", 0);
  orderTable[0][0] = 0;
  return SaveProfileFile(nullptr, argv[2]) ? 0 : 1;
}
