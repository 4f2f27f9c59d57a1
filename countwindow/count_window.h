#pragma once
#include <windows.h>

#include "count_window_config.h"

// The "CountClass" window: the layered image behind the countdown dialog that
// takes the mouse for the pair.

struct CountWindowSettings {
  bool topMost;
  bool fixed;
  bool clickThrough;
  POINT homePosition;
  POINT lastMovedPosition;  // the countdown dialog's top-left after the last drag
  HWND appearanceDialog;
};
extern CountWindowSettings countWindowSettings;

inline constexpr const wchar_t* kCountWindowClassName = L"CountClass";
inline constexpr const wchar_t* kCountWindowSection = L"CountWindow";

// The "CountWindow" keys of the program's ini file, with the centred defaults.
void LoadCountWindowSettings();
// The range a stored coordinate can be read back in (4 characters).
int ClampStoredCoordinate(int value);
// Writes a key of the "CountWindow" section as "%d".
void WriteCountWindowInt(const wchar_t* key, int value);

// Registers "CountClass" with the program's icon resource.
bool RegisterCountWindowClass(HINSTANCE instance, int iconId);
LRESULT CALLBACK CountWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the count window behind the countdown dialog (which exists), puts the
// pair at the home position in the current form's size, asks the dialog to
// paint (0x8002 with lParam 1) and shows both unless hidden at start.
HWND CreateCountWindow(bool hideAtStart);
void ToggleCountWindowClickThrough();

// For the countdown dialog's procedure.
void PlaceCountWindowBehind(HWND front);    // WM_ACTIVATE and the count window's WM_NCACTIVATE
void FollowCountdownDialog(HWND front);     // WM_MOVE: the count window goes where the dialog is
void RecordLastMovedPosition(HWND front);   // WM_EXITSIZEMOVE
void MoveCountPairHome();                   // double click and the tray's "既定位置に移動"
