#pragma once
#include <windows.h>

#include "shared/ui_setup.h"

// Start-up pieces of the scheduler's main window creation; the ones both
// programs share (InitCommonUi, CreateUiFonts) are in shared/ui_setup.h.

// Bitmaps 164-168 at 28 x 28, each selected into its own memory DC; false when
// one is missing.
bool LoadButtonBitmaps(HWND window);
