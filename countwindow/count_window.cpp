#include "count_window.h"

#include <cwchar>

#include "appearance.h"
#include "skins.h"

CountWindowSettings countWindowSettings;

const CountWindowConfig kSchedulerCountWindowConfig = {
    L".\\Scheduler.ini", L"data_skd",
    {199, 200, 201, 202, 203, 204}, {205, 206, 207, 208, 209, 210}, 178,
    139, 32817, 32775, 32785, 32784, 32776, 151, nullptr, nullptr, nullptr};

const CountWindowConfig kCountdownCountWindowConfig = {
    L".\\sopora.ini", L"data",
    {156, 157, 158, 159, 160, 161}, {162, 163, 164, 165, 166, 182}, 186,
    132, 32876, 32840, 32841, 32843, 32845, 170, nullptr, nullptr, nullptr};

CountWindowConfig countWindowConfig = kSchedulerCountWindowConfig;

namespace {

HWND FrontWindow() { return countWindowConfig.frontWindow ? *countWindowConfig.frontWindow : nullptr; }

int ReadIniInt(const wchar_t* key, int characters, int defaultValue) {
  wchar_t defaultText[16];
  _snwprintf(defaultText, 16, L"%d", defaultValue);
  defaultText[15] = L'\0';
  wchar_t text[16] = L"";
  GetPrivateProfileStringW(kCountWindowSection, key, defaultText, text,
                           static_cast<DWORD>(characters + 1), countWindowConfig.iniPath);
  return _wtoi(text);
}

void MovePairTo(POINT position) {
  HWND front = FrontWindow();
  SIZE size = CountWindowFormSize();
  if (front) MoveWindow(front, position.x, position.y, size.cx, size.cy, FALSE);
}

// A home position off every monitor would open the pair where nobody sees it.
POINT VisibleHome(POINT home) {
  SIZE size = CountWindowFormSize();
  RECT wanted = {home.x, home.y, home.x + size.cx, home.y + size.cy};
  if (MonitorFromRect(&wanted, MONITOR_DEFAULTTONULL)) return home;
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  POINT centred = {(work.right - size.cx) / 2, (work.bottom - size.cy) / 2};
  return centred;
}

void ShowMenu(HWND window, LPARAM lParam) {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(countWindowConfig.contextMenuId));
  if (!menu) return;
  HMENU popup = GetSubMenu(menu, 0);
  if (popup) {
    CheckMenuItem(popup, static_cast<UINT>(countWindowConfig.topMostCommand),
                  MF_BYCOMMAND | (countWindowSettings.topMost ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(popup, static_cast<UINT>(countWindowConfig.fixCommand),
                  MF_BYCOMMAND | (countWindowSettings.fixed ? MF_CHECKED : MF_UNCHECKED));
    POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(window, &at);
    if (HWND front = FrontWindow()) SetForegroundWindow(front);
    TrackPopupMenu(popup, TPM_LEFTBUTTON, at.x, at.y, 0, window, nullptr);
  }
  DestroyMenu(menu);
}

void HandleCommand(HWND window, int id) {
  const CountWindowConfig& config = countWindowConfig;
  HWND front = FrontWindow();
  if (id == config.hideCommand) {
    if (front) ShowWindow(front, SW_HIDE);
    ShowWindow(window, SW_HIDE);
  } else if (id == config.topMostCommand) {
    countWindowSettings.topMost = !countWindowSettings.topMost;
    if (front)
      SetWindowPos(front, countWindowSettings.topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE);
    PlaceCountWindowBehind(front);
    WriteCountWindowInt(L"TopMost", countWindowSettings.topMost);
  } else if (id == config.fixCommand) {
    countWindowSettings.fixed = !countWindowSettings.fixed;
    WriteCountWindowInt(L"Fix", countWindowSettings.fixed);
  } else if (id == config.setHomeCommand) {
    countWindowSettings.homePosition = countWindowSettings.lastMovedPosition;
    WriteCountWindowInt(L"CountPos.x", countWindowSettings.homePosition.x);
    WriteCountWindowInt(L"CountPos.y", countWindowSettings.homePosition.y);
  } else if (id == config.appearanceCommand) {
    if (!countWindowSettings.appearanceDialog && config.appearanceDialogProc)
      DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(config.appearanceDialogId), front,
                      config.appearanceDialogProc, 0);
  }
}

}  // namespace

void LoadCountWindowSettings() {
  RECT work = {0, 0, 0, 0};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  LoadCountWindowSettings(work);
}

void LoadCountWindowSettings(const RECT& work) {
  countWindowSettings.homePosition.x = ReadIniInt(L"CountPos.x", 4, (work.right - kBuiltinWidth) / 2);
  countWindowSettings.homePosition.y = ReadIniInt(L"CountPos.y", 4, (work.bottom - kBuiltinHeight) / 2);
  countWindowSettings.lastMovedPosition = countWindowSettings.homePosition;
  countWindowSettings.fixed = ReadIniInt(L"Fix", 1, 0) != 0;
  countWindowSettings.topMost = ReadIniInt(L"TopMost", 1, 0) != 0;
  countWindowSettings.clickThrough = ReadIniInt(L"TransParent", 1, 0) != 0;
}

int ClampStoredCoordinate(int value) { return value < -999 ? -999 : value > 9999 ? 9999 : value; }

void WriteCountWindowInt(const wchar_t* key, int value) {
  wchar_t text[16];
  _snwprintf(text, 16, L"%d", ClampStoredCoordinate(value));
  text[15] = L'\0';
  WritePrivateProfileStringW(kCountWindowSection, key, text, countWindowConfig.iniPath);
}

bool RegisterCountWindowClass(HINSTANCE instance, int iconId) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = CountWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 48, 48, 0));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 16, 16, 0));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  windowClass.lpszClassName = kCountWindowClassName;
  return RegisterClassExW(&windowClass) != 0;
}

LRESULT CALLBACK CountWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      countWindow = window;
      countWindowCreated = 1;
      return 0;
    case WM_NCACTIVATE:
      if (!wParam) return TRUE;
      PlaceCountWindowBehind(FrontWindow());
      return 0;
    case WM_LBUTTONDOWN:
      if (!countWindowSettings.fixed) {
        if (HWND front = FrontWindow()) {
          // The system's move loop wants the point in screen coordinates.
          POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
          ClientToScreen(window, &at);
          SendMessageW(front, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(at.x, at.y));
        }
      }
      return 0;
    case WM_LBUTTONDBLCLK:
      if (!countWindowSettings.fixed) MovePairTo(countWindowSettings.homePosition);
      return 0;
    case WM_RBUTTONUP:
      ShowMenu(window, lParam);
      return 0;
    case WM_COMMAND:
      HandleCommand(window, LOWORD(wParam));
      return 0;
    case WM_DESTROY:
      if (countWindow == window) countWindow = nullptr;
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

HWND CreateCountWindow(bool hideAtStart) {
  HWND front = FrontWindow();
  HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, kCountWindowClassName, L"",
                                WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (!window) return nullptr;
  // The stored toggles take effect on each new pair, as their check marks say.
  if (countWindowSettings.clickThrough)
    SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
  if (countWindowSettings.topMost && front)
    SetWindowPos(front, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  POINT home = VisibleHome(countWindowSettings.homePosition);
  SIZE size = CountWindowFormSize();
  MoveWindow(window, home.x, home.y, size.cx, size.cy, TRUE);
  if (hideAtStart) {
    if (front) ShowWindow(front, SW_HIDE);
    ShowWindow(window, SW_HIDE);
  }
  if (front) SendMessageW(front, 0x8002, 0, 1);
  if (!hideAtStart) {
    if (front) ShowWindow(front, SW_SHOW);
    ShowWindow(window, SW_SHOW);
    PlaceCountWindowBehind(front);
  }
  return window;
}

void ToggleCountWindowClickThrough() {
  countWindowSettings.clickThrough = !countWindowSettings.clickThrough;
  if (countWindow) {
    LONG style = GetWindowLongW(countWindow, GWL_EXSTYLE);
    style = countWindowSettings.clickThrough ? (style | WS_EX_TRANSPARENT) : (style & ~WS_EX_TRANSPARENT);
    SetWindowLongW(countWindow, GWL_EXSTYLE, style);
    SetWindowPos(countWindow, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED |
                     SWP_NOOWNERZORDER);
  }
  WriteCountWindowInt(L"TransParent", countWindowSettings.clickThrough);
}

void PlaceCountWindowBehind(HWND front) {
  if (front && countWindow)
    SetWindowPos(countWindow, front, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
}

void FollowCountdownDialog(HWND front) {
  RECT rect;
  if (!countWindow || !GetWindowRect(front, &rect)) return;
  SIZE size = CountWindowFormSize();
  MoveWindow(countWindow, rect.left, rect.top, size.cx, size.cy, TRUE);
}

void RecordLastMovedPosition(HWND front) {
  RECT rect;
  if (!GetWindowRect(front, &rect)) return;
  countWindowSettings.lastMovedPosition = {rect.left, rect.top};
}

void MoveCountPairHome() { MovePairTo(countWindowSettings.homePosition); }

bool HandleCountPairFrontMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, int digitsId,
                                 HBRUSH dialogBrush, HBRUSH staticBrush, INT_PTR* result) {
  *result = TRUE;
  switch (message) {
    case WM_MOVE:
      FollowCountdownDialog(dialog);
      return true;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) PlaceCountWindowBehind(dialog);
      *result = FALSE;
      return true;
    case WM_CTLCOLORDLG:
      *result = reinterpret_cast<INT_PTR>(dialogBrush);
      return true;
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == digitsId) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, RGB(255, 255, 255));
        const TextColor& digits = appearance.textColor;
        SetTextColor(dc, RGB(digits.red, digits.green, digits.blue));
        *result = reinterpret_cast<INT_PTR>(staticBrush);
      } else {
        *result = FALSE;
      }
      return true;
    case WM_LBUTTONDOWN:
      SendMessageW(dialog, WM_NCLBUTTONDOWN, HTCAPTION, 0);
      return true;
    case WM_RBUTTONUP:
      if (countWindow) SendMessageW(countWindow, WM_RBUTTONUP, wParam, lParam);
      return true;
    case WM_EXITSIZEMOVE:
      RecordLastMovedPosition(dialog);
      return true;
    default:
      return false;
  }
}
