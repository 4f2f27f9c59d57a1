#pragma once
#include <windows.h>

#include "settings_sheet.h"

// Dialogs the menu opens that are built elsewhere. pending_dialogs.cpp holds
// the least that keeps the program running until they are linked here.

// Profile dialog 132: 1 when a profile was loaded.
INT_PTR RunProfileDialog(HWND owner);

// The five pages of the settings sheet in display order: general, sound,
// applications, capture, mail.
extern const SettingsPageEntry settingsPages[kSettingsPageCount];
