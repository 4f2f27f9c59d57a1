#include "modal_driver.h"

#include <gtest/gtest.h>

#include <map>

#include "sheet_runner.h"

namespace testing_support {

namespace {

struct DriverState {
  std::function<bool()> step;
  bool finished = false;
  bool running = false;
  DWORD started = 0;
  DWORD limit = 0;
};
std::map<UINT_PTR, DriverState>& Drivers() {
  static std::map<UINT_PTR, DriverState> drivers;
  return drivers;
}

void CALLBACK DriverTimerProc(HWND, UINT, UINT_PTR timer, DWORD) {
  auto it = Drivers().find(timer);
  if (it == Drivers().end() || it->second.finished) return;
  if (GetTickCount() - it->second.started > it->second.limit) {
    it->second.finished = true;
    KillTimer(nullptr, timer);
    ADD_FAILURE() << "a modal driver's step was still unfinished when its time was up";
    CancelThreadModalLoops(nullptr);
    return;
  }
  if (it->second.running) return;
  it->second.running = true;
  const bool done = it->second.step();
  it = Drivers().find(timer);
  if (it == Drivers().end()) return;
  it->second.running = false;
  if (done) {
    it->second.finished = true;
    KillTimer(nullptr, timer);
  }
}

struct DialogSearch {
  int controlId;
  HWND found;
};

BOOL CALLBACK FindDialogProc(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<DialogSearch*>(lParam);
  wchar_t cls[16] = L"";
  GetClassNameW(window, cls, 16);
  if (IsWindowVisible(window) && lstrcmpW(cls, L"#32770") == 0 && GetDlgItem(window, search->controlId)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindMenuWindowProc(HWND window, LPARAM lParam) {
  wchar_t cls[16] = L"";
  GetClassNameW(window, cls, 16);
  if (IsWindowVisible(window) && lstrcmpW(cls, L"#32768") == 0) {
    *reinterpret_cast<HWND*>(lParam) = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

ModalDriver::ModalDriver(std::function<bool()> step, DWORD limitMs) {
  timer_ = SetTimer(nullptr, 0, 50, DriverTimerProc);
  DriverState& state = Drivers()[timer_];
  state.step = std::move(step);
  state.started = GetTickCount();
  state.limit = limitMs;
}

ModalDriver::~ModalDriver() {
  KillTimer(nullptr, timer_);
  Drivers().erase(timer_);
}

bool ModalDriver::finished() const {
  auto it = Drivers().find(timer_);
  return it != Drivers().end() && it->second.finished;
}

HWND FindThreadDialogWithControl(int controlId) {
  DialogSearch search{controlId, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindDialogProc, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HMENU FindShownPopupMenu() {
  HWND menuWindow = nullptr;
  EnumWindows(FindMenuWindowProc, reinterpret_cast<LPARAM>(&menuWindow));
  if (!menuWindow) return nullptr;
  return reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
}

std::vector<MenuItemInfo> DescribeMenu(HMENU menu) {
  std::vector<MenuItemInfo> items;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[128] = L"";
    GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
    // GetMenuState mixes a submenu's item count into its flags; this does not.
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item) || (item.fType & MFT_SEPARATOR)) continue;
    MenuItemInfo info{text, item.hSubMenu ? 0xFFFFFFFFu : item.wID, (item.fState & MFS_CHECKED) != 0,
                      (item.fState & MFS_GRAYED) != 0, {}};
    if (item.hSubMenu) info.children = DescribeMenu(item.hSubMenu);
    items.push_back(info);
  }
  return items;
}

const MenuItemInfo* FindMenuItem(const std::vector<MenuItemInfo>& items, const std::wstring& text) {
  for (const auto& item : items) {
    if (item.text == text) return &item;
    if (const MenuItemInfo* inner = FindMenuItem(item.children, text)) return inner;
  }
  return nullptr;
}

}  // namespace testing_support
