#include "countdown_state.h"

#include "count_window_config.h"
#include "shared/power_action_names.h"

HWND mainWindow;
HWND settingsDialog;
HWND countDialog;
HWND overviewDialog;
HWND aboutDialog;
HWND countWindow;
uint8_t countWindowCreated;
uint8_t endNowRequested;
uint8_t suppressApps;
uint8_t suppressSound;
int32_t nextAppIndex;
OSVERSIONINFOW windowsVersion;

const wchar_t* timerActionKeyNames[5];
const wchar_t* timerDisplayNames[kTimerNameCount];

void TimerInitNames(unsigned majorVersion) {
  FillPowerActionNames(majorVersion, timerActionKeyNames, timerDisplayNames);
  timerDisplayNames[5] = L"時刻";
  timerDisplayNames[6] = L"CPU使用率";
  timerDisplayNames[7] = L"今すぐ終了";
}

const wchar_t* TimerActionDisplayName(int32_t action) {
  if (action < 0 || action > 4 || !timerDisplayNames[action]) return L"";
  return timerDisplayNames[action];
}
