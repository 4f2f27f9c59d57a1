#include "confirm_dialog.h"

#include <cwchar>

#include "main_window_state.h"
#include "private_messages.h"

const ScheduleItem* confirmItem;
const ScheduleItem* confirmWakeItem;

namespace {

constexpr ConfirmControlBox kLayout[] = {
    {1900, 12, 12, 62, 22},  {1901, 80, 12, 62, 22},   {1913, 172, 14, 140, 18}, {1902, 9, 52, 104, 18},
    {1910, 9, 73, 77, 18},   {1903, 9, 91, 303, 18},   {1904, 9, 122, 80, 18},   {1905, 9, 147, 310, 18},
    {1906, 9, 190, 44, 18},  {1907, 9, 211, 152, 18},  {1911, 287, 211, 32, 18}, {1908, 10, 232, 248, 18},
    {1912, 266, 232, 53, 18}, {1909, 9, 190, 92, 18},  {1914, 9, 215, 30, 18},
};
constexpr int kBeforeOnly[] = {1906, 1907, 1908, 1911, 1912};
constexpr int kBold[] = {1902, 1904, 1906, 1909};
constexpr ConfirmSeparator kSeparators[] = {
    {-1, 61, 119, 320}, {-1, 131, 98, 320}, {0, 199, 62, 320}, {1, 199, 110, 320},
};

std::wstring SoundPath(const SoundList& sounds, int32_t index) {
  if (index < 1 || index > kSoundCount) return L"";
  const wchar_t* path = sounds.paths[index - 1];
  return std::wstring(path, wcsnlen(path, kPathChars));
}

std::wstring MailAddress(const MailSettings& mail, int32_t index) {
  if (index < 1 || index > kAddressCount) return L"なし";
  const wchar_t* address = mail.addresses[index - 1];
  return std::wstring(address, wcsnlen(address, 256));
}

std::wstring DateLine(const ScheduleItem& item) {
  wchar_t text[32];
  _snwprintf(text, 32, L"(%ls)", std::wstring(item.timeText, wcsnlen(item.timeText, 20)).c_str());
  text[31] = L'\0';
  return text;
}

ConfirmPageTexts PageTexts(int page, const ScheduleItem& item, const ProfileSettings& settings) {
  ConfirmPageTexts texts;
  texts.dateLine = DateLine(item);
  const bool sound = item.soundIndex > 0 && item.soundIndex <= kSoundCount;
  texts.soundTiming = sound ? SoundTimingText(page, item.soundSeconds) : L"なし";
  texts.soundPath = sound ? SoundPath(settings.sounds, item.soundIndex) : L"";
  texts.mail = item.mailTo > 0 ? MailAddress(settings.mail, item.mailTo) : L"なし";
  texts.capture = item.captureEnabled == 1 ? L"有効" : L"無効";
  const GeneralSettings& general = settings.general;
  if (general.bringToFront) {
    wchar_t minutes[16];
    _snwprintf(minutes, 16, L"%d分前", general.bringToFrontSeconds / 60);
    minutes[15] = L'\0';
    texts.bringToFront = minutes;
  } else {
    texts.bringToFront = L"無効";
  }
  return texts;
}

// Asks the countdown dialog, which answers at once with kMsgItemsToShow.
bool LoadContent(HWND dialog, ConfirmContent* content) {
  confirmItem = nullptr;
  confirmWakeItem = nullptr;
  if (!CountdownDialogExists()) return false;
  SendMessageW(countdownDialog, kMsgAskItems, 0, reinterpret_cast<LPARAM>(dialog));
  if (!confirmItem) return false;
  *content = SchedulerConfirmContent(*confirmItem, confirmWakeItem, profileSettings);
  return true;
}

const ConfirmViewConfig kConfig = {
    179,
    219,
    346,
    401,
    322,
    kLayout,
    static_cast<int>(sizeof kLayout / sizeof kLayout[0]),
    1900,
    1901,
    1913,
    1910,
    1903,
    1905,
    1911,
    1912,
    kBeforeOnly,
    static_cast<int>(sizeof kBeforeOnly / sizeof kBeforeOnly[0]),
    1909,
    1914,
    kBold,
    static_cast<int>(sizeof kBold / sizeof kBold[0]),
    {208, 249},
    kSeparators,
    static_cast<int>(sizeof kSeparators / sizeof kSeparators[0]),
    300,
    {180, {2010, 2011, 2012, 2013, 2014, 2015}, 8, 10, 326, 180, {5, 23, 61, 79, 116, 138}},
    LoadContent,
    &confirmDialog,
    &uiFont,
    &uiBoldFont,
    &separatorPen,
    &workArea,
    false,
};

}  // namespace

ConfirmContent SchedulerConfirmContent(const ScheduleItem& item, const ScheduleItem* wakeItem,
                                       const ProfileSettings& settings) {
  ConfirmContent content;
  content.hasAfterPage = wakeItem != nullptr;
  content.pages[0] = PageTexts(0, item, settings);
  if (wakeItem) {
    content.pages[1] = PageTexts(1, *wakeItem, settings);
    content.apps = ListedApps(wakeItem->appPaths, wakeItem->appArguments, wakeItem->appDelays);
  }
  return content;
}

const ConfirmViewConfig& SchedulerConfirmConfig() { return kConfig; }

INT_PTR CALLBACK ConfirmDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgItemsToShow) {
    confirmItem = reinterpret_cast<const ScheduleItem*>(wParam);
    confirmWakeItem = reinterpret_cast<const ScheduleItem*>(lParam);
    return TRUE;
  }
  return ConfirmViewDlgProc(dialog, message, wParam, lParam);
}

HWND OpenConfirmDialog() {
  // Without a run there is no item to show.
  if (!CountdownDialogExists()) return nullptr;
  return CreateConfirmView(kConfig, ConfirmDlgProc);
}
