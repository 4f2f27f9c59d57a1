#pragma once
#include <windows.h>

#include "about_dialog.h"

// The scheduler's about box 152.
const AboutBoxConfig& SchedulerAboutBox();
// Opens it modal (aboutDialog while open).
void OpenAboutDialog(HWND owner);
