#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "wait.h"

namespace testing_support {

// Runs `step` from a thread timer on this thread, so it also runs inside a
// modal loop (a dialog box, a popup menu) that the code under test enters.
// The step is called until it returns true; the driver then stops. A step
// still unfinished after limitMs fails the test and cancels this thread's
// modal loops (menus, dialog boxes), so the code under test returns and the
// test ends by itself rather than at CTest's time-out.
class ModalDriver {
 public:
  explicit ModalDriver(std::function<bool()> step, DWORD limitMs = 60000);
  ~ModalDriver();
  ModalDriver(const ModalDriver&) = delete;
  ModalDriver& operator=(const ModalDriver&) = delete;
  bool finished() const;

 private:
  UINT_PTR timer_;
};

// The visible dialog window of this thread that has a control with that id.
HWND FindThreadDialogWithControl(int controlId);
// The popup menu now shown by this thread's menu loop, or null.
HMENU FindShownPopupMenu();

// One item of a menu, with its submenu's items.
struct MenuItemInfo {
  std::wstring text;
  UINT id;  // 0xFFFFFFFF for a submenu
  bool checked;
  bool grayed;
  std::vector<MenuItemInfo> children;
};
std::vector<MenuItemInfo> DescribeMenu(HMENU menu);
// The item with that text anywhere in the tree, or null.
const MenuItemInfo* FindMenuItem(const std::vector<MenuItemInfo>& items, const std::wstring& text);

}  // namespace testing_support
