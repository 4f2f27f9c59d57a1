#include "sound_page.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <cwchar>
#include <vector>

#include "control_subclasses.h"
#include "file_pickers.h"
#include "in_memory_dialog.h"
#include "list_view_helpers.h"
#include "main_dialog.h"
#include "main_window_state.h"
#include "private_messages.h"
#include "settings_sheet.h"
#include "sound_preview.h"
#include "shared/error_log.h"
#include "shared/sound_player.h"
#include "start_checks.h"

namespace {

constexpr int kChoiceCaption = 1708;
constexpr int kTimingCaption = 1710;
constexpr int kSoundCaption = 1701;
constexpr int kTimingHeading = 1702;
constexpr int kEndLabel = 1703;
constexpr int kBeforeAfterLabel = 1704;
constexpr int kListCaption = 1705;
constexpr int kVolumeCaption = 1723;
constexpr int kSoundColumn = 3;
constexpr int kSeparatorX = 315;
constexpr wchar_t kTitlePrefix[] = L"再生するサウンド";
constexpr wchar_t kNone[] = L"なし";
// The end of the medium arrives inside the control's own event, where closing
// the control blocks under Wine; the page closes it once the event is over.

struct PageControl {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  int x, y, width, height;
  bool listPanel;
};

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr PageControl kControls[] = {
    {kSoundTitleLabel, L"STATIC", L"再生するサウンド(----/--/-- --:--)", 0, 19, 21, 217, 18, false},
    {kChoiceCaption, L"STATIC", L"タイトル:", 0, 19, 62, 56, 18, false},
    {kSoundChoiceLabel, L"STATIC", L"なし", 0, 39, 88, 248, 36, false},
    {kTimingCaption, L"STATIC", L"タイミング:", 0, 19, 147, 68, 18, false},
    {kSoundTimingLabel, L"STATIC", L"終了0秒前", 0, 39, 177, 84, 18, false},
    {kSoundCaption, L"STATIC", L"再生するサウンド:", 0, 335, 21, 109, 18, false},
    {kSoundCombo, L"COMBOBOX", L"", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 338, 42, 267, 200, false},
    {kSoundListEditButton, L"BUTTON", L"サウンドリスト編集", kButton, 476, 74, 129, 30, false},
    {kTimingHeading, L"STATIC", L"タイミング:", 0, 335, 121, 73, 18, false},
    {kEndLabel, L"STATIC", L"終了(復帰)", 0, 349, 151, 66, 18, false},
    {kSoundSecondsEdit, L"EDIT", L"0", ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP, 421, 148, 38, 25, false},
    {kBeforeAfterLabel, L"STATIC", L"秒前(秒後)に再生", 0, 465, 151, 102, 18, false},
    {kSoundSplitSetButton, L"BUTTON", L"セット", BS_SPLITBUTTON | WS_TABSTOP, 489, 189, 116, 30, false},
    {kSoundPlainSetButton, L"BUTTON", L"セット", kButton, 489, 189, 100, 30, false},
    {kListCaption, L"STATIC", L"サウンドリスト:", 0, 6, 21, 97, 18, true},
    {kSoundPreviewButton, L"BUTTON", L"再生", kButton, 137, 238, 100, 30, true},
    {kSoundRemoveButton, L"BUTTON", L"削除", kButton, 243, 238, 100, 30, true},
    {kSoundPathEdit, L"EDIT", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 349, 46, 204, 25, true},
    {kSoundBrowseButton, L"BUTTON", L"参照", kButton, 557, 43, 62, 30, true},
    {kVolumeCaption, L"STATIC", L"音量", 0, 397, 95, 32, 18, true},
    {kSoundVolumeBar, TRACKBAR_CLASSW, L"", TBS_HORZ | TBS_NOTICKS | WS_TABSTOP, 435, 92, 100, 26, true},
    {kSoundVolumeLabel, L"STATIC", L"100", 0, 541, 95, 37, 18, true},
    {kSoundAddButton, L"BUTTON", L"リストに追加/変更", kButton, 430, 142, 123, 30, true},
    {kSoundBackButton, L"BUTTON", L"戻る", kButton, 516, 238, 100, 30, true},
};

constexpr int kColumnWidths[] = {270, 50};
const wchar_t* const kColumnTexts[] = {L"再生するサウンド", L"音量"};
constexpr int kColumnFormats[] = {LVCFMT_LEFT, LVCFMT_CENTER};

struct CurrentItem {
  int row = -1;
  int slot = -1;
  int position = -1;
  bool wakeOnly = false;
};
CurrentItem current;
SoundListModel editSoundList;
SoundPreview preview;
HeaderDragState soundHeaderDrag;
bool listPanelShown;

SettingsSheetState& S() { return settingsSheetState; }
HWND Item(HWND page, int id) { return GetDlgItem(page, id); }
HWND List(HWND page) { return Item(page, kSoundListViewId); }
int SelectedSound(HWND page) { return ListView_GetNextItem(List(page), -1, LVNI_SELECTED); }

LRESULT CALLBACK SoundListChildProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam) {
  return HeaderDragRepaint(soundHeaderDrag, header, message, wParam, lParam);
}

bool SplitButtonUsed() { return windowsVersion.dwMajorVersion == 0 || windowsVersion.dwMajorVersion >= 6; }

void ShowSoundPagePanel(HWND page, bool listPanel) {
  listPanelShown = listPanel;
  const int hiddenSet = SplitButtonUsed() ? kSoundPlainSetButton : kSoundSplitSetButton;
  for (const PageControl& c : kControls) {
    const bool show = c.listPanel == listPanel && c.id != hiddenSet;
    ShowWindow(Item(page, c.id), show ? SW_SHOW : SW_HIDE);
  }
  ShowWindow(List(page), listPanel ? SW_SHOW : SW_HIDE);
  const int dpi = ScreenDpiValue();
  RECT separator{ScaleForDpi(kSeparatorX, dpi), ScaleForDpi(10, dpi), ScaleForDpi(kSeparatorX + 1, dpi),
                 ScaleForDpi(287, dpi)};
  InvalidateRect(page, &separator, TRUE);
}

std::wstring NumberText(int32_t value) { return std::to_wstring(value); }

std::wstring ComboText(HWND page, int number) {
  HWND combo = Item(page, kSoundCombo);
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(number), 0);
  if (length == CB_ERR) return kNone;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(number), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

void ShowChoiceLabels(HWND page, int32_t number, int32_t lead) {
  SetDlgItemTextW(page, kSoundChoiceLabel, number != 0 ? ComboText(page, number).c_str() : kNone);
  const std::wstring timing = number != 0 ? SoundTimingText(current.wakeOnly, lead) : SoundTimingText(false, 0);
  SetDlgItemTextW(page, kSoundTimingLabel, timing.c_str());
}

void ShowCellOf(int row, int slot, int position) {
  if (row != S().actionListRow || !S().actionListView) return;
  const bool wake = scheduleTable[row][slot].action == WakeOnly;
  SetListViewItemText(S().actionListView,
                      SoundCellText(wake, S().soundChoice[row][slot], S().soundLead[row][slot]).c_str(), position,
                      kSoundColumn);
}

// Refreshes the sound cells of the shown row.
void ShowShownRowCells() {
  const int row = S().actionListRow;
  if (row < 0 || row >= kRowCount) return;
  const int count = RowLength(orderTable, row);
  for (int p = 0; p < count; ++p) ShowCellOf(row, orderTable[row][p], p);
}

void ShowItem(HWND page, int position) {
  current = CurrentItem{};
  const ScheduleItem* item = position >= 0 ? ItemAtPosition(S().selectedRow, position) : nullptr;
  if (item) {
    current.row = S().selectedRow;
    current.slot = orderTable[current.row][position];
    current.position = position;
    current.wakeOnly = item->action == WakeOnly;
  }
  SetDlgItemTextW(page, kSoundTitleLabel, ItemTitle(kTitlePrefix, scheduleMode, item, current.row).c_str());
  if (item) {
    ShowChoiceLabels(page, S().soundChoice[current.row][current.slot], S().soundLead[current.row][current.slot]);
  } else {
    ShowChoiceLabels(page, 0, 0);
  }
}

// The combo box's choice and the seconds to give it; false (with the message
// shown) when the seconds are no number the item can use.
bool ReadChoice(HWND page, int32_t* number, int32_t* lead) {
  const LRESULT selection = SendDlgItemMessageW(page, kSoundCombo, CB_GETCURSEL, 0, 0);
  *number = selection == CB_ERR ? 0 : static_cast<int32_t>(selection);
  *lead = 0;
  if (*number == 0) return true;
  // A negative lead time would mean the sound never plays.
  return ReadEditNumber(page, Item(page, kSoundSecondsEdit), kMaxSoundLead, lead);
}

void OnSet(HWND page) {
  if (current.position < 0) {
    MessageBeep(0);
    return;
  }
  int32_t number = 0, lead = 0;
  if (!ReadChoice(page, &number, &lead)) return;
  int32_t& choice = S().soundChoice[current.row][current.slot];
  int32_t& stored = S().soundLead[current.row][current.slot];
  if (number == choice && (number == 0 || lead == stored)) return;
  choice = number;
  stored = lead;
  ShowCellOf(current.row, current.slot, current.position);
  ShowChoiceLabels(page, number, lead);
}

void OnKindCommand(HWND page, int kind) {
  int32_t number = 0, lead = 0;
  if (!ReadChoice(page, &number, &lead)) return;
  SetSoundForKind(S().rowCount, kind, number, lead);
  ShowShownRowCells();
  if (current.position >= 0)
    ShowChoiceLabels(page, S().soundChoice[current.row][current.slot], S().soundLead[current.row][current.slot]);
}

void SetPreviewButton(HWND page, bool playing) {
  SetDlgItemTextW(page, kSoundPreviewButton, playing ? L"停止" : L"再生");
}

bool PreviewOpen() { return SoundPreviewPlaying(preview); }

void ClosePreview(HWND page) {
  StopSoundPreview(preview);
  SetPreviewButton(page, false);
  if (SelectedSound(page) < 0) EnableWindow(Item(page, kSoundPreviewButton), FALSE);
}

void OnPreview(HWND page) {
  const int selected = SelectedSound(page);
  if (PreviewOpen() || selected < 0) {
    ClosePreview(page);
    return;
  }
  const int e = editSoundList.order[selected];
  const std::wstring error = StartSoundPreview(preview, page, editSoundList.paths[e], editSoundList.volumes[e]);
  if (error.empty()) {
    SetPreviewButton(page, true);
    return;
  }
  MessageBoxW(page, error.c_str(), L"エラー", MB_OK);
  ClosePreview(page);
}

void FillListRow(HWND page, int position, bool insert) {
  const int e = editSoundList.order[position];
  const std::wstring name = ListedSoundName(editSoundList.paths[e]);
  if (insert) InsertListViewItem(List(page), name.c_str(), position);
  else SetListViewItemText(List(page), name.c_str(), position, 0);
  SetListViewItemText(List(page), NumberText(editSoundList.volumes[e]).c_str(), position, 1);
}

void OnAddOrChange(HWND page) {
  std::wstring path = ControlText(Item(page, kSoundPathEdit));
  if (path.empty()) return;
  if (path.size() > kPathChars - 1) path.resize(kPathChars - 1);
  const int32_t volume = static_cast<int32_t>(SendDlgItemMessageW(page, kSoundVolumeBar, TBM_GETPOS, 0, 0));
  const SoundListResult result = AddOrChangeSound(editSoundList, path, volume, SameSoundName::ChangePathAndVolume);
  switch (result.change) {
    case SoundListChange::None:
      break;
    case SoundListChange::Changed: {
      FillListRow(page, result.position, false);
      // The combo box keeps the sound's number; its name is the same.
      break;
    }
    case SoundListChange::Added:
      FillListRow(page, result.position, true);
      SendDlgItemMessageW(page, kSoundCombo, CB_ADDSTRING, 0,
                          reinterpret_cast<LPARAM>(ListedSoundName(path.c_str()).c_str()));
      break;
    case SoundListChange::Full:
      MessageBoxW(page, kSoundListFull, L"", MB_OK);
      break;
  }
}

void OnRemove(HWND page) {
  const int selected = SelectedSound(page);
  if (selected < 0) return;
  if (PreviewOpen()) {
    StopSoundPreview(preview);
    SetPreviewButton(page, false);
  }
  const int32_t number = selected + 1;
  if (SoundNumberInUse(S().rowCount, number)) {
    wchar_t question[400];
    const int e = editSoundList.order[selected];
    swprintf(question, 400, L"%ls は使用されています。削除してもよろしいですか？",
             ListedSoundName(editSoundList.paths[e]).c_str());
    if (MessageBoxW(page, question, L"確認", MB_YESNO) != IDYES) return;
  }
  ForgetSoundNumber(S().rowCount, number);
  ShowShownRowCells();
  ListView_DeleteItem(List(page), selected);
  RemoveSoundAt(editSoundList, selected);
  HWND combo = Item(page, kSoundCombo);
  const LRESULT chosen = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  SendMessageW(combo, CB_DELETESTRING, static_cast<WPARAM>(number), 0);
  if (chosen == number) SendMessageW(combo, CB_SETCURSEL, 0, 0);
  EnableWindow(Item(page, kSoundPreviewButton), FALSE);
  EnableWindow(Item(page, kSoundRemoveButton), FALSE);
  if (current.position >= 0)
    ShowChoiceLabels(page, S().soundChoice[current.row][current.slot], S().soundLead[current.row][current.slot]);
}

void OnSelectSound(HWND page, int position) {
  if (position < 0 || position >= SoundListRows(editSoundList)) return;
  const int e = editSoundList.order[position];
  SetDlgItemTextW(page, kSoundPathEdit, editSoundList.paths[e]);
  SetDlgItemTextW(page, kSoundVolumeLabel, NumberText(editSoundList.volumes[e]).c_str());
  SendDlgItemMessageW(page, kSoundVolumeBar, TBM_SETPOS, TRUE, editSoundList.volumes[e]);
  EnableWindow(Item(page, kSoundPreviewButton), TRUE);
  EnableWindow(Item(page, kSoundRemoveButton), TRUE);
}

void OnListNotify(HWND page, const NMHDR* header) {
  int row = -1;
  switch (ReadListChoice(List(page), header, &row)) {
    case ListChoice::RowChosen:
      OnSelectSound(page, row);
      break;
    case ListChoice::ClickOnNoRow:
      EnableWindow(Item(page, kSoundRemoveButton), FALSE);
      if (!PreviewOpen()) EnableWindow(Item(page, kSoundPreviewButton), FALSE);
      break;
    case ListChoice::Other:
      break;
  }
}

void OnInitDialog(HWND page) {
  preview = SoundPreview{};
  current = CurrentItem{};
  RegisterSettingsPage(page, kSoundPage);
  editSoundList = CopySoundList(profileSettings.sounds);
  const int dpi = ScreenDpiValue();
  HFONT font = DialogUiFont();
  HWND list = CreateScaledControl(page, WC_LISTVIEWW, L"",
                                  WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                                  WS_EX_CLIENTEDGE, kSoundListViewId, 9, 46, 334, 184, dpi, nullptr);
  ShowWindow(list, SW_HIDE);
  int widths[2];
  for (int i = 0; i < 2; ++i) widths[i] = ScaleForDpi(kColumnWidths[i], dpi);
  SetupListViewColumns(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, widths, list, 2, kColumnTexts, kColumnFormats,
                       meiryoUi16Font ? meiryoUi16Font : font);
  for (const PageControl& c : kControls) {
    const bool bold = c.id == kSoundCaption || c.id == kTimingHeading;
    CreateScaledControl(page, c.className, c.text, c.style, 0, c.id, c.x, c.y, c.width, c.height, dpi,
                        bold ? DialogBoldFont() : font);
  }
  HWND combo = Item(page, kSoundCombo);
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNone));
  const int count = SoundListRows(editSoundList);
  for (int j = 0; j < count; ++j) {
    const int e = editSoundList.order[j];
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ListedSoundName(editSoundList.paths[e]).c_str()));
    FillListRow(page, j, true);
  }
  SendDlgItemMessageW(page, kSoundSecondsEdit, EM_LIMITTEXT, 4, 0);
  SendDlgItemMessageW(page, kSoundVolumeBar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
  SendDlgItemMessageW(page, kSoundVolumeBar, TBM_SETPOS, TRUE, 100);
  COMBOBOXINFO comboInfo{};
  comboInfo.cbSize = sizeof comboInfo;
  if (GetComboBoxInfo(combo, &comboInfo) && comboInfo.hwndItem)
    InstallSubclass(comboInfo.hwndItem, ReadOnlyComboEditProc, &previousReadOnlyComboEditProc);
  InstallSubclass(combo, ComboClickDropDownProc, &previousComboClickDropDownProc);
  EnableWindow(Item(page, kSoundPreviewButton), FALSE);
  EnableWindow(Item(page, kSoundRemoveButton), FALSE);
  if (HWND header = ListView_GetHeader(list)) {
    soundHeaderDrag = HeaderDragState{};
    soundHeaderDrag.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SoundListChildProc)));
  }
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  ShowSoundPagePanel(page, false);
  SendMessageW(page, kMsgRefreshPage, static_cast<WPARAM>(S().selectedPosition), 0);
}

void OnDestroy(HWND page) {
  EndSoundPreview(preview);
  if (S().pageWindows[kSoundPage - 1] == page) S().pageWindows[kSoundPage - 1] = nullptr;
  current = CurrentItem{};
}

void OnApply(HWND page) {
  if (!SettingsPageMayStore(page, kSoundPage)) return;
  StoreSoundList(editSoundList, profileSettings.sounds);
  StoreSoundChoices(S().rowCount);
  SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
}

void OnPaint(HWND page) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(page, &paint);
  if (!listPanelShown) {
    const int dpi = ScreenDpiValue();
    HGDIOBJ pen = separatorPen ? static_cast<HGDIOBJ>(separatorPen) : GetStockObject(BLACK_PEN);
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, ScaleForDpi(kSeparatorX, dpi), ScaleForDpi(10, dpi), nullptr);
    LineTo(dc, ScaleForDpi(kSeparatorX, dpi), ScaleForDpi(287, dpi));
    SelectObject(dc, previous);
  }
  EndPaint(page, &paint);
}

void OnCommand(HWND page, int id, int code) {
  if (id == kSoundCombo) {
    if (code == CBN_SELCHANGE) {
      const LRESULT selection = SendDlgItemMessageW(page, kSoundCombo, CB_GETCURSEL, 0, 0);
      EnableWindow(Item(page, kSoundSecondsEdit), selection > 0);
    }
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case kSoundPlainSetButton:
    case kSoundSplitSetButton: OnSet(page); break;
    case kSoundListEditButton: ShowSoundPagePanel(page, true); break;
    case kSoundBackButton: ShowSoundPagePanel(page, false); break;
    case kSoundPreviewButton: OnPreview(page); break;
    case kSoundRemoveButton: OnRemove(page); break;
    case kSoundAddButton: OnAddOrChange(page); break;
    case kSoundBrowseButton:
      BrowseForFile(page, L"音楽ファイル\0*.m4a;*.wav;*.mp3;*.mid;*.wma\0\0", Item(page, kSoundPathEdit));
      break;
    default:
      if (id >= static_cast<int>(kFirstKindCommand) && id < static_cast<int>(kFirstKindCommand) + kKindCount)
        OnKindCommand(page, id - static_cast<int>(kFirstKindCommand));
      break;
  }
}

// Every listed item of rows 0 to rowCount - 1, with its row and slot.
template <typename Visit>
void ForEachItem(int rowCount, Visit visit) {
  for (int row = 0; row < rowCount && row < kRowCount; ++row) {
    const int count = RowLength(orderTable, row);
    for (int p = 0; p < count; ++p) visit(row, orderTable[row][p]);
  }
}

}  // namespace

SoundListModel CopySoundList(const SoundList& stored) {
  SoundListModel model;
  LoadSoundListModel(stored.paths, stored.volumes, stored.count, &model);
  return model;
}

void StoreSoundList(const SoundListModel& model, SoundList& stored) {
  StoreSoundListModel(model, stored.paths, stored.volumes, &stored.count);
}

bool SoundNumberInUse(int rowCount, int32_t number) {
  bool used = false;
  ForEachItem(rowCount, [&](int row, int slot) { used |= settingsSheetState.soundChoice[row][slot] == number; });
  return used;
}

void ForgetSoundNumber(int rowCount, int32_t number) {
  ForEachItem(rowCount, [&](int row, int slot) {
    int32_t& choice = settingsSheetState.soundChoice[row][slot];
    if (choice == number) {
      choice = 0;
      settingsSheetState.soundLead[row][slot] = 0;
    } else if (choice > number) {
      --choice;
    }
  });
}

void SetSoundForKind(int rowCount, int kind, int32_t number, int32_t lead) {
  ForEachItem(rowCount, [&](int row, int slot) {
    if (!ActionMatchesKind(scheduleTable[row][slot].action, kind)) return;
    settingsSheetState.soundChoice[row][slot] = number;
    settingsSheetState.soundLead[row][slot] = number > 0 ? lead : 0;
  });
}

void StoreSoundChoices(int rowCount) {
  ForEachItem(rowCount, [](int row, int slot) {
    scheduleTable[row][slot].soundIndex = settingsSheetState.soundChoice[row][slot];
    scheduleTable[row][slot].soundSeconds = settingsSheetState.soundLead[row][slot];
  });
}

std::wstring SoundTimingText(bool wakeOnly, int32_t lead) {
  wchar_t text[32];
  swprintf(text, 32, L"%ls%d秒%ls", wakeOnly ? L"復帰" : L"終了", lead, wakeOnly ? L"後" : L"前");
  return text;
}

std::wstring SoundCellText(bool wakeOnly, int32_t number, int32_t lead) {
  if (number == 0) return L"";
  wchar_t text[32];
  swprintf(text, 32, wakeOnly ? L"○(+%d)" : L"○(-%d)", lead);
  return text;
}

SoundPlayer* SoundPagePreviewPlayer() { return preview.player; }

const DLGTEMPLATE* SoundPageTemplate() {
  static const std::vector<WORD> words =
      BuildEmptyDialogTemplate(WS_CHILD | WS_CAPTION | DS_3DLOOK | DS_CONTROL, 0, L" サウンド", 412, 184);
  return reinterpret_cast<const DLGTEMPLATE*>(words.data());
}

INT_PTR CALLBACK SoundPageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(page);
      return TRUE;
    case kMsgRefreshPage:
      ShowItem(page, static_cast<int>(wParam));
      return TRUE;
    case kMsgMediumEnded:
    case kMsgClosePreviewLater:
    case kMsgSoundFailed: {
      // A failure of the control while playing is told once; the control
      // has closed the medium and logged why.
      std::wstring failure;
      const PreviewEvent event = OnSoundPreviewMessage(preview, page, message, &failure);
      if (event == PreviewEvent::Closed || event == PreviewEvent::Failed) ClosePreview(page);
      if (event == PreviewEvent::Failed) MessageBoxW(page, failure.c_str(), L"エラー", MB_OK);
      return TRUE;
    }
    case WM_COMMAND:
      OnCommand(page, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == Item(page, kSoundVolumeBar)) {
        const LRESULT position = SendDlgItemMessageW(page, kSoundVolumeBar, TBM_GETPOS, 0, 0);
        SetDlgItemTextW(page, kSoundVolumeLabel, NumberText(static_cast<int32_t>(position)).c_str());
      }
      return TRUE;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == PSN_APPLY) {
        OnApply(page);
        return TRUE;
      }
      if (header->code == BCN_DROPDOWN && header->idFrom == kSoundSplitSetButton) {
        ShowButtonPopupMenu(kSoundSplitSetButton, page);
        return TRUE;
      }
      if (header->idFrom == kSoundListViewId) OnListNotify(page, header);
      return FALSE;
    }
    case WM_PAINT:
      OnPaint(page);
      return TRUE;
    case WM_DESTROY:
      OnDestroy(page);
      return FALSE;
    default:
      return FALSE;
  }
}
