#pragma once
#include <windows.h>

#include <cstdint>

#include "settings_dialog.h"

// Menu 143 "時刻設定" of the settings dialog: two quick menus of five
// durations each (end time from now, resume time from the end time), kept in
// ".\sopora.ini", the reset commands, and the editor dialog 177.

inline constexpr int kQuickMenuCount = 2;       // 0 end menu, 1 resume menu
inline constexpr int kQuickItemCount = 5;
inline constexpr int kQuickLabelChars = 6;

struct TimerQuickMenus {
  int32_t quickValues[kQuickMenuCount][kQuickItemCount];
  int32_t quickUnits[kQuickMenuCount][kQuickItemCount];  // 0 minutes, 1 hours
  int32_t quickEditTarget;                               // the menu the editor works on
  wchar_t quickLabels[kQuickMenuCount][kQuickItemCount][kQuickLabelChars];
};
extern TimerQuickMenus timerQuickMenus;

inline constexpr int kQuickMenuResource = 143;
inline constexpr int kQuickEditDialogId = 177;
inline constexpr UINT kCmdQuickEndFirst = 0x8034;     // 0x8034-0x8038
inline constexpr UINT kCmdQuickEndEdit = 0x8039;
inline constexpr UINT kCmdQuickResumeFirst = 0x803B;  // 0x803B-0x803F
inline constexpr UINT kCmdQuickResumeEdit = 0x8040;
// The reset commands (kCmdTimerResetEnd, kCmdTimerResetResume) and the picker
// ids are the settings dialog's.

// Controls of dialog 177.
inline constexpr int kQuickEditFirstLabelId = 1303;   // 1303-1307 "項目1".."項目5"
inline constexpr int kQuickEditFirstNumberId = 1308;  // 1308-1312
inline constexpr int kQuickEditFirstUnitId = 1313;    // 1313-1317
inline constexpr int kQuickEditDefaultsId = 1318;     // "初期化"

// The ini section of a menu: "Menu1" or "Menu2".
const wchar_t* QuickMenuSection(int which);
// The defaults of a menu, as numbers.
int32_t QuickMenuDefaultValue(int which, int item);
int32_t QuickMenuDefaultUnit(int which, int item);

// A number as read from its key (at most two characters): a negative number
// counts as 0, 100 or more as 99.
int32_t QuickValueFromText(const wchar_t* text);
// A unit as read from its key (one character): 2 or more means hours, a
// negative number minutes.
int32_t QuickUnitFromText(const wchar_t* text);

// "%d時間後" or "%d分後" into a buffer of kQuickLabelChars characters, cut
// to fit.
void TimerFormatQuickMenuItem(wchar_t* label, const wchar_t* format, int number);
// Formats the five captions of one menu from its numbers and units.
void TimerFormatQuickMenuLabels(TimerQuickMenus* table, int which);

// Reads both menus from ".\sopora.ini" into timerQuickMenus (the settings
// dialog calls this when it opens).
void TimerReadQuickMenus();
void TimerReadQuickMenus(const wchar_t* iniPath, TimerQuickMenus* table);
// Writes one menu's numbers and units with "%d"; false when a key could not
// be written.
bool TimerWriteQuickMenu(const wchar_t* iniPath, int which, const int32_t values[kQuickItemCount],
                         const int32_t units[kQuickItemCount]);

// The duration of an entry in days (the OLE date's unit).
double QuickMenuDays(int32_t value, int32_t unit);
// base + days through the OLE date; false (and *result untouched) when either
// conversion fails, as it does past 9999-12-31.
bool AddQuickMenuDays(const SYSTEMTIME& base, double days, SYSTEMTIME* result);
// The resume menu's base: the date of one picker with the hour and minute of
// the other, at whole minutes.
SYSTEMTIME QuickResumeBase(const SYSTEMTIME& endDate, const SYSTEMTIME& endTime);

// What a command of menu 143 asks for.
enum class QuickCommandKind { None, SetTime, Edit, Reset };
struct QuickCommand {
  QuickCommandKind kind;
  int which;  // 0 end, 1 resume
  int item;   // 0-4 for SetTime
};
QuickCommand DecodeQuickMenuCommand(UINT command);

// Which parts of menu 143 are enabled for the dialog's state.
struct QuickMenuEnabling {
  bool endPopup;      // position 0
  bool resumePopup;   // position 1
  bool resetPopup;    // position 3
  bool resetEnd;      // 0x8042
  bool resetResume;   // 0x8043
};
QuickMenuEnabling QuickMenuStates(int32_t mode, int32_t action, bool resumeEnabled);

// Loads menu 143 with the captions of `table` and the enabling of `states`;
// its popup is sub-menu 0. The caller destroys the returned menu.
HMENU LoadQuickMenu(const TimerQuickMenus& table, const QuickMenuEnabling& states);

// Sets the end (which 0: now plus days) or resume (which 1: the end pickers
// plus days) pickers of the dialog; false and the pickers unchanged when the
// date cannot be computed.
bool TimerSetPickersFromOffset(double days, HWND dialog, int which);

// Runs one command of menu 143 on the dialog: an entry sets its pickers, "編集"
// opens the editor, a reset command goes to the dialog as WM_COMMAND.
void TimerRunQuickMenuCommand(HWND dialog, UINT command);

// The right click on the settings dialog: shows menu 143 at screenPoint for
// timerSettings' mode, action and resumeEnabled, and runs the chosen command.
void TimerShowQuickMenu(HWND dialog, POINT screenPoint);

// Dialog 177; the creation parameter is the TimerQuickMenus to edit.
INT_PTR CALLBACK TimerQuickMenuEditDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Opens dialog 177 modally for menu `which` of timerQuickMenus.
INT_PTR TimerRunQuickMenuEditor(HWND owner, int which);
