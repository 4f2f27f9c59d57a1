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

// The "CountWindow" keys of the program's ini file (countWindowConfig.iniPath),
// the only place they are read. A position goes through a 5-character buffer
// (at most 4 characters: "12345" reads as 1234), a flag through 2; numbers are
// an optional sign and the leading digits. Without a key the home position
// centres a 121 x 44 window on `workArea` ("%d", halved toward zero); both
// positions also set lastMovedPosition.
void LoadCountWindowSettings(const RECT& workArea);
// The same with the desktop's current work area.
void LoadCountWindowSettings();
// The range a stored coordinate can be read back in (4 characters).
int ClampStoredCoordinate(int value);
// Writes a key of the "CountWindow" section as "%d".
void WriteCountWindowInt(const wchar_t* key, int value);

// Registers "CountClass" with the program's icon resource.
bool RegisterCountWindowClass(HINSTANCE instance, int iconId);
LRESULT CALLBACK CountWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The second step of starting a run, right after CreateCountdownDialog():
// creates the count window behind the countdown dialog (*countWindowConfig.
// frontWindow, which must exist), puts the pair at the home position in the
// current form's size, asks the dialog to paint (0x8002 with lParam 1) and
// shows both unless `hideAtStart` (GeneralSettings::hideTimerAtStart). The
// window sets countWindow and countWindowCreated; null when it cannot be made.
// The run's end destroys it before the countdown dialog.
HWND CreateCountWindow(bool hideAtStart);
void ToggleCountWindowClickThrough();

// For the countdown dialog's procedure, so that the pair moves together.
void PlaceCountWindowBehind(HWND front);    // WM_ACTIVATE and the count window's WM_NCACTIVATE
void FollowCountdownDialog(HWND front);     // WM_MOVE: the count window goes where the dialog is
void RecordLastMovedPosition(HWND front);   // WM_EXITSIZEMOVE
void MoveCountPairHome();                   // double click and the tray's "既定位置に移動"

// The messages both programs' countdown dialogs handle alike as the front of
// the pair: moving and stacking it with the count window, dragging it by its
// body, handing the right button to the count window, and the white ground
// with the digits (static `digitsId`) in the appearance's colour. Sets
// `*result` and returns true for a message it handled.
bool HandleCountPairFrontMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, int digitsId,
                                 HBRUSH dialogBrush, HBRUSH staticBrush, INT_PTR* result);
