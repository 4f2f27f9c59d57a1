#pragma once
#include <windows.h>

#include <cstdint>

// The scheduler's data: one mode for the whole table, 7 rows of 20 item slots
// with their time order, the profile settings and the run state of a countdown.

enum ScheduleMode : int32_t { DateMode = 0, DailyMode = 1, WeeklyMode = 2 };

enum PowerAction : int32_t {
  Shutdown = 0,
  Restart = 1,
  Logoff = 2,
  Hibernate = 3,
  Standby = 4,
  WakeOnly = 5,
};

inline constexpr int kRowCount = 7;
inline constexpr int kSlotCount = 20;
inline constexpr int kAppCount = 10;
inline constexpr int kSoundCount = 10;
inline constexpr int kAddressCount = 5;
inline constexpr int kPathChars = 260;
inline constexpr int kCommandChars = 256;
inline constexpr int kProfileNameChars = 32;

struct ScheduleItem {
  int32_t listIndex;       // -1: free slot
  SYSTEMTIME time;         // repeating modes: time of day on 2010-01-01
  int32_t action;          // PowerAction
  double oleTime;
  wchar_t appPaths[kAppCount][kPathChars];
  wchar_t appArguments[kAppCount][kCommandChars];
  int32_t appDelays[kAppCount];  // -1: empty entry; used entries first, ascending
  uint8_t appMinimized[kAppCount];
  int32_t soundIndex;      // 1-based entry of SoundList; 0 = none
  int32_t soundSeconds;
  uint8_t captureEnabled;
  int32_t mailTo;          // 1-based entry of MailSettings::addresses; 0 = none
  wchar_t timeText[20];
  wchar_t oleTimeText[20];
  wchar_t slotText[3];
  wchar_t weekdayText[4];
};

using ScheduleTable = ScheduleItem[kRowCount][kSlotCount];
using OrderTable = int32_t[kRowCount][kSlotCount];

struct GeneralSettings {
  uint8_t forceAction;
  uint8_t passwordLock;
  char passwordHash[41];   // 40 lower-case hex digits of SHA-1
  uint8_t bringToFront;
  int32_t bringToFrontSeconds;
  uint8_t unexpectedResumeNoMail;
  uint8_t unexpectedResumeNoApps;
  uint8_t unexpectedResumeNoSound;
  uint8_t endNowNoCapture;
  uint8_t endNowNoMail;
  uint8_t monitorOnAfterResume;
  uint8_t hideTimerAtStart;
};

struct MailSettings {
  char smtpServer[256];
  char account[256];
  char toText[256];
  char from[256];
  char hostName[256];
  char password[256];
  char port[4];
  wchar_t subjects[2][256];  // [0] before the action, [1] after the resume
  wchar_t bodies[2][256];
  uint8_t useAuth;
  int32_t security;          // 0 none, 1 SSL from the start, 2 STARTTLS
  int32_t charset;           // 0 UTF-8, 1 ISO-2022-JP
  wchar_t addresses[kAddressCount][256];
  int32_t addressCount;
};

struct CaptureSettings {
  int32_t captureFormat;     // 1 JPEG, 0 BMP
  wchar_t captureFolder[220];
  uint8_t reserved1;
  int32_t reserved2;
};

struct SoundList {
  int32_t count;
  wchar_t paths[kSoundCount][kPathChars];
  int32_t volumes[kSoundCount];  // 0-100
};

struct ProfileSettings {
  GeneralSettings general;
  MailSettings mail;
  CaptureSettings capture;
  SoundList sounds;
};

// The model, global on the user-interface thread.
extern ScheduleMode scheduleMode;
extern ScheduleTable scheduleTable;
extern OrderTable orderTable;
extern ProfileSettings profileSettings;

// Run state of the countdown.
extern int32_t currentRow;
extern int32_t currentPos;
extern int32_t daysAhead;
extern int32_t wakeRow;
extern int32_t wakePos;
extern double wakeOffsetSeconds;
extern SYSTEMTIME targetTime;
extern SYSTEMTIME wakeTime;
extern uint8_t endNowRequested;
extern uint8_t featureOff[6];
extern uint8_t suppressApps;
extern uint8_t suppressSound;
extern uint8_t suppressMail;
extern wchar_t modeNameText[10];
extern wchar_t startProfileName[kProfileNameChars];

// "日時指定", "毎日繰り返す", "毎週繰り返す"; null for another value.
const wchar_t* ScheduleModeName(int32_t mode);

// Rows a profile of that mode holds: 7 in WeeklyMode, else 1.
inline int RowsForMode(int32_t mode) { return mode == WeeklyMode ? kRowCount : 1; }

// A free slot: zero, with listIndex and every appDelays entry -1.
void ClearScheduleItem(ScheduleItem& item);
// Every slot free (zero, listIndex and appDelays -1) and every order entry -1.
void ClearScheduleTable(ScheduleTable& table, OrderTable& order);
