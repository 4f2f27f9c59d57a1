#pragma once
#include <windows.h>

#include <cstdint>

#include "shared/count_messages.h"

// Process-wide handles and flags of the countdown program, on the
// user-interface thread. countWindow and countWindowCreated are declared with
// the count window (count_window_config.h).
extern HWND mainWindow;
extern HWND settingsDialog;
extern HWND countDialog;       // null while no countdown runs
extern HWND overviewDialog;    // the settings overview, while open
extern HWND aboutDialog;       // the about box, while open
extern uint8_t endNowRequested;  // tray "今すぐ終了する"; the count dialog reads and clears it
extern uint8_t suppressApps;     // set by the zero action after an unexpected resume
extern uint8_t suppressSound;
extern int32_t nextAppIndex;     // next after-resume application slot (0-10)
extern OSVERSIONINFOW windowsVersion;

// Names by position: 0-4 the power actions, 5-7 the countdown modes. The
// English keys exist for the power actions only.
inline constexpr int kTimerNameCount = 8;
extern const wchar_t* timerActionKeyNames[5];
extern const wchar_t* timerDisplayNames[kTimerNameCount];
// Fills the tables for the Windows major version ("スタンバイ" before 6, else "スリープ").
void TimerInitNames(unsigned majorVersion);
// The display name of a power action, or "" outside 0-4.
const wchar_t* TimerActionDisplayName(int32_t action);

// The countdown program's private window messages beyond the shared ones.
inline constexpr UINT kMsgShowTimeStatic = 0x8000;    // count dialog, to itself at start
inline constexpr UINT kMsgSettingsActivate = 0x8000;  // settings dialog: wParam 1 active, 0 not
inline constexpr UINT kMsgApplyProfile = 0x8001;      // settings dialog
inline constexpr UINT kMsgRepaintCount = 0x8002;      // count dialog; lParam 1 reloads the label
inline constexpr UINT kMsgStopSound = kMsgStageStopSound;        // count dialog: tray "停止"
inline constexpr UINT kMsgApplyMute = kMsgStageApplyMute;        // count dialog: tray "ミュート"
inline constexpr UINT kMsgQueryPlaying = kMsgStageQueryPlaying;  // count dialog: lParam points to a byte
inline constexpr UINT kMsgZeroAction = 0x801E;        // count dialog, to itself
inline constexpr UINT kMsgAfterResume = 0x801F;       // count dialog, to itself
inline constexpr UINT kMsgMediumEnded = kMsgStageMediumEnded;  // the sound player's owner

// Main window commands: menus 109 and 173.
inline constexpr UINT kCmdExit = 105;                 // "終了" of menu 109
inline constexpr UINT kCmdAbort = 0x8003;             // "中断"
inline constexpr UINT kCmdMoveCountHome = 0x805A;     // "カウント画面を既定位置に移動"
inline constexpr UINT kCmdStopSound = 0x805B;         // "停止"
inline constexpr UINT kCmdMute = 0x805C;              // "ミュート"
inline constexpr UINT kCmdClickThrough = 0x805D;      // "カウント画面上でのマウス操作を透過する"
inline constexpr UINT kCmdOverview = 0x805E;          // "設定情報の確認"
inline constexpr UINT kCmdAboutRunning = 0x805F;      // "バージョン情報" of menu 109
inline constexpr UINT kCmdExitIdle = 0x8061;          // "終了" of menu 173
inline constexpr UINT kCmdAboutIdle = 0x8062;         // "バージョン情報" of menu 173
inline constexpr UINT kCmdEndNow = 0x806B;            // "今すぐ終了する"
