#pragma once
#include <windows.h>
#include <unknwn.h>

// A hidden child window that holds one ActiveX control in place: the control
// is created with CoCreateInstance and given the small OLE client site it
// needs. Destroying the window closes and releases the control.

// Creates the host window (WS_CHILD, never visible, 0 x 0) under `parent`.
HWND CreateMediaHostWindow(HWND parent);

// Creates the control in the host window and returns a counted pointer to it.
HRESULT CreateHostedControl(HWND host, REFCLSID clsid, IUnknown** control);

// Runs call(context) from the host window's queue, once the control's event
// now running has returned. One call waits at a time (a later one takes its
// place); false when the window holds no control. Nothing runs when the window
// is gone by then, so a user of the control destroys the host before it frees
// the context.
bool PostHostCall(HWND host, void (*call)(void* context), void* context);
