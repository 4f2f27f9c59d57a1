// Presses "開始" in the settings dialog of the running Sopora.exe, the way a
// user starts the loaded default profile. Waits up to a minute for the frame.
//   press_start.exe            "開始" only
//   press_start.exe quick <n>  first the right click on the dialog and entry n
//                              (1-5) of the end menu, by keyboard, then "開始"
//   press_start.exe nudge      after "開始", moves the mouse now and then, as a
//                              user back at the machine does, until the
//                              program's frame is gone (0) or for two minutes (3)
#include <windows.h>

#include <cwchar>

namespace {

HWND WaitForDialog() {
  for (int i = 0; i < 600; ++i) {
    HWND frame = FindWindowW(L"SOPORA", nullptr);
    HWND dialog = frame ? FindWindowExW(frame, nullptr, L"#32770", nullptr) : nullptr;
    if (dialog && GetDlgItem(dialog, IDOK) && IsWindowVisible(frame)) return dialog;
    Sleep(100);
  }
  return nullptr;
}

// The popup menu windows of the program, counted; the menu loop runs on its
// thread, so the keys go to its queue through the menu window.
int VisibleMenus(HWND* last = nullptr) {
  int seen = 0;
  for (HWND w = FindWindowW(L"#32768", nullptr); w; w = FindWindowExW(nullptr, w, L"#32768", nullptr))
    if (IsWindowVisible(w)) {
      ++seen;
      if (last) *last = w;
    }
  return seen;
}

HWND WaitForMenus(int count) {
  for (int i = 0; i < 100; ++i) {
    HWND last = nullptr;
    if (VisibleMenus(&last) >= count) return last;
    Sleep(100);
  }
  return nullptr;
}

void Key(HWND window, WPARAM key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001);
  Sleep(300);
}

// Entry `item` of the first popup of the quick menu.
bool ChooseQuickEntry(HWND dialog, int item) {
  PostMessageW(dialog, WM_RBUTTONUP, 0, MAKELPARAM(4, 4));
  HWND menu = WaitForMenus(1);
  if (!menu) return false;
  Key(menu, VK_DOWN);   // the end popup
  Key(menu, VK_RIGHT);  // opens it on its first entry
  HWND popup = WaitForMenus(2);
  if (!popup) return false;
  for (int i = 1; i < item; ++i) Key(popup, VK_DOWN);
  Key(popup, VK_RETURN);
  for (int i = 0; i < 50 && VisibleMenus() > 0; ++i) Sleep(100);
  return true;
}

// Input the program's low-level hooks see, from this other process.
void MoveMouse() {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = 1;
  input.mi.dwFlags = MOUSEEVENTF_MOVE;
  SendInput(1, &input, sizeof input);
  input.mi.dx = -1;
  SendInput(1, &input, sizeof input);
}

int NudgeUntilGone() {
  for (int i = 0; i < 240; ++i) {
    if (!FindWindowW(L"SOPORA", nullptr)) return 0;
    MoveMouse();
    Sleep(500);
  }
  return 3;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  HWND dialog = WaitForDialog();
  if (!dialog) return 1;
  if (argc == 3 && wcscmp(argv[1], L"quick") == 0) {
    if (!ChooseQuickEntry(dialog, _wtoi(argv[2]))) return 2;
    Sleep(500);
  }
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  if (argc == 2 && wcscmp(argv[1], L"nudge") == 0) return NudgeUntilGone();
  return 0;
}
