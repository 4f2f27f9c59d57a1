#pragma once
#include <windows.h>

#include <vector>

#include "settings_sheet.h"

// Dialogs the menu opens that are built elsewhere. pending_dialogs.cpp holds
// the least that keeps the program running until they are linked here.

// The sound page 158 stands in until it is built: it records the positions
// the action list sends it.
struct StandInChoice {
  int page;  // kSoundPage
  int position;
};
extern std::vector<StandInChoice> standInChoices;

// The five pages of the settings sheet in display order: general, sound,
// applications, capture, mail.
extern const SettingsPageEntry settingsPages[kSettingsPageCount];
