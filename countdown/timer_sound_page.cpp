#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <cwchar>
#include <initializer_list>
#include <string>

#include "control_subclasses.h"
#include "dpi_scaling.h"
#include "shared/ui_setup.h"
#include "file_pickers.h"
#include "list_view_helpers.h"
#include "shared/sound_player.h"
#include "timer_settings_sheet.h"

namespace {

constexpr int kBeforeSecondsEdit = 1280;
constexpr int kAfterSecondsEdit = 1281;
constexpr int kPathEdit = 1282;
constexpr int kDeleteButton = 1289;
constexpr int kPlayButton = 1290;
constexpr int kBrowseButton = 1291;
constexpr int kAddButton = 1296;
constexpr int kVolumeLabel = 1298;
constexpr int kVolumeBar = 1300;
constexpr int kBeforeList = 1302;
constexpr int kAfterList = 1303;
constexpr int kNoSoundCheck = 1144;
constexpr int kListView = 3050;
constexpr int kBeforeGroup[] = {1284, kBeforeSecondsEdit, 1292, kBeforeList};
constexpr int kAfterGroup[] = {1293, kAfterSecondsEdit, 1294, kAfterList, kNoSoundCheck};

struct Placement {
  int id, x, y, width, height;
};
constexpr Placement kPlacements[] = {
    {1284, 10, 19, 32, 18},     {kBeforeSecondsEdit, 44, 16, 37, 25}, {1292, 86, 19, 116, 18},
    {kBeforeList, 208, 16, 198, 26}, {1293, 10, 51, 32, 18},      {kAfterSecondsEdit, 44, 48, 37, 25},
    {1294, 86, 51, 116, 18},    {kAfterList, 208, 48, 198, 26},       {1295, 6, 84, 97, 18},
    {kDeleteButton, 323, 103, 90, 30}, {kPlayButton, 323, 139, 90, 30}, {kPathEdit, 6, 237, 311, 25},
    {kBrowseButton, 323, 234, 90, 30}, {1297, 145, 277, 32, 18},   {kVolumeBar, 181, 274, 100, 26},
    {kVolumeLabel, 287, 277, 22, 18}, {kAddButton, 323, 271, 90, 30}, {kNoSoundCheck, 215, 315, 207, 22},
};

SoundListModel& Sounds() { return timerSheetState.sounds; }
HWND List(HWND page) { return GetDlgItem(page, kListView); }
HWND Item(HWND page, int id) { return GetDlgItem(page, id); }

int SelectedRow(HWND page) {
  return static_cast<int>(SendMessageW(List(page), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ShowVolume(HWND page, int volume) { TimerSetDlgItemNumber(8, Item(page, kVolumeLabel), volume); }

void AppendSongName(HWND page, const wchar_t* name) {
  for (int id : {kBeforeList, kAfterList}) SendDlgItemMessageW(page, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
}

void InsertRow(HWND page, int row) {
  const int slot = Sounds().order[row];
  InsertListViewItem(List(page), ListedSoundName(Sounds().paths[slot]).c_str(), row);
  wchar_t volume[16];
  swprintf(volume, 16, L"%d", Sounds().volumes[slot]);
  SetListViewItemText(List(page), volume, row, 1);
}

SoundPreview& Preview() { return timerSheetState.preview; }

void StopPreview(HWND page) {
  StopSoundPreview(Preview());
  SetDlgItemTextW(page, kPlayButton, L"再生");
}

void SubclassSongList(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (GetComboBoxInfo(combo, &info) && info.hwndItem) {
    InstallSubclass(info.hwndItem, ReadOnlyComboEditProc, &previousReadOnlyComboEditProc);
  }
  InstallSubclass(combo, ComboClickDropDownProc, &previousComboClickDropDownProc);
}

void OnInitDialog(HWND page) {
  Preview() = SoundPreview{};
  const TimerSettings& s = timerSettings;
  TimerLoadSoundList(s, &Sounds());
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0));
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                  LVS_NOSORTHEADER,
                              ScaleX(6), ScaleY(103), ScaleX(311), ScaleY(127), page,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListView)), GetModuleHandleW(nullptr),
                              nullptr);
  SetWindowPos(list, Item(page, 1295), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const int widths[] = {ScaleX(220), ScaleX(50)};
  const wchar_t* const texts[] = {L"再生するサウンド", L"音量"};
  const int formats[] = {LVCFMT_LEFT, LVCFMT_CENTER};
  SetupListViewColumns(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, widths, list, 2, texts, formats, font);

  AppendSongName(page, L"なし");
  const int count = SoundListRows(Sounds());
  for (int row = 0; row < count; ++row) {
    AppendSongName(page, ListedSoundName(Sounds().paths[Sounds().order[row]]).c_str());
    InsertRow(page, row);
  }
  SendDlgItemMessageW(page, kBeforeSecondsEdit, EM_LIMITTEXT, 4, 0);
  SendDlgItemMessageW(page, kAfterSecondsEdit, EM_LIMITTEXT, 4, 0);
  SendDlgItemMessageW(page, kPathEdit, EM_LIMITTEXT, kPathChars - 1, 0);
  TimerSetDlgItemNumber(16, Item(page, kBeforeSecondsEdit), s.soundSeconds[0]);
  TimerSetDlgItemNumber(16, Item(page, kAfterSecondsEdit), s.soundSeconds[1]);
  SendDlgItemMessageW(page, kVolumeBar, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
  SendDlgItemMessageW(page, kVolumeBar, TBM_SETPOS, TRUE, 60);
  ShowVolume(page, 60);
  SubclassSongList(Item(page, kBeforeList));
  SubclassSongList(Item(page, kAfterList));
  CheckDlgButton(page, kNoSoundCheck, s.unexpectedResumeNoSound ? BST_CHECKED : BST_UNCHECKED);
  for (const Placement& p : kPlacements) PlaceControl(page, p.id, p.x, p.y, p.width, p.height);
  SendDlgItemMessageW(page, kBeforeList, CB_SETCURSEL, static_cast<WPARAM>(s.soundIndex[0]), 0);
  SendDlgItemMessageW(page, kAfterList, CB_SETCURSEL, static_cast<WPARAM>(s.soundIndex[1]), 0);
  EnableWindow(Item(page, kDeleteButton), FALSE);
  EnableWindow(Item(page, kPlayButton), FALSE);
  if (s.mode != Time) {
    for (int id : kBeforeGroup) EnableWindow(Item(page, id), FALSE);
  }
  if (!s.resumeEnabled) {
    for (int id : kAfterGroup) EnableWindow(Item(page, id), FALSE);
  }
}

void OnAdd(HWND page) {
  if (GetWindowTextLengthW(Item(page, kPathEdit)) == 0) {
    MessageBeep(0);
    return;
  }
  wchar_t path[kPathChars] = {};
  GetDlgItemTextW(page, kPathEdit, path, kPathChars);
  const int volume = static_cast<int>(SendDlgItemMessageW(page, kVolumeBar, TBM_GETPOS, 0, 0));
  const SoundListResult result = AddOrChangeSound(Sounds(), path, volume, SameSoundName::ChangeVolumeOnly);
  switch (result.change) {
    case SoundListChange::Changed: {
      wchar_t text[16];
      swprintf(text, 16, L"%d", volume);
      SetListViewItemText(List(page), text, result.position, 1);
      break;
    }
    case SoundListChange::Full:
      MessageBoxW(page, L"これ以上追加できません。", L"", MB_OK);
      break;
    case SoundListChange::Added:
      InsertRow(page, result.position);
      AppendSongName(page, ListedSoundName(path).c_str());
      break;
    case SoundListChange::None:
      break;
  }
}

void OnDelete(HWND page) {
  const int row = SelectedRow(page);
  if (row < 0) return;
  if (SoundPreviewPlaying(Preview())) StopPreview(page);
  for (int id : {kBeforeList, kAfterList}) {
    if (SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0) == row + 1) SendDlgItemMessageW(page, id, CB_SETCURSEL, 0, 0);
  }
  if (!RemoveSoundAt(Sounds(), row)) return;
  SendMessageW(List(page), LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
  for (int id : {kBeforeList, kAfterList}) SendDlgItemMessageW(page, id, CB_DELETESTRING, static_cast<WPARAM>(row + 1), 0);
  EnableWindow(Item(page, kDeleteButton), FALSE);
  EnableWindow(Item(page, kPlayButton), FALSE);
}

void OnPlay(HWND page) {
  const int row = SelectedRow(page);
  if (SoundPreviewPlaying(Preview()) || row < 0) {
    StopPreview(page);
    return;
  }
  const int slot = Sounds().order[row];
  const std::wstring error = StartSoundPreview(Preview(), page, Sounds().paths[slot], Sounds().volumes[slot]);
  if (!error.empty()) {
    MessageBoxW(page, error.c_str(), L"エラー", MB_OK);
    StopPreview(page);
    return;
  }
  SetDlgItemTextW(page, kPlayButton, L"停止");
}

void OnCommand(HWND page, int id) {
  switch (id) {
    case kAddButton:
      OnAdd(page);
      break;
    case kDeleteButton:
      OnDelete(page);
      break;
    case kPlayButton:
      OnPlay(page);
      break;
    case kBrowseButton:
      BrowseForFile(page, L"音楽ファイル\0*.m4a;*.wav;*.mp3;*.mid;*.wma\0全てのファイル(*.*)\0*.*\0",
                    Item(page, kPathEdit));
      break;
    default:
      break;
  }
}

void OnListNotify(HWND page, const NMHDR* header) {
  int row = -1;
  switch (ReadListChoice(List(page), header, &row)) {
    case ListChoice::RowChosen: {
      if (row >= SoundListRows(Sounds())) break;
      const int slot = Sounds().order[row];
      SetDlgItemTextW(page, kPathEdit, Sounds().paths[slot]);
      ShowVolume(page, Sounds().volumes[slot]);
      SendDlgItemMessageW(page, kVolumeBar, TBM_SETPOS, TRUE, Sounds().volumes[slot]);
      EnableWindow(Item(page, kDeleteButton), TRUE);
      EnableWindow(Item(page, kPlayButton), TRUE);
      break;
    }
    case ListChoice::ClickOnNoRow:
      EnableWindow(Item(page, kDeleteButton), FALSE);
      if (!SoundPreviewPlaying(Preview())) EnableWindow(Item(page, kPlayButton), FALSE);
      break;
    case ListChoice::Other:
      break;
  }
}

void OnApply(HWND page) {
  if (!SheetPageMayStore(timerSheetValidation, page, kTimerSoundPage)) return;
  TimerSettings& s = timerSettings;
  TimerStoreSoundList(Sounds(), &s);
  const int count = SoundListRows(Sounds());
  s.soundIndex[0] = TimerStoredSoundIndex(static_cast<int>(SendDlgItemMessageW(page, kBeforeList, CB_GETCURSEL, 0, 0)), count);
  s.soundIndex[1] = TimerStoredSoundIndex(static_cast<int>(SendDlgItemMessageW(page, kAfterList, CB_GETCURSEL, 0, 0)), count);
  s.soundSeconds[0] = static_cast<int32_t>(GetDlgItemInt(page, kBeforeSecondsEdit, nullptr, FALSE));
  s.soundSeconds[1] = static_cast<int32_t>(GetDlgItemInt(page, kAfterSecondsEdit, nullptr, FALSE));
  s.unexpectedResumeNoSound = IsDlgButtonChecked(page, kNoSoundCheck) == BST_CHECKED ? 1 : 0;
  SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
}

void OnPaint(HWND page) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(page, &paint);
  HGDIOBJ previous = SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, GetSysColor(COLOR_BTNSHADOW));
  MoveToEx(dc, ScaleX(12), ScaleY(310), nullptr);
  LineTo(dc, ScaleX(410), ScaleY(310));
  SelectObject(dc, previous);
  EndPaint(page, &paint);
}

}  // namespace

INT_PTR CALLBACK TimerSoundPageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      ApplyFontToControls(page, uiFont);
      OnInitDialog(page);
      return TRUE;
    case WM_COMMAND:
      OnCommand(page, LOWORD(wParam));
      return FALSE;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == Item(page, kVolumeBar)) {
        ShowVolume(page, static_cast<int>(SendDlgItemMessageW(page, kVolumeBar, TBM_GETPOS, 0, 0)));
      }
      return FALSE;
    case kMsgSoundEnded:
    case kMsgClosePreviewLater:
    case kMsgSoundFailed: {
      std::wstring failure;
      const PreviewEvent event = OnSoundPreviewMessage(Preview(), page, message, &failure);
      if (event == PreviewEvent::Closed || event == PreviewEvent::Failed) {
        StopPreview(page);
        if (SelectedRow(page) < 0) EnableWindow(Item(page, kPlayButton), FALSE);
      }
      if (event == PreviewEvent::Failed) MessageBoxW(page, failure.c_str(), L"エラー", MB_OK);
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == PSN_APPLY) {
        OnApply(page);
        return TRUE;
      }
      if (header->idFrom == kListView) OnListNotify(page, header);
      return FALSE;
    }
    case WM_PAINT:
      OnPaint(page);
      return TRUE;
    case WM_DESTROY:
      EndSoundPreview(Preview());
      return FALSE;
    default:
      return FALSE;
  }
}
