#pragma once
#include <windows.h>

#include "about_dialog.h"

// The countdown program's about box, dialog 178: the shared about box with
// this program's version, names and version file.
const AboutBoxConfig& TimerAboutBox();
// Modal, owned by the main window.
void OpenTimerAboutDialog(HWND owner);
