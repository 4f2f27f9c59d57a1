#include "countdown_test_window.h"

#include "private_messages.h"

namespace {
int mailSteps;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgMailStep) {
    ++mailSteps;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

HWND CreateTestWindow() {
  static ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CountdownTestWindow";
    return RegisterClassW(&wc);
  }();
  (void)atom;
  mailSteps = 0;
  return CreateWindowExW(0, L"CountdownTestWindow", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

int TestWindowMailSteps() { return mailSteps; }
