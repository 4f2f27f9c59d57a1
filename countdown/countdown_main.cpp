#include <windows.h>

#include "shared/error_log.h"
#include "shared/program_paths.h"

namespace {

wchar_t windowTitle[100];
wchar_t className[100];

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  SetErrorLogFileName(kCountdownErrorLogName);
  InitProgramPaths();
  LoadStringW(instance, 103, windowTitle, 100);
  LoadStringW(instance, 109, className, 100);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = MainWndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className;
  if (!RegisterClassExW(&wc)) return 0;

  HWND window = CreateWindowExW(0, className, windowTitle, WS_SYSMENU | WS_MINIMIZEBOX,
                                CW_USEDEFAULT, 0, 480, 360, nullptr, nullptr, instance, nullptr);
  if (!window) return 0;
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
