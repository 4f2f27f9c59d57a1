#pragma once

// Names of the power actions (PowerAction order): keys for the log and the
// capture file name, display names for the dialogs and the status text.
// Index 4 is "Standby"/"スタンバイ" before Windows 6, else "Sleep"/"スリープ".
inline constexpr int kActionNameCount = 6;
extern const wchar_t* actionKeyNames[kActionNameCount - 1];
extern const wchar_t* actionDisplayNames[kActionNameCount];

// Fills the tables for the Windows major version.
void InitPowerActionNames(unsigned majorVersion);
