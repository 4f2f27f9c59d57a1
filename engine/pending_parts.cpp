// Stand-ins for windows built elsewhere; each is removed when its real one lands.
#include "pending_parts.h"


#include "main_window_state.h"

void OpenAboutDialog(HWND) {}

void OpenConfirmDialog() {}

LRESULT CALLBACK CountWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

void ToggleCountWindowClickThrough() { clickThrough = !clickThrough; }

SIZE CurrentCountWindowSize() { return SIZE{121, 44}; }

void LoadAppearanceFile(HWND) {}

void LoadCountWindowImages(HWND) {}

void InitLayeredPaintGlobals() {}
