#include "overview_dialog.h"

#include <cwchar>

#include "countdown_state.h"
#include "shared/ui_setup.h"

namespace {

constexpr ConfirmControlBox kLayout[] = {
    {1136, 12, 12, 62, 22},  {1137, 80, 12, 62, 22},   {1149, 172, 14, 140, 18}, {1138, 9, 52, 104, 18},
    {1146, 9, 73, 77, 18},   {1139, 9, 91, 303, 18},   {1142, 9, 128, 44, 18},   {1143, 9, 149, 152, 18},
    {1147, 287, 149, 32, 18}, {1144, 9, 170, 248, 18}, {1148, 266, 170, 53, 18}, {1145, 9, 128, 92, 18},
    {1150, 9, 149, 30, 18},
};
constexpr int kBeforeOnly[] = {1142, 1143, 1147, 1144, 1148};
constexpr int kBold[] = {1138, 1142, 1145, 1149};
constexpr ConfirmSeparator kSeparators[] = {
    {-1, 61, 119, 320}, {0, 137, 62, 320}, {1, 137, 110, 320},
};

std::wstring DateLine(const SYSTEMTIME& t) {
  wchar_t text[40];
  _snwprintf(text, 40, L"(%d/%02d/%02d %02d:%02d)", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
  text[39] = L'\0';
  return text;
}

void Sound(const TimerSettings& settings, int view, ConfirmPageTexts* texts) {
  const int32_t index = settings.soundIndex[view];
  if (index < 1 || index > kSoundCount) {
    texts->soundTiming = L"なし";
    texts->soundPath.clear();
    return;
  }
  texts->soundTiming = SoundTimingText(view, settings.soundSeconds[view]);
  const wchar_t* path = settings.soundPaths[index - 1];
  texts->soundPath.assign(path, wcsnlen(path, kPathChars));
}

bool LoadContent(HWND, ConfirmContent* content) {
  *content = OverviewContent(timerSettings);
  return true;
}

const ConfirmViewConfig kConfig = {
    174,
    185,
    346,
    316,
    237,
    kLayout,
    static_cast<int>(sizeof kLayout / sizeof kLayout[0]),
    1136,
    1137,
    1149,
    1146,
    1139,
    0,
    1147,
    1148,
    kBeforeOnly,
    static_cast<int>(sizeof kBeforeOnly / sizeof kBeforeOnly[0]),
    1145,
    1150,
    kBold,
    static_cast<int>(sizeof kBold / sizeof kBold[0]),
    {146, 187},
    kSeparators,
    static_cast<int>(sizeof kSeparators / sizeof kSeparators[0]),
    300,
    {176, {1139, 1140, 1141, 1142, 1143, 1144}, 4, 4, 333, 139, {5, 23, 50, 68, 92, 110}},
    LoadContent,
    &overviewDialog,
    &uiFont,
    &uiBoldFont,
    &separatorPen,
    nullptr,
    true,
};

}  // namespace

ConfirmContent OverviewContent(const TimerSettings& settings) {
  ConfirmContent content;
  const bool timeMode = settings.mode == Time;
  content.hasAfterPage = settings.resumeEnabled != 0;

  ConfirmPageTexts& before = content.pages[0];
  // Only a countdown to a time has an end time to show.
  before.dateLine = timeMode ? DateLine(settings.endTime) : L"(----/--/-- --:--:--)";
  Sound(settings, 0, &before);
  before.capture = settings.captureEnabled ? L"有効" : L"無効";
  // Bringing the timer to the front happens only in a countdown to a time.
  if (settings.bringToFront && timeMode) {
    wchar_t minutes[16];
    _snwprintf(minutes, 16, L"%d分前", settings.bringToFrontSeconds / 60);
    minutes[15] = L'\0';
    before.bringToFront = minutes;
  } else {
    before.bringToFront = L"無効";
  }

  ConfirmPageTexts& after = content.pages[1];
  after.dateLine = DateLine(settings.resumeTime);
  Sound(settings, 1, &after);
  if (settings.resumeEnabled && settings.appsAfterResume)
    content.apps = ListedApps(settings.appPaths, settings.appArguments, settings.appDelays);
  return content;
}

const ConfirmViewConfig& OverviewConfig() { return kConfig; }

INT_PTR CALLBACK TimerConfirmSettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return ConfirmViewDlgProc(dialog, message, wParam, lParam);
}

HWND OpenOverviewDialog() { return CreateConfirmView(kConfig, TimerConfirmSettingsDlgProc); }
