#include "control_subclasses.h"

#include <windowsx.h>


#include "dpi_scaling.h"

WNDPROC previousWheelToArrowKeysProc;
WNDPROC previousReadOnlyComboEditProc;
WNDPROC previousComboClickDropDownProc;
WNDPROC previousImageButtonProc;
WNDPROC previousInertHeaderProc;
uint8_t comboListRequested;

namespace {

bool rightButtonHeld;
int comboSelectAllCount;
bool imageButtonTracking;
int imageButtonHotWidth;
int imageButtonHotHeight;

LRESULT PassOn(WNDPROC slot, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!slot) return DefWindowProcW(window, message, wParam, lParam);
  return CallWindowProcW(slot, window, message, wParam, lParam);
}

void ArrowCursor() { SetCursor(LoadCursorW(nullptr, IDC_ARROW)); }
void HandCursor() { SetCursor(LoadCursorW(nullptr, IDC_HAND)); }

// Straight to the picker under the pointer, whatever has the keyboard focus;
// each press is a key-down and its key-up.
void SendArrowKeyPresses(HWND picker, WORD key, int presses) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
  for (int i = 0; i < presses; ++i) {
    PassOn(previousWheelToArrowKeysProc, picker, WM_KEYDOWN, key, scan | 1);
    PassOn(previousWheelToArrowKeysProc, picker, WM_KEYUP, key, scan | 1 | 0xC0000000);
  }
}

}  // namespace

void InstallSubclass(HWND control, WNDPROC procedure, WNDPROC* slot) {
  const LONG_PTR previous =
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
  // Several controls share one slot; never record our own procedure in it.
  if (reinterpret_cast<WNDPROC>(previous) != procedure) *slot = reinterpret_cast<WNDPROC>(previous);
}

// A partial notch of a fine wheel turns the same way as a whole one.
WORD WheelDeltaToArrowKey(short wheelDelta) { return wheelDelta > 0 ? VK_UP : VK_DOWN; }

LRESULT CALLBACK WheelToArrowKeysProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_RBUTTONDOWN:
      rightButtonHeld = true;
      SetCapture(window);
      break;
    case WM_RBUTTONUP:
      rightButtonHeld = false;
      ReleaseCapture();
      break;
    case WM_MOUSEWHEEL: {
      SendArrowKeyPresses(window, WheelDeltaToArrowKey(GET_WHEEL_DELTA_WPARAM(wParam)), rightButtonHeld ? 5 : 1);
      break;
    }
    default:
      break;
  }
  return PassOn(previousWheelToArrowKeysProc, window, message, wParam, lParam);
}

LRESULT CALLBACK ReadOnlyComboEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      PostMessageW(window, EM_SETSEL, static_cast<WPARAM>(-1), 0);
      break;
    case WM_SETFOCUS:
      SendMessageW(window, EM_SETSEL, 0, -1);
      return 0;
    case WM_CHAR:
      return 0;
    case WM_KILLFOCUS:
      SendMessageW(window, EM_SETSEL, static_cast<WPARAM>(-1), 0);
      break;
    case EM_SETSEL:
      if (lParam == 0x7FFFFFFF && static_cast<int>(wParam) != -1 && comboListRequested) {
        // The list selects all twice when it opens; the second ends the request.
        if (++comboSelectAllCount >= 2) {
          PostMessageW(window, EM_SETSEL, static_cast<WPARAM>(-1), 0);
          comboListRequested = 0;
          comboSelectAllCount = 0;
        }
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_F4) comboListRequested = 1;
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      ArrowCursor();
      break;
    case WM_LBUTTONDOWN:
      comboListRequested = 1;
      ArrowCursor();
      SendMessageW(GetParent(window), CB_SHOWDROPDOWN, TRUE, 0);
      break;
    case WM_RBUTTONUP:
      ArrowCursor();
      return 0;
    default:
      break;
  }
  return PassOn(previousReadOnlyComboEditProc, window, message, wParam, lParam);
}

LRESULT CALLBACK ComboClickDropDownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      comboListRequested = 1;
      // Passed on, the combo's own click leaves the opened list open.
      SendMessageW(window, CB_SHOWDROPDOWN, TRUE, 0);
      break;
    case WM_RBUTTONUP:
      ArrowCursor();
      return 0;
    default:
      break;
  }
  return PassOn(previousComboClickDropDownProc, window, message, wParam, lParam);
}

LRESULT CALLBACK ImageButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (imageButtonHotWidth == 0) {
    imageButtonHotWidth = ScaleX(28);
    imageButtonHotHeight = ScaleY(28);
  }
  switch (message) {
    case WM_MOUSEMOVE: {
      const int x = GET_X_LPARAM(lParam);
      const int y = GET_Y_LPARAM(lParam);
      if (!imageButtonTracking) {
        imageButtonTracking = true;
        HandCursor();
        SetCapture(window);
      } else if (x < 0 || y < 0 || x > imageButtonHotWidth || y > imageButtonHotHeight) {
        ReleaseCapture();
        imageButtonTracking = false;
      }
      break;
    }
    case WM_LBUTTONDOWN:
      HandCursor();
      break;
    case WM_LBUTTONUP: {
      // The button's own BN_CLICKED is the one command of a click; a second
      // one sent from here would run the parent's handler twice. The button
      // releases the capture on its way, so it is taken again afterwards.
      const LRESULT result = PassOn(previousImageButtonProc, window, message, wParam, lParam);
      if (IsWindow(window)) {
        SetCapture(window);
        imageButtonTracking = true;
        HandCursor();
      }
      return result;
    }
    case WM_CAPTURECHANGED:
      // Tracking lasts only while this button holds the capture.
      if (reinterpret_cast<HWND>(lParam) != window) imageButtonTracking = false;
      break;
    default:
      break;
  }
  return PassOn(previousImageButtonProc, window, message, wParam, lParam);
}

LRESULT CALLBACK InertHeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return 0;
    default:
      return PassOn(previousInertHeaderProc, window, message, wParam, lParam);
  }
}
