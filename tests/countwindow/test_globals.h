#pragma once
#include <windows.h>

#include "appearance.h"

// The program globals a count-window test stands in for, and helpers to reset
// the shared state between tests.
extern HWND testFrontWindow;

// Appearance back to the zero state (images freed), scheduler configuration.
void ResetAppearance();
