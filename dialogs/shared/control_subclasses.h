#pragma once
#include <windows.h>

#include <cstdint>

// Subclass procedures that give standard controls a behaviour of their own.
// Each keeps the control's previous procedure in its own program-wide slot
// (all controls of one procedure are of one class) and passes on every message
// it does not swallow.
extern WNDPROC previousWheelToArrowKeysProc;
extern WNDPROC previousReadOnlyComboEditProc;
extern WNDPROC previousComboClickDropDownProc;
extern WNDPROC previousImageButtonProc;
extern WNDPROC previousInertHeaderProc;

// Set when the user asks a combo box for its list (click or F4).
extern uint8_t comboListRequested;

// Replaces the control's procedure and keeps the previous one in the slot.
void InstallSubclass(HWND control, WNDPROC procedure, WNDPROC* slot);

// Time picker: the wheel acts as the arrow keys, sent to the picker itself;
// five steps while the right button is held.
LRESULT CALLBACK WheelToArrowKeysProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Edit part of a drop-down combo: shows the choice, cannot be typed into.
LRESULT CALLBACK ReadOnlyComboEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The same combo box: a click opens the list, no context menu.
LRESULT CALLBACK ComboClickDropDownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A picture that behaves like a link-style button (scheduler only): hand
// cursor over it; a click reaches the parent once, as the button's BN_CLICKED.
LRESULT CALLBACK ImageButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A list-view header that ignores clicks and drags (scheduler only).
LRESULT CALLBACK InertHeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The arrow key one wheel message stands for: any upward delta, a partial
// notch included, means Up; everything else means Down.
WORD WheelDeltaToArrowKey(short wheelDelta);
