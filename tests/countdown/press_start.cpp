// Presses "開始" in the settings dialog of the running Sopora.exe, the way a
// user starts the loaded default profile. Waits up to a minute for the frame.
#include <windows.h>

int wmain() {
  for (int i = 0; i < 600; ++i) {
    HWND frame = FindWindowW(L"SOPORA", nullptr);
    HWND dialog = frame ? FindWindowExW(frame, nullptr, L"#32770", nullptr) : nullptr;
    HWND start = dialog ? GetDlgItem(dialog, IDOK) : nullptr;
    if (start && IsWindowVisible(frame)) {
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(start));
      return 0;
    }
    Sleep(100);
  }
  return 1;
}
