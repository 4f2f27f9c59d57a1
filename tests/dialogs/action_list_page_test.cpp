#include "action_list_page.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "action_names.h"
#include "control_subclasses.h"
#include "main_window_state.h"
#include "message_box_catcher.h"
#include "settings_pages.h"
#include "schedule_model.h"
#include "settings_sheet.h"
#include "sheet_driver.h"

using sheet_driver::RunSettingsSheet;
using sheet_driver::ShowPage;

namespace {

HWND List() { return settingsSheetState.actionListView; }
HWND Panel() { return GetParent(List()); }

std::wstring Cell(int item, int column) {
  wchar_t text[300] = {};
  ListView_GetItemText(List(), item, column, text, 300);
  return text;
}

std::vector<std::vector<std::wstring>> Rows() {
  std::vector<std::vector<std::wstring>> rows;
  const int count = ListView_GetItemCount(List());
  for (int i = 0; i < count; ++i) {
    std::vector<std::wstring> row;
    for (int c = 0; c < 6; ++c) row.push_back(Cell(i, c));
    rows.push_back(row);
  }
  return rows;
}

// An item in the next free slot of a row, placed at the end of the row's order.
ScheduleItem& AddItem(int row, int slot, int32_t action, const wchar_t* timeText) {
  ScheduleItem& item = scheduleTable[row][slot];
  item.listIndex = slot;
  item.action = action;
  wcscpy(item.timeText, timeText);
  int p = 0;
  while (orderTable[row][p] != -1) ++p;
  orderTable[row][p] = slot;
  return item;
}

void GiveApps(ScheduleItem& item, int count) {
  for (int j = 0; j < count; ++j) {
    swprintf(item.appPaths[j], kPathChars, L"C:\\apps\\a%d.exe", j);
    swprintf(item.appArguments[j], kCommandChars, L"/n %d", j);
    item.appDelays[j] = 5 * j;
    item.appMinimized[j] = static_cast<uint8_t>(j % 2);
  }
}

// A click of the mouse on a window, as the button itself receives it.
void ClickWithMouse(HWND button) {
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ReleaseCapture();
}

// Counts the commands a weekday button delivers to the panel: each one runs
// the panel's weekday handler.
WNDPROC panelProcedure;
int weekdayCommands;
LRESULT CALLBACK CountingPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) >= kFirstWeekdayButtonId &&
      LOWORD(wParam) < kFirstWeekdayButtonId + 7)
    ++weekdayCommands;
  return CallWindowProcW(panelProcedure, window, message, wParam, lParam);
}

void SelectItem(int item) {
  ListView_SetItemState(List(), item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

int SelectedItem() { return ListView_GetNextItem(List(), -1, LVNI_SELECTED); }

// The titles the applications and sound pages show for the chosen item.
std::wstring PageTitle(int page, int id) {
  wchar_t text[100] = {};
  GetDlgItemTextW(sheet_driver::Page(page), id, text, 100);
  return text;
}
std::wstring AppsTitle() { return PageTitle(kApplicationsPage, 1025); }
std::wstring SoundTitle() { return PageTitle(kSoundPage, 1707); }

class ActionListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitPowerActionNames(10);
    scheduleMode = DailyMode;
    ClearScheduleTable(scheduleTable, orderTable);
    std::memset(&profileSettings, 0, sizeof profileSettings);
    wcscpy(profileSettings.mail.addresses[0], L"first@example.com");
    wcscpy(profileSettings.mail.addresses[1], L"second@example.com");
    profileSettings.mail.addressCount = 2;
    testing_support::ClearCaughtMessageBoxes();
  }
};

TEST_F(ActionListTest, EachCellShowsTheItemsSideActions) {
  struct Case {
    int32_t action;
    int apps;
    int32_t sound, lead;
    uint8_t capture;
    int32_t mailTo;
    std::vector<std::wstring> cells;
  };
  const Case cases[] = {
      {Shutdown, 0, 0, 0, 0, 0, {L"10:00", L"シャットダウン", L"", L"", L"", L""}},
      {Shutdown, 0, 1, 10, 1, 2, {L"10:01", L"シャットダウン", L"", L"○(-10)", L"○", L"second@example.com"}},
      {WakeOnly, 3, 2, 30, 0, 1, {L"10:02", L"復帰", L"○(3)", L"○(+30)", L"", L"first@example.com"}},
      {WakeOnly, 10, 0, 5, 0, 0, {L"10:03", L"復帰", L"○(10)", L"", L"", L""}},
      {Hibernate, 1, 1, 0, 1, 0, {L"10:04", L"休止状態", L"○(1)", L"○(-0)", L"○", L""}},
      {Standby, 0, 0, 0, 0, 6, {L"10:05", L"スリープ", L"", L"", L"", L""}},  // no such address
  };
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    const Case& c = cases[i];
    ScheduleItem& item = AddItem(0, 19 - i, c.action, c.cells[0].c_str());
    GiveApps(item, c.apps);
    item.soundIndex = c.sound;
    item.soundSeconds = c.lead;
    item.captureEnabled = c.capture;
    item.mailTo = c.mailTo;
  }
  std::vector<std::vector<std::wstring>> shown;
  RunSettingsSheet([&](HWND) { shown = Rows(); });
  ASSERT_EQ(shown.size(), std::size(cases));
  for (size_t i = 0; i < shown.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(shown[i], cases[i].cells);
  }
}

TEST_F(ActionListTest, AnEmptyScheduleShowsOneGreyRowAndChoosesNothing) {
  for (const ScheduleMode mode : {DateMode, WeeklyMode}) {
    SCOPED_TRACE(mode);
    scheduleMode = mode;
    std::vector<std::vector<std::wstring>> shown;
    COLORREF color = 0;
    bool anyButtonEnabled = true;
    int selected = -2;
    std::wstring appsTitle, soundTitle;
    RunSettingsSheet([&](HWND sheet) {
      ShowPage(sheet, 1);
      ShowPage(sheet, 2);
      shown = Rows();
      color = ListView_GetTextColor(List());
      anyButtonEnabled = false;
      for (int d = 0; d < 7; ++d)
        anyButtonEnabled |= IsWindowEnabled(GetDlgItem(Panel(), kFirstWeekdayButtonId + d)) != FALSE;
      SelectItem(0);
      selected = SelectedItem();
      appsTitle = AppsTitle();
      soundTitle = SoundTitle();
      ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
    });
    EXPECT_EQ(selected, -1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0][0], L"なし");
    EXPECT_EQ(color, RGB(150, 150, 150));
    EXPECT_FALSE(anyButtonEnabled);
    EXPECT_FALSE(actionListHasItems);
    EXPECT_EQ(settingsSheetState.selectedRow, -1);
    EXPECT_EQ(appsTitle, L"復帰後に起動するアプリ(----/--/-- --:--)");
    EXPECT_EQ(soundTitle, L"再生するサウンド(----/--/-- --:--)");
  }
}

TEST_F(ActionListTest, WeekdayButtonsAreActiveOnlyInWeeklyModeWithItems) {
  struct Case {
    ScheduleMode mode;
    int row;  // where the one item lies
    bool enabled;
  };
  for (const Case& c : {Case{DateMode, 0, false}, Case{DailyMode, 0, false}, Case{WeeklyMode, 0, true},
                        Case{WeeklyMode, 4, true}}) {
    SCOPED_TRACE(testing::Message() << c.mode << " row " << c.row);
    scheduleMode = c.mode;
    ClearScheduleTable(scheduleTable, orderTable);
    AddItem(c.row, 0, Shutdown, L"08:00");
    int enabled = 0;
    int rows = -1;
    RunSettingsSheet([&](HWND) {
      for (int d = 0; d < 7; ++d) enabled += IsWindowEnabled(GetDlgItem(Panel(), kFirstWeekdayButtonId + d)) ? 1 : 0;
      rows = ListView_GetItemCount(List());
    });
    EXPECT_EQ(enabled, c.enabled ? 7 : 0);
    EXPECT_TRUE(actionListHasItems);
    // Row 0 is shown first, even when it is empty.
    EXPECT_EQ(rows, c.row == 0 ? 1 : 0);
  }
}

TEST_F(ActionListTest, TheWorkingCopiesAreFilledFromEveryRowOfTheModel) {
  scheduleMode = WeeklyMode;
  ScheduleItem& a = AddItem(0, 7, WakeOnly, L"07:00");
  GiveApps(a, 3);
  a.soundIndex = 2;
  a.soundSeconds = 45;
  a.captureEnabled = 1;
  a.mailTo = 1;
  ScheduleItem& b = AddItem(6, 19, Shutdown, L"23:00");
  GiveApps(b, 10);
  b.mailTo = 2;
  // A slot that is not in the order is not the schedule's.
  scheduleTable[3][2].captureEnabled = 1;
  scheduleTable[3][2].appDelays[0] = 1;
  const SettingsSheetState& s = settingsSheetState;
  RunSettingsSheet([](HWND sheet) {
    // A late initialisation callback must not wipe what the panel filled.
    SettingsSheetCallback(sheet, PSCB_INITIALIZED, 0);
  });
  EXPECT_EQ(s.soundChoice[0][7], 2);
  EXPECT_EQ(s.soundLead[0][7], 45);
  EXPECT_EQ(s.workingCapture[0][7], 1);
  EXPECT_EQ(s.workingMailTo[0][7], 1);
  EXPECT_EQ(s.workingMailTo[6][19], 2);
  for (int j = 0; j < kAppCount; ++j) {
    SCOPED_TRACE(j);
    EXPECT_EQ(s.editAppDelays[0][7][j], j < 3 ? 5 * j : -1);
    EXPECT_EQ(s.editAppOrder[0][7][j], j < 3 ? j : -1);
    EXPECT_EQ(s.editAppDelays[6][19][j], 5 * j);
    EXPECT_EQ(s.editAppOrder[6][19][j], j);
    EXPECT_EQ(s.editAppMinimized[6][19][j], j % 2);
    EXPECT_EQ(std::wstring(s.editAppPaths[6][19][j]), std::wstring(b.appPaths[j]));
    EXPECT_EQ(std::wstring(s.editAppArguments[6][19][j]), std::wstring(b.appArguments[j]));
    EXPECT_EQ(s.editAppDelays[3][2][j], -1);
    EXPECT_EQ(s.editAppOrder[3][2][j], -1);
  }
  EXPECT_EQ(s.workingCapture[3][2], 0);
  EXPECT_EQ(std::wstring(s.workingAddresses[1]), L"second@example.com");
}

TEST_F(ActionListTest, OneClickOnAWeekdayRunsItsHandlerOnceAndSwitchingBackKeepsTheChoice) {
  scheduleMode = WeeklyMode;
  AddItem(0, 0, Shutdown, L"06:00");
  ScheduleItem& wake = AddItem(0, 1, WakeOnly, L"06:30");
  GiveApps(wake, 3);
  AddItem(2, 0, Restart, L"12:00");
  int commands = -1;
  std::vector<std::vector<std::wstring>> rowTwo;
  int selectedAway = -2, selectedBack = -2, chosenRowAway = -2;
  std::wstring appsBack;
  RunSettingsSheet([&](HWND) {
    HWND panel = Panel();
    panelProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(panel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingPanelProc)));
    EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(panel, 1302), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(ImageButtonProc));
    SelectItem(1);
    weekdayCommands = 0;
    ClickWithMouse(GetDlgItem(panel, 1302));
    commands = weekdayCommands;
    rowTwo = Rows();
    selectedAway = SelectedItem();
    chosenRowAway = settingsSheetState.selectedRow;
    // The applications page removes one application of the chosen item.
    settingsSheetState.editAppOrder[0][1][2] = -1;
    ClickWithMouse(GetDlgItem(panel, 1300));
    selectedBack = SelectedItem();
    appsBack = Cell(1, 2);
    SetWindowLongPtrW(panel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(panelProcedure));
  });
  EXPECT_EQ(commands, 1);
  ASSERT_EQ(rowTwo.size(), 1u);
  EXPECT_EQ(rowTwo[0][0], L"12:00");
  EXPECT_EQ(rowTwo[0][1], L"再起動");
  EXPECT_EQ(selectedAway, -1);
  EXPECT_EQ(chosenRowAway, 0);
  EXPECT_EQ(selectedBack, 1);
  EXPECT_EQ(settingsSheetState.selectedPosition, 1);
  EXPECT_EQ(appsBack, L"○(2)");
}

TEST_F(ActionListTest, TheChosenItemReachesTheApplicationsAndSoundPages) {
  AddItem(0, 4, Shutdown, L"09:00");
  ScheduleItem& wake = AddItem(0, 9, WakeOnly, L"09:30");
  wake.time.wHour = 9;
  wake.time.wMinute = 30;
  std::wstring appsChosen, appsCleared, soundChosen, soundCleared;
  int rowWhileChosen = -2, positionWhileChosen = -2;
  RunSettingsSheet([&](HWND sheet) {
    ShowPage(sheet, 1);
    ShowPage(sheet, 2);
    ShowPage(sheet, 0);
    ASSERT_NE(sheet_driver::Page(kSoundPage), nullptr);
    ASSERT_NE(sheet_driver::Page(kApplicationsPage), nullptr);
    SelectItem(1);
    appsChosen = AppsTitle();
    soundChosen = SoundTitle();
    rowWhileChosen = settingsSheetState.selectedRow;
    positionWhileChosen = settingsSheetState.selectedPosition;
    ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
    appsCleared = AppsTitle();
    soundCleared = SoundTitle();
  });
  EXPECT_EQ(appsChosen, L"復帰後に起動するアプリ(09:30)");
  EXPECT_EQ(soundChosen, L"再生するサウンド(09:30)");
  EXPECT_EQ(rowWhileChosen, 0);
  EXPECT_EQ(positionWhileChosen, 1);
  EXPECT_EQ(appsCleared, L"復帰後に起動するアプリ(----/--/-- --:--)");
  EXPECT_EQ(soundCleared, L"再生するサウンド(----/--/-- --:--)");
  EXPECT_EQ(settingsSheetState.selectedRow, -1);
  EXPECT_EQ(settingsSheetState.selectedPosition, -1);
}

TEST_F(ActionListTest, TheChosenRowKeepsItsColoursWhileTheListHasNoFocus) {
  AddItem(0, 0, Shutdown, L"09:00");
  AddItem(0, 1, Restart, L"09:30");
  struct Drawn {
    LRESULT result;
    COLORREF text, back;
  };
  std::vector<Drawn> drawn;
  RunSettingsSheet([&](HWND) {
    SelectItem(1);
    auto draw = [&](int item) {
      NMLVCUSTOMDRAW cd{};
      cd.nmcd.hdr.hwndFrom = List();
      cd.nmcd.hdr.idFrom = kActionListViewId;
      cd.nmcd.hdr.code = NM_CUSTOMDRAW;
      cd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
      cd.nmcd.dwItemSpec = static_cast<DWORD_PTR>(item);
      cd.nmcd.uItemState = CDIS_SELECTED;
      cd.clrText = RGB(1, 2, 3);
      cd.clrTextBk = RGB(4, 5, 6);
      SendMessageW(Panel(), WM_NOTIFY, kActionListViewId, reinterpret_cast<LPARAM>(&cd));
      drawn.push_back({GetWindowLongPtrW(Panel(), DWLP_MSGRESULT), cd.clrText, cd.clrTextBk});
    };
    SetFocus(GetDlgItem(sheet_driver::Page(kGeneralPage), 1800));
    draw(1);  // chosen, list unfocused: the active colours
    draw(0);  // not the chosen item
    SetFocus(List());
    draw(1);  // focused list: the system's own selection
  });
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0].result, CDRF_NEWFONT);
  EXPECT_EQ(drawn[0].text, RGB(255, 255, 255));
  EXPECT_EQ(drawn[0].back, RGB(51, 153, 255));
  EXPECT_EQ(drawn[1].result, CDRF_DODEFAULT);
  EXPECT_EQ(drawn[1].back, RGB(4, 5, 6));
  EXPECT_EQ(drawn[2].result, CDRF_DODEFAULT);
}

TEST_F(ActionListTest, ThePanelSitsAboveTheTabsAtItsSize) {
  AddItem(0, 0, Shutdown, L"09:00");
  RECT panel{}, list{}, monday{};
  RunSettingsSheet([&](HWND sheet) {
    auto inSheet = [sheet](HWND window) {
      RECT r{};
      GetWindowRect(window, &r);
      MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&r), 2);
      return r;
    };
    panel = inSheet(Panel());
    list = inSheet(List());
    monday = inSheet(GetDlgItem(Panel(), 1301));
  });
  EXPECT_EQ(panel.left, 0);
  EXPECT_EQ(panel.top, 0);
  EXPECT_EQ(panel.right, 660);
  EXPECT_EQ(panel.bottom, 235);
  EXPECT_EQ(list.left, 17);
  EXPECT_EQ(list.top, 45);
  EXPECT_EQ(list.right - list.left, 630);
  EXPECT_EQ(list.bottom - list.top, 185);
  EXPECT_EQ(monday.left, 46);
  EXPECT_EQ(monday.top, 9);
  EXPECT_EQ(monday.right - monday.left, 28);
}

}  // namespace

namespace {

// Five plain bitmaps of distinct colours stand in for 164-168.
class FakeButtonBitmaps {
 public:
  static constexpr COLORREF kColors[kButtonBitmapCount] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200),
                                                            RGB(200, 200, 0), RGB(0, 200, 200)};
  FakeButtonBitmaps() {
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < kButtonBitmapCount; ++i) {
      buttonBitmaps[i] = CreateCompatibleBitmap(screen, 28, 28);
      buttonBitmapDCs[i] = CreateCompatibleDC(screen);
      SelectObject(buttonBitmapDCs[i], buttonBitmaps[i]);
      RECT all{0, 0, 28, 28};
      HBRUSH brush = CreateSolidBrush(kColors[i]);
      FillRect(buttonBitmapDCs[i], &all, brush);
      DeleteObject(brush);
    }
    ReleaseDC(nullptr, screen);
  }
  ~FakeButtonBitmaps() {
    for (int i = 0; i < kButtonBitmapCount; ++i) {
      DeleteDC(buttonBitmapDCs[i]);
      DeleteObject(buttonBitmaps[i]);
      buttonBitmapDCs[i] = nullptr;
      buttonBitmaps[i] = nullptr;
    }
  }
};

// The face colour of a weekday button as the panel draws it at 42 x 42 pixels.
COLORREF DrawnFace(HWND panel, int id, bool pressed) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 42, 42);
  HGDIOBJ old = SelectObject(dc, target);
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_BUTTON;
  draw.CtlID = static_cast<UINT>(id);
  draw.itemAction = ODA_DRAWENTIRE;
  draw.itemState = pressed ? ODS_SELECTED : 0;
  draw.hwndItem = GetDlgItem(panel, id);
  draw.hDC = dc;
  draw.rcItem = RECT{0, 0, 42, 42};
  SendMessageW(panel, WM_DRAWITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&draw));
  // A corner: the face, clear of the centred letter; the far corner shows the
  // bitmap was stretched over the whole button.
  const COLORREF face = GetPixel(dc, 1, 1);
  const COLORREF farCorner = GetPixel(dc, 40, 40);
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return face == farCorner ? face : CLR_INVALID;
}

TEST_F(ActionListTest, WeekdayButtonsAreDrawnFromTheirBitmaps) {
  FakeButtonBitmaps bitmaps;
  const COLORREF* c = FakeButtonBitmaps::kColors;
  struct Case {
    ScheduleMode mode;
    bool items;
    int button;
    bool pressed;
    COLORREF face;
  };
  // The shown row is 2 (Tuesday) once the weekly list has switched to it.
  const Case cases[] = {
      {WeeklyMode, true, 1301, false, c[0]}, {WeeklyMode, true, 1301, true, c[1]},
      {WeeklyMode, true, 1302, false, c[2]}, {WeeklyMode, true, 1302, true, c[3]},
      {WeeklyMode, false, 1302, false, c[4]}, {DailyMode, true, 1300, false, c[4]},
      {DateMode, true, 1300, true, c[4]},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.mode << " items " << k.items << " button " << k.button << " pressed "
                                    << k.pressed);
    scheduleMode = k.mode;
    ClearScheduleTable(scheduleTable, orderTable);
    if (k.items) AddItem(0, 0, Shutdown, L"08:00");
    COLORREF face = CLR_INVALID;
    RunSettingsSheet([&](HWND) {
      if (k.mode == WeeklyMode && k.items) ClickWithMouse(GetDlgItem(Panel(), 1302));
      face = DrawnFace(Panel(), k.button, k.pressed);
    });
    EXPECT_EQ(face, k.face);
  }
}

}  // namespace
