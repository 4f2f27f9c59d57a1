#pragma once
#include <windows.h>

// Messages both programs' count dialogs answer, with the same numbers: the
// tray and the sound player send them, the shared count stages handle them.
inline constexpr UINT kMsgStageStopSound = 0x8003;     // tray "停止"; the dialog's own WM_DESTROY
inline constexpr UINT kMsgStageApplyMute = 0x8004;     // tray "ミュート"
inline constexpr UINT kMsgStageQueryPlaying = 0x8009;  // lParam points to a byte
inline constexpr UINT kMsgCloseEndedMedium = 0x8031;   // posted to itself on 0x8032
inline constexpr UINT kMsgStageMediumEnded = 0x8032;   // the sound player's event sink
