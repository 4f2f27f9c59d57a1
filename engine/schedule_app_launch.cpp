#include "schedule_app_launch.h"

#include "schedule_model.h"
#include "shared/app_launcher.h"

int32_t appLaunchCursor;

int LaunchApplication(int row, int position, int elapsedSeconds) {
  if (row < 0 || row >= kRowCount || position < 0 || position >= kSlotCount) return 0;
  const int32_t slot = orderTable[row][position];
  if (slot < 0 || slot >= kSlotCount) return 0;
  const ScheduleItem& item = scheduleTable[row][slot];
  const ApplicationList list{item.appPaths, item.appArguments, item.appDelays, item.appMinimized};
  return LaunchApplicationList(list, elapsedSeconds, &appLaunchCursor);
}
