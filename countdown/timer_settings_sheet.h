#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "sheet_layout.h"
#include "sheet_validation.h"
#include "sound_list_model.h"
#include "sound_preview.h"
#include "timer_dialog_items.h"
#include "timer_sheet_models.h"

class SoundPlayer;

// The countdown program's sheet "詳細設定" over the settings dialog: pages
// 152 "全般", 153 "アプリ起動", 172 "サウンド" and 154 "プロファイル". The
// pages write timerSettings on OK, all of them or none.
void TimerOpenSettingsSheet(HWND settingsDialog);

int CALLBACK TimerSettingsSheetCallback(HWND sheet, UINT message, LPARAM lParam);

INT_PTR CALLBACK TimerGeneralPageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TimerAppsPageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TimerSoundPageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TimerProfilePageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

inline constexpr int kTimerGeneralPageId = 152;
inline constexpr int kTimerAppsPageId = 153;
inline constexpr int kTimerSoundPageId = 172;
inline constexpr int kTimerProfilePageId = 154;

// The pages the OK pass asks, in its order; the sounds page checks nothing
// and is not asked.
inline constexpr int kTimerGeneralPage = 1;
inline constexpr int kTimerAppsPage = 2;
inline constexpr int kTimerProfilePage = 3;
inline constexpr int kTimerCheckedPageCount = 3;
inline constexpr int kTimerSoundPage = 4;  // for SheetPageMayStore only

// Sent by the pass to each opened page it asks.
inline constexpr UINT kMsgTimerCheckPage = 0x8001;

struct TimerSheetState {
  HWND sheetWindow;
  HWND pageWindows[kTimerCheckedPageCount];  // null for a page not opened in this sheet
  int32_t validationFailed;                  // page number, 0 for none
  TimerAppList apps;
  SoundListModel sounds;
  SoundPreview preview;  // the sounds page's player, from its first preview
};
extern TimerSheetState timerSheetState;
extern const SheetValidation timerSheetValidation;

// Where the general page puts the sheet and its parts at a DPI.
SheetLayout TimerComputeSheetLayout(int dpi, const RECT& workArea);

// The capture folder edit's text length plus 1, or -1 after the message that
// refuses it (shown over the owner).
int TimerCheckCaptureFolderLength(HWND edit, HWND owner);
