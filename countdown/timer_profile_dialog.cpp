#include "timer_profile_dialog.h"

#include <commctrl.h>

#include <cwchar>

#include "countdown_state.h"
#include "dpi_scaling.h"
#include "list_view_helpers.h"
#include "shared/profile_names.h"
#include "shared/program_paths.h"
#include "timer_main_window.h"

namespace {

const wchar_t* ModeDisplayName(int32_t mode) {
  const wchar_t* name = mode >= Time && mode <= EndNow ? timerDisplayNames[5 + mode] : nullptr;
  return name ? name : L"";
}

}  // namespace

std::vector<std::wstring> TimerProfileRowTexts(const uint8_t* head, size_t size) {
  int32_t mode = -1, action = -1;
  ReadTimerProfileHead(head, size, &mode, &action);
  return {ModeDisplayName(mode), TimerActionDisplayName(action)};
}

const ProfileListRules timerProfileListRules{kTimerProfileNameMaxLength, kTimerProfileHeadSize,
                                             kTimerProfileHeadSize, TimerProfileRowTexts};

namespace {

// State of one opening.
int profileLoaded;
int loadLabelTicks;
wchar_t defaultProfileAtOpen[kTimerProfileNameChars];
HWND listView;

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }
HWND Combo(HWND dialog) { return Item(dialog, kTimerDefaultProfileComboId); }

std::wstring RowName(int row) {
  wchar_t text[64] = {};
  ListView_GetItemText(listView, row, 0, text, 64);
  return text;
}

void SetRowTexts(int row, int32_t mode, int32_t action) {
  SetListViewItemText(listView, ModeDisplayName(mode), row, 1);
  SetListViewItemText(listView, TimerActionDisplayName(action), row, 2);
}

void SetRowButtons(HWND dialog, BOOL enabled) {
  EnableWindow(Item(dialog, kTimerProfileLoadButtonId), enabled);
  EnableWindow(Item(dialog, kTimerProfileDeleteButtonId), enabled);
}

void WriteDefaultProfile(const wchar_t* name) {
  WritePrivateProfileStringW(L"Setting", L"DefProfile", name, kTimerIniPath);
}

void Layout(HWND dialog) {
  const struct { int id, x, y, w, h; } rects[] = {
      {kTimerProfileListLabelId, 12, 16, 104, 18},    {kTimerProfileListId, 12, 40, 415, 142},
      {kTimerProfileLoadedLabelId, 12, 188, 80, 18},  {kTimerProfileLoadButtonId, 236, 194, 93, 35},
      {kTimerProfileDeleteButtonId, 334, 194, 93, 35}, {kTimerProfileNameLabelId, 12, 231, 92, 18},
      {kTimerProfileNameEditId, 12, 255, 294, 25},    {kTimerProfileSaveButtonId, 334, 250, 93, 35},
      {kTimerDefaultProfileLabelId, 12, 320, 217, 18}, {kTimerDefaultProfileComboId, 12, 342, 295, 26},
      {IDOK, 334, 405, 93, 35}};
  for (const auto& r : rects) PlaceControl(dialog, r.id, r.x, r.y, r.w, r.h);
  const int width = ScaleX(450), height = ScaleY(485);
  RECT around{};
  HWND frame = mainWindow ? mainWindow : GetWindow(dialog, GW_OWNER);
  if (!frame || !GetWindowRect(frame, &around)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  SetWindowPos(dialog, nullptr, (around.left + around.right - width) / 2, (around.top + around.bottom - height) / 2,
               width, height, SWP_NOZORDER);
}

void OnInit(HWND dialog) {
  profileLoaded = 0;
  loadLabelTicks = 0;
  listView = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER,
                             0, 0, 10, 10, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTimerProfileListId)),
                             GetModuleHandleW(nullptr), nullptr);
  // Right after its label in the tab order.
  SetWindowPos(listView, Item(dialog, kTimerProfileListLabelId), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const int widths[] = {ScaleX(223), ScaleX(73), ScaleX(109)};
  const wchar_t* texts[] = {L"プロファイル名", L"終了フラグ", L"終了オプション"};
  const int formats[] = {LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT};
  SetupListViewColumns(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, widths, listView, 3, texts, formats,
                       reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
  SendDlgItemMessageW(dialog, kTimerProfileNameEditId, EM_LIMITTEXT, kTimerProfileNameMaxLength, 0);

  // Every name goes to the default list, also of a file that has no row.
  HWND combo = Combo(dialog);
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kTimerNoDefaultProfileText));
  int row = 0;
  for (const ListedProfile& listed : ListProfileFolder(profileFolder, timerProfileListRules)) {
    if (listed.hasRow) {
      InsertListViewItem(listView, listed.name.c_str(), row);
      SetListViewItemText(listView, listed.texts[0].c_str(), row, 1);
      SetListViewItemText(listView, listed.texts[1].c_str(), row, 2);
      ++row;
    }
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(listed.name.c_str()));
  }
  // As long as at start-up, so that OK never erases a default it did not find.
  GetPrivateProfileStringW(L"Setting", L"DefProfile", L"", defaultProfileAtOpen, kTimerProfileNameChars,
                           kTimerIniPath);
  const int chosen = defaultProfileAtOpen[0] ? FindProfileComboEntry(combo, defaultProfileAtOpen, 1) : CB_ERR;
  SendMessageW(combo, CB_SETCURSEL, chosen == CB_ERR ? 0 : chosen, 0);
  Layout(dialog);
}

std::wstring NameEditText(HWND dialog) {
  HWND edit = Item(dialog, kTimerProfileNameEditId);
  const int length = GetWindowTextLengthW(edit);
  std::wstring name(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(edit, &name[0], length + 1);
  name.resize(wcslen(name.c_str()));
  return name;
}

void OnSave(HWND dialog) {
  const std::wstring name = NameEditText(dialog);
  switch (CheckProfileNameForSave(name.c_str(), kTimerProfileNameMaxLength)) {
    case ProfileNameCheck::Empty: MessageBoxW(dialog, kTimerEmptyNameText, L"", MB_OK); return;
    case ProfileNameCheck::TooLong: MessageBoxW(dialog, kTimerNameTooLongText, L"", MB_OK); return;
    case ProfileNameCheck::Refused: MessageBoxW(dialog, kBadProfileNameText, L"", MB_OK); return;
    case ProfileNameCheck::Ok: break;
  }
  // File names ignore letter case: "ABC" beside "abc" is the same file and row.
  int row = FindSameProfileName(ListViewRowNames(listView), name.c_str());
  if (row >= 0 && MessageBoxW(dialog, kTimerOverwriteQuestionText, L"確認", MB_YESNO) != IDYES) return;
  if (!TimerSaveProfileFile(dialog, name.c_str())) return;
  if (row < 0) {
    row = InsertListViewItem(listView, name.c_str(), ListView_GetItemCount(listView));
    // A file that had no row may already be offered as the default.
    if (FindProfileComboEntry(Combo(dialog), name.c_str(), 1) == CB_ERR)
      SendMessageW(Combo(dialog), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SetRowTexts(row, timerSettings.mode, timerSettings.action);
}

void OnLoad(HWND dialog) {
  const int row = ListView_GetNextItem(listView, -1, LVNI_SELECTED);
  if (row < 0) {
    MessageBeep(0);
    return;
  }
  const std::wstring name = RowName(row);
  KillTimer(dialog, kTimerLoadLabelTimerId);
  loadLabelTicks = 0;
  if (TimerLoadProfileFile(dialog, name.c_str())) {
    profileLoaded = 1;
    SetTimer(dialog, kTimerLoadLabelTimerId, 1000, nullptr);
    ShowWindow(Item(dialog, kTimerProfileLoadedLabelId), SW_SHOW);
  } else {
    ShowWindow(Item(dialog, kTimerProfileLoadedLabelId), SW_HIDE);
  }
}

void OnDelete(HWND dialog) {
  const int row = ListView_GetNextItem(listView, -1, LVNI_SELECTED);
  if (row < 0) return;
  const std::wstring name = RowName(row);
  wchar_t question[256];
  _snwprintf(question, 256, L"%lsを削除してもよろしいですか？", name.c_str());
  question[255] = L'\0';
  if (MessageBoxW(dialog, question, L"確認", MB_YESNO) != IDYES) return;
  HWND combo = Combo(dialog);
  // The entry naming this very file: "abc" is no match for "abcd", nor "な" for "なし".
  const int entry = FindProfileComboEntry(combo, name.c_str(), 1);
  const bool isDefault = defaultProfileAtOpen[0] && SameProfileName(defaultProfileAtOpen, name.c_str());
  if (isDefault) {
    _snwprintf(question, 256, L"%lsは起動時に読み込む既定のプロファイルに設定されています。\n続行しますか？",
               name.c_str());
    question[255] = L'\0';
    if (MessageBoxW(dialog, question, L"", MB_YESNO) != IDYES) return;
  }
  wchar_t path[MAX_PATH];
  _snwprintf(path, MAX_PATH, L"%ls%ls.dat", profileFolder, name.c_str());
  path[MAX_PATH - 1] = L'\0';
  if (!DeleteProfileFileReported(dialog, path, kTimerDeleteFailedText)) return;
  if (entry != CB_ERR && SendMessageW(combo, CB_GETCURSEL, 0, 0) == entry) SendMessageW(combo, CB_SETCURSEL, 0, 0);
  if (isDefault) {
    // The file is gone whatever ends the dialog: no later start may look for it.
    WriteDefaultProfile(L"");
    defaultProfileAtOpen[0] = L'\0';
  }
  ListView_DeleteItem(listView, row);
  if (entry != CB_ERR) SendMessageW(combo, CB_DELETESTRING, entry, 0);
  SetDlgItemTextW(dialog, kTimerProfileNameEditId, L"");
  SetRowButtons(dialog, FALSE);
}

void OnOk(HWND dialog) {
  // Enter in the name edit saves.
  if (GetFocus() == Item(dialog, kTimerProfileNameEditId)) {
    OnSave(dialog);
    return;
  }
  HWND combo = Combo(dialog);
  const int chosen = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
  wchar_t name[64] = {};
  if (chosen > 0 && SendMessageW(combo, CB_GETLBTEXTLEN, chosen, 0) < 64)
    SendMessageW(combo, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(name));
  WriteDefaultProfile(name);
  KillTimer(dialog, kTimerLoadLabelTimerId);
  EndDialog(dialog, profileLoaded);
}

void OnTimer(HWND dialog) {
  if (loadLabelTicks == 1) {
    loadLabelTicks = 0;
    ShowWindow(Item(dialog, kTimerProfileLoadedLabelId), SW_HIDE);
    KillTimer(dialog, kTimerLoadLabelTimerId);
  }
  ++loadLabelTicks;
}

void OnPaint(HWND dialog) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(180, 180, 180));
  HGDIOBJ old = SelectObject(dc, pen);
  for (int y : {305, 384}) {
    MoveToEx(dc, ScaleX(9), ScaleY(y), nullptr);
    LineTo(dc, ScaleX(430), ScaleY(y));
  }
  SelectObject(dc, old);
  DeleteObject(pen);
  EndPaint(dialog, &paint);
}

}  // namespace

INT_PTR CALLBACK TimerProfileDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInit(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kTimerProfileSaveButtonId: OnSave(dialog); return TRUE;
        case kTimerProfileLoadButtonId: OnLoad(dialog); return TRUE;
        case kTimerProfileDeleteButtonId: OnDelete(dialog); return TRUE;
        case IDOK: OnOk(dialog); return TRUE;
        case IDCANCEL:
          KillTimer(dialog, kTimerLoadLabelTimerId);
          EndDialog(dialog, profileLoaded);
          return TRUE;
        default: return FALSE;
      }
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom != kTimerProfileListId) return FALSE;
      return OnProfileListNotify(dialog, listView,
                                 {kTimerProfileNameEditId, kTimerProfileLoadButtonId, kTimerProfileDeleteButtonId},
                                 header);
    }
    case WM_TIMER:
      if (wParam != kTimerLoadLabelTimerId) return FALSE;
      OnTimer(dialog);
      return TRUE;
    case WM_PAINT:
      OnPaint(dialog);
      return TRUE;
    case WM_DESTROY:
      listView = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR TimerRunProfileDialog(HWND owner) {
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kTimerProfileDialogId), owner,
                         TimerProfileDlgProc, 0);
}
