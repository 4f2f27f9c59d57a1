#pragma once
#include <windows.h>

#include "shared/count_messages.h"

// The scheduler's private window messages, numbered from WM_APP. One number
// means different things to different receivers; the names say which.
inline constexpr UINT kMsgShowCountdownStatic = 0x8000;  // countdown dialog, to itself at start
inline constexpr UINT kMsgMainDialogActivate = 0x8000;   // main dialog, wParam 1 activated / 0
inline constexpr UINT kMsgSwitchMode = 0x8000;           // main window, posted by the main dialog
inline constexpr UINT kMsgItemsToShow = 0x8000;          // dialogs 179/181: wParam current, lParam wake item
inline constexpr UINT kMsgStopAnimation = 0x8000;        // mail progress dialog 148
inline constexpr UINT kMsgFillFromModel = 0x8001;        // dialogs and settings pages
inline constexpr UINT kMsgRepaintCountWindow = 0x8002;   // countdown dialog; lParam 1 reloads the label
inline constexpr UINT kMsgRefreshPage = 0x8002;          // settings pages 157, 158, 159
inline constexpr UINT kMsgStopSound = kMsgStageStopSound;  // countdown dialog: tray "停止"
inline constexpr UINT kMsgApplyMute = kMsgStageApplyMute;  // countdown dialog: tray "ミュート"
inline constexpr UINT kMsgMailStep = 0x8005;             // mail job owner: one SMTP step done
inline constexpr UINT kMsgCancelMail = 0x8006;           // countdown dialog: tray "中断" while mail runs
inline constexpr UINT kMsgMailDone = 0x8007;             // mail job owner, posted: wParam closeMode
inline constexpr UINT kMsgAskItems = 0x8008;             // countdown dialog: lParam the asking window
inline constexpr UINT kMsgQueryPlaying = kMsgStageQueryPlaying;  // countdown dialog: lParam points to a byte
inline constexpr UINT kMsgTrySkin = 0x800a;              // appearance dialog 151
inline constexpr UINT kMsgMediumEnded = kMsgStageMediumEnded;  // the sound player's owner
inline constexpr UINT kMsgTrayCallback = 0x8064;         // main window: lParam the mouse message

// Main window commands (WM_COMMAND low word): tray menus 109 and 146 and the
// accelerators.
inline constexpr UINT kCmdAbout = 104;             // accelerator Alt+? / Alt+/
inline constexpr UINT kCmdExit = 105;              // "終了"
inline constexpr UINT kCmdAbort = 0x8003;          // "中断"
inline constexpr UINT kCmdMoveCountHome = 0x800b;  // "カウント画面を既定位置に移動"
inline constexpr UINT kCmdStopSound = 0x800d;      // "停止"
inline constexpr UINT kCmdMute = 0x800e;           // "ミュート"
inline constexpr UINT kCmdClickThrough = 0x8012;   // "カウント画面上でのマウス操作を透過する"
inline constexpr UINT kCmdAboutRunning = 0x801c;   // "バージョン情報" of menu 146
inline constexpr UINT kCmdAboutIdle = 0x801d;      // "バージョン情報" of menu 109
inline constexpr UINT kCmdConfirm = 0x801e;        // "設定情報の確認"
inline constexpr UINT kCmdFeatureSwitches = 0x8027;  // "機能の有効/無効"
inline constexpr UINT kCmdEndNow = 0x802f;         // "今すぐ終了する"
