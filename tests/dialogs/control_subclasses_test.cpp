#include "control_subclasses.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list_view_helpers.h"
#include "file_pickers.h"
#include "dpi_scaling.h"
#include "modal_driver.h"

using testing_support::PumpPendingMessages;

namespace {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// A parent that records the commands its children send.
std::vector<std::pair<WPARAM, LPARAM>> commands;
int contextMenus;  // WM_CONTEXTMENU that reached the parent
LRESULT CALLBACK RecordingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    commands.emplace_back(wParam, lParam);
    return 0;
  }
  if (message == WM_CONTEXTMENU) {
    ++contextMenus;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static ATOM atom = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = RecordingParentProc;
      wc.hInstance = Instance();
      wc.lpszClassName = L"RecordingParent";
      return RegisterClassW(&wc);
    }();
    ASSERT_NE(atom, 0);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    parent_ = CreateWindowExW(0, L"RecordingParent", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                              nullptr, nullptr, Instance(), nullptr);
    ASSERT_NE(parent_, nullptr);
    commands.clear();
    contextMenus = 0;
  }
  void TearDown() override {
    DestroyWindow(parent_);
    PumpPendingMessages();
  }
  HWND parent_ = nullptr;
};

TEST_F(ControlTest, ReadOnlyComboEditIgnoresTyping) {
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 10, 10, 150, 200,
                               parent_, reinterpret_cast<HMENU>(100), Instance(), nullptr);
  ASSERT_NE(combo, nullptr);
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"サウンド1"));
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  HWND edit = info.hwndItem;
  ASSERT_NE(edit, nullptr);
  InstallSubclass(edit, ReadOnlyComboEditProc, &previousReadOnlyComboEditProc);
  ASSERT_NE(previousReadOnlyComboEditProc, nullptr);
  for (wchar_t ch : std::wstring(L"xyz\b")) SendMessageW(edit, WM_CHAR, ch, 1);
  wchar_t text[64] = L"";
  GetWindowTextW(edit, text, 64);
  EXPECT_STREQ(text, L"サウンド1");

  // A click on the edit part opens the list.
  comboListRequested = 0;
  SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
  SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  SendMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  // F4 asks for the list too.
  comboListRequested = 0;
  SendMessageW(edit, WM_KEYDOWN, VK_F4, 0);
  EXPECT_EQ(comboListRequested, 1);
  // A second install on another combo keeps the real edit procedure in the slot.
  const WNDPROC slot = previousReadOnlyComboEditProc;
  InstallSubclass(edit, ReadOnlyComboEditProc, &previousReadOnlyComboEditProc);
  EXPECT_EQ(previousReadOnlyComboEditProc, slot);
}

TEST_F(ControlTest, ComboRightClickShowsNoMenu) {
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 10, 10, 150, 200,
                               parent_, reinterpret_cast<HMENU>(101), Instance(), nullptr);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  const LPARAM onArrow = MAKELPARAM((info.rcButton.left + info.rcButton.right) / 2,
                                    (info.rcButton.top + info.rcButton.bottom) / 2);
  // Without the procedure a right click asks for a context menu: the combo's
  // goes to the parent, the edit part opens its own.
  SendMessageW(combo, WM_RBUTTONUP, 0, onArrow);
  ASSERT_EQ(contextMenus, 1) << "the plain combo asks for a menu";
  contextMenus = 0;
  InstallSubclass(combo, ComboClickDropDownProc, &previousComboClickDropDownProc);
  InstallSubclass(info.hwndItem, ReadOnlyComboEditProc, &previousReadOnlyComboEditProc);
  bool menuShown = false;
  testing_support::ModalDriver closeMenus([&] {
    if (testing_support::FindShownPopupMenu()) {
      menuShown = true;
      EndMenu();
    }
    return false;
  });
  SendMessageW(combo, WM_RBUTTONUP, 0, onArrow);
  SendMessageW(info.hwndItem, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  SendMessageW(info.hwndItem, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  PumpPendingMessages();
  EXPECT_EQ(contextMenus, 0);
  EXPECT_FALSE(menuShown);
  comboListRequested = 0;
  SendMessageW(combo, WM_LBUTTONDOWN, MK_LBUTTON, onArrow);
  EXPECT_EQ(comboListRequested, 1);
  EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
  SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  ReleaseCapture();
}

TEST_F(ControlTest, ImageButtonSendsItsCommand) {
  HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 20, 20, 28, 28, parent_,
                                reinterpret_cast<HMENU>(1303), Instance(), nullptr);
  InstallSubclass(button, ImageButtonProc, &previousImageButtonProc);
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(GetCapture(), button) << "tracking starts with the hand cursor";
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(ScaleX(40), 5));
  EXPECT_NE(GetCapture(), button) << "leaving the hot area ends tracking";
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  PumpPendingMessages();
  ReleaseCapture();
  // One click, one command: the button's own BN_CLICKED.
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].first, MAKEWPARAM(1303, BN_CLICKED));
  EXPECT_EQ(commands[0].second, reinterpret_cast<LPARAM>(button));
}

TEST_F(ControlTest, ImageButtonKeepsTheHandAfterAClickUntilThePointerLeaves) {
  HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 20, 20, 28, 28, parent_,
                                reinterpret_cast<HMENU>(1304), Instance(), nullptr);
  InstallSubclass(button, ImageButtonProc, &previousImageButtonProc);
  HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(GetCapture(), button) << "the button's own release must not end the hover";
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, ScaleY(40)));
  EXPECT_NE(GetCapture(), button);
  // Another window takes the capture: the next hover starts tracking afresh.
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SetCapture(parent_);
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
  EXPECT_EQ(GetCapture(), button);
  EXPECT_EQ(GetCursor(), hand);
  ReleaseCapture();
  ASSERT_EQ(commands.size(), 1u);
}

TEST_F(ControlTest, InertHeaderIgnoresClicks) {
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300, 200, parent_,
                              reinterpret_cast<HMENU>(102), Instance(), nullptr);
  const int widths[] = {100, 80};
  const wchar_t* texts[] = {L"時刻", L"動作"};
  const int formats[] = {LVCFMT_LEFT, LVCFMT_LEFT};
  SetupListViewColumns(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, widths, list, 2, texts, formats, nullptr);
  const DWORD style = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  EXPECT_EQ(style & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES), static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  InstallSubclass(header, InertHeaderProc, &previousInertHeaderProc);
  EXPECT_EQ(SendMessageW(header, WM_SETCURSOR, reinterpret_cast<WPARAM>(header), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
  // A press on the divider would start a resize drag; the header swallows it.
  SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 5));
  EXPECT_NE(GetCapture(), header);
  SendMessageW(header, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 5));
  SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(100, 5));
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 100);
  EXPECT_EQ(Header_GetItemCount(header), 2);
}

TEST_F(ControlTest, ListViewRoutinesInsertAndFind) {
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300, 200, parent_,
                              reinterpret_cast<HMENU>(103), Instance(), nullptr);
  const int width[] = {150};
  SetupListViewColumns(LVS_EX_FULLROWSELECT, width, list, 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 150);
  EXPECT_EQ(InsertListViewItem(list, L"a@example.com", 0), 0);
  EXPECT_EQ(InsertListViewItem(list, L"b@example.com", 1), 1);
  EXPECT_EQ(InsertListViewItem(list, L"first@example.com", 0), 0);
  SetListViewItemText(list, L"b2@example.com", 2, 0);
  addressListView = list;
  EXPECT_EQ(FindListViewItem(L"b2@example.com"), 2);
  EXPECT_EQ(FindListViewItem(L"a@example.com"), 1);
  EXPECT_EQ(FindListViewItem(L"nobody@example.com"), -1);
  addressListView = nullptr;
  EXPECT_EQ(FindListViewItem(L"a@example.com"), -1);
}

TEST(WheelToArrowKeysTest, UpwardTurnsAreUpEverythingElseDown) {
  const struct {
    short delta;
    WORD key;
  } cases[] = {{120, VK_UP},     {240, VK_UP},      {119, VK_UP},  {1, VK_UP},
               {0, VK_DOWN},     {-120, VK_DOWN},   {-1, VK_DOWN}, {-119, VK_DOWN}};
  for (const auto& c : cases) EXPECT_EQ(WheelDeltaToArrowKey(c.delta), c.key) << c.delta;
}

TEST(FileTitleTest, NameWithoutFolderAndExtension) {
  const struct {
    const wchar_t* path;
    const wchar_t* title;
  } cases[] = {{L"C:\\music\\alarm.wav", L"alarm"}, {L"C:\\a.b\\song.tar.mp3", L"song.tar"},
               {L"plain", L"plain"}};
  for (const auto& c : cases) {
    wchar_t title[MAX_PATH];
    GetFileTitleNoExtension(c.path, title);
    EXPECT_STREQ(title, c.title) << c.path;
  }
}

}  // namespace
