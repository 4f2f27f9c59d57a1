#pragma once
#include <windows.h>

#include "settings_sheet.h"

// The five pages of the settings sheet in display order: general, sound,
// applications, capture, mail.
extern const SettingsPageEntry settingsPages[kSettingsPageCount];
