#include "schedule_model.h"

#include <cstring>

ScheduleMode scheduleMode = DateMode;
ScheduleTable scheduleTable;
OrderTable orderTable;
ProfileSettings profileSettings;

int32_t currentRow;
int32_t currentPos = -1;
int32_t daysAhead;
int32_t wakeRow;
int32_t wakePos = -1;
double wakeOffsetSeconds;
SYSTEMTIME targetTime;
SYSTEMTIME wakeTime;
uint8_t endNowRequested;
uint8_t featureOff[6];
uint8_t suppressApps;
uint8_t suppressSound;
uint8_t suppressMail;
wchar_t modeNameText[10];
wchar_t startProfileName[kProfileNameChars];

const wchar_t* ScheduleModeName(int32_t mode) {
  switch (mode) {
    case DateMode: return L"日時指定";
    case DailyMode: return L"毎日繰り返す";
    case WeeklyMode: return L"毎週繰り返す";
    default: return nullptr;
  }
}

void ClearScheduleItem(ScheduleItem& item) {
  std::memset(&item, 0, sizeof item);
  item.listIndex = -1;
  for (int32_t& delay : item.appDelays) delay = -1;
}

void ClearScheduleTable(ScheduleTable& table, OrderTable& order) {
  for (auto& row : table)
    for (ScheduleItem& item : row) ClearScheduleItem(item);
  for (auto& row : order)
    for (int32_t& entry : row) entry = -1;
}
