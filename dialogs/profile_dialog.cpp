#include "profile_dialog.h"

#include <commctrl.h>

#include <cstring>
#include <cwchar>

#include "in_memory_dialog.h"
#include "list_view_helpers.h"
#include "main_window_state.h"
#include "profile_file.h"
#include "schedule_model.h"
#include "shared/app_launcher.h"
#include "shared/error_log.h"
#include "shared/program_paths.h"
#include "startup_settings.h"

const wchar_t* ProfileModeText(const uint8_t* bytes, size_t size) {
  if (size < 4) return kUnknownModeText;
  int32_t mode;
  std::memcpy(&mode, bytes, 4);
  const wchar_t* name = ScheduleModeName(mode);
  return name ? name : kUnknownModeText;
}

namespace {

std::vector<std::wstring> ModeColumn(const uint8_t* head, size_t size) { return {ProfileModeText(head, size)}; }

}  // namespace

std::vector<ProfileListEntry> ListProfileFiles(const wchar_t* folder) {
  const ProfileListRules rules{kListedFileNameMaxChars - 4, 4, 0, ModeColumn};
  std::vector<ProfileListEntry> entries;
  for (const ListedProfile& listed : ListProfileFolder(folder, rules))
    if (listed.hasRow) entries.push_back({listed.name, listed.texts[0]});
  return entries;
}

ProfileNameCheck CheckProfileNameForSave(const wchar_t* text) {
  return CheckProfileNameForSave(text, kProfileNameMaxLength);
}

namespace {

int profileLoaded;
int loadLabelTicks;
wchar_t defaultProfileAtOpen[kProfileNameChars];
HWND listView;

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::wstring RowName(int row) {
  wchar_t text[64] = {};
  ListView_GetItemText(listView, row, 0, text, 64);
  return text;
}

// The combo entry (after "なし") naming the same file, or CB_ERR.
int ComboEntry(HWND dialog, const wchar_t* name) {
  return FindProfileComboEntry(Item(dialog, kDefaultProfileComboId), name, 1);
}

void SetButtons(HWND dialog, BOOL enabled) {
  EnableWindow(Item(dialog, kProfileLoadButtonId), enabled);
  EnableWindow(Item(dialog, kProfileDeleteButtonId), enabled);
}

void WriteSetting(const wchar_t* key, const wchar_t* value) {
  WritePrivateProfileStringW(L"Setting", key, value, kSchedulerIniPath);
}

HWND Control(HWND dialog, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int id) {
  HWND control = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  return control;
}

void SetProfileDlgFonts(HWND dialog) {
  const int ids[] = {kProfileListLabelId, kProfileLoadedLabelId, kProfileLoadButtonId, kProfileDeleteButtonId,
                     kProfileNameLabelId, kProfileNameEditId, kProfileSaveButtonId, kDefaultProfileLabelId,
                     kDefaultProfileComboId, kStartWithWindowsBoxId, IDOK};
  for (int id : ids) SendMessageW(Item(dialog, id), WM_SETFONT, reinterpret_cast<WPARAM>(DialogUiFont()), FALSE);
}

void LayoutProfileDlg(HWND dialog) {
  const struct { int id, x, y, w, h; } rects[] = {
      {kProfileListLabelId, 12, 16, 104, 18},  {kProfileListId, 12, 40, 415, 142},
      {kProfileLoadedLabelId, 12, 188, 80, 18}, {kProfileLoadButtonId, 236, 194, 93, 35},
      {kProfileDeleteButtonId, 334, 194, 93, 35}, {kProfileNameLabelId, 12, 231, 92, 18},
      {kProfileNameEditId, 12, 255, 294, 25},  {kProfileSaveButtonId, 334, 250, 93, 35},
      {kDefaultProfileLabelId, 12, 320, 217, 18}, {kDefaultProfileComboId, 12, 342, 295, 26},
      {kStartWithWindowsBoxId, 80, 375, 226, 22}, {IDOK, 334, 425, 93, 35}};
  for (const auto& r : rects) PlaceControl(dialog, r.id, r.x, r.y, r.w, r.h);
  const int width = ScaleX(450), height = ScaleY(505);
  RECT around{};
  HWND frame = mainWindow ? mainWindow : GetWindow(dialog, GW_OWNER);
  if (!frame || !GetWindowRect(frame, &around)) around = CurrentWorkArea();
  SetWindowPos(dialog, nullptr, (around.left + around.right - width) / 2, (around.top + around.bottom - height) / 2,
               width, height, SWP_NOZORDER);
}

void OnInit(HWND dialog) {
  profileLoaded = 0;
  loadLabelTicks = 0;
  Control(dialog, L"STATIC", L"プロファイル一覧", 0, 0, kProfileListLabelId);
  listView = Control(dialog, WC_LISTVIEWW, L"", WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                     WS_EX_CLIENTEDGE, kProfileListId);
  Control(dialog, L"STATIC", L"ロード完了.", 0, 0, kProfileLoadedLabelId);
  ShowWindow(Item(dialog, kProfileLoadedLabelId), SW_HIDE);
  Control(dialog, L"BUTTON", L"ロード", WS_TABSTOP | WS_DISABLED, 0, kProfileLoadButtonId);
  Control(dialog, L"BUTTON", L"削除", WS_TABSTOP | WS_DISABLED, 0, kProfileDeleteButtonId);
  Control(dialog, L"STATIC", L"プロファイル名", 0, 0, kProfileNameLabelId);
  HWND edit = Control(dialog, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kProfileNameEditId);
  SendMessageW(edit, EM_LIMITTEXT, kProfileNameMaxLength, 0);
  Control(dialog, L"BUTTON", L"保存", WS_TABSTOP, 0, kProfileSaveButtonId);
  Control(dialog, L"STATIC", L"起動時に読み込む既定のプロファイル:", 0, 0, kDefaultProfileLabelId);
  HWND combo = Control(dialog, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, kDefaultProfileComboId);
  Control(dialog, L"BUTTON", L"Windowsログオン時に自動で開始する", WS_TABSTOP | BS_AUTOCHECKBOX, 0, kStartWithWindowsBoxId);
  Control(dialog, L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK);

  const int widths[] = {ScaleX(290), ScaleX(93)};
  const wchar_t* texts[] = {L"プロファイル名", L"モード"};
  const int formats[] = {LVCFMT_LEFT, LVCFMT_LEFT};
  SetupListViewColumns(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, widths, listView, 2, texts, formats,
                       meiryoUi16Font ? meiryoUi16Font : DialogUiFont());

  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNoDefaultProfileText));
  int row = 0;
  for (const ProfileListEntry& entry : ListProfileFiles(schedulerProfileFolder)) {
    InsertListViewItem(listView, entry.name.c_str(), row);
    SetListViewItemText(listView, entry.modeText.c_str(), row, 1);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.name.c_str()));
    ++row;
  }
  ReadDefaultProfileName(defaultProfileAtOpen);
  const int chosen = defaultProfileAtOpen[0] ? ComboEntry(dialog, defaultProfileAtOpen) : CB_ERR;
  SendMessageW(combo, CB_SETCURSEL, chosen == CB_ERR ? 0 : chosen, 0);
  if (chosen == CB_ERR) EnableWindow(Item(dialog, kStartWithWindowsBoxId), FALSE);
  else if (startWithWindows) CheckDlgButton(dialog, kStartWithWindowsBoxId, BST_CHECKED);
  SetProfileDlgFonts(dialog);
  LayoutProfileDlg(dialog);
}

void OnSave(HWND dialog) {
  HWND edit = Item(dialog, kProfileNameEditId);
  const int length = GetWindowTextLengthW(edit);
  std::wstring name(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(edit, name.data(), length + 1);
  name.resize(wcslen(name.c_str()));
  switch (CheckProfileNameForSave(name.c_str())) {
    case ProfileNameCheck::Empty: MessageBoxW(dialog, kEmptyNameText, L"", MB_OK); return;
    case ProfileNameCheck::TooLong: MessageBoxW(dialog, kNameTooLongText, L"", MB_OK); return;
    case ProfileNameCheck::Refused: MessageBoxW(dialog, kNameRefusedText, L"", MB_OK); return;
    case ProfileNameCheck::Ok: break;
  }
  const int same = FindSameProfileName(ListViewRowNames(listView), name.c_str());
  if (same >= 0 && MessageBoxW(dialog, kOverwriteQuestionText, L"確認", MB_YESNO) != IDYES) return;
  if (!SaveProfileFile(dialog, name.c_str())) return;
  int row = same;
  if (row < 0) {
    row = InsertListViewItem(listView, name.c_str(), ListView_GetItemCount(listView));
    SendMessageW(Item(dialog, kDefaultProfileComboId), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SetListViewItemText(listView, modeNameText, row, 1);
}

void OnLoad(HWND dialog) {
  const int row = ListView_GetNextItem(listView, -1, LVNI_SELECTED);
  if (row < 0) return;
  const std::wstring name = RowName(row);
  KillTimer(dialog, kLoadLabelTimerId);
  loadLabelTicks = 0;
  if (LoadProfileFile(dialog, name.c_str())) {
    profileLoaded = 1;
    SetTimer(dialog, kLoadLabelTimerId, 1000, nullptr);
    ShowWindow(Item(dialog, kProfileLoadedLabelId), SW_SHOW);
  } else {
    ShowWindow(Item(dialog, kProfileLoadedLabelId), SW_HIDE);
  }
}

void OnDelete(HWND dialog) {
  const int row = ListView_GetNextItem(listView, -1, LVNI_SELECTED);
  if (row < 0) return;
  const std::wstring name = RowName(row);
  wchar_t question[256];
  swprintf(question, 256, L"%lsを削除してもよろしいですか？", name.c_str());
  if (MessageBoxW(dialog, question, L"確認", MB_YESNO) != IDYES) return;
  const int entry = ComboEntry(dialog, name.c_str());
  const bool isDefault = defaultProfileAtOpen[0] && SameProfileName(defaultProfileAtOpen, name.c_str());
  if (isDefault && entry != CB_ERR) {
    swprintf(question, 256, L"%lsは起動時に読み込む既定のプロファイルに設定されています。\n続行しますか？", name.c_str());
    if (MessageBoxW(dialog, question, L"", MB_YESNO) != IDYES) return;
  }
  wchar_t path[MAX_PATH];
  swprintf(path, MAX_PATH, L"%ls%ls.dat", schedulerProfileFolder, name.c_str());
  if (!DeleteProfileFileReported(dialog, path, kDeleteFailedText)) return;
  HWND combo = Item(dialog, kDefaultProfileComboId);
  if (entry != CB_ERR && SendMessageW(combo, CB_GETCURSEL, 0, 0) == entry) {
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    EnableWindow(Item(dialog, kStartWithWindowsBoxId), FALSE);
  }
  if (isDefault) {
    // Nothing may go on naming a file that is gone, whatever ends the dialog.
    WriteSetting(L"DefProfile", L"");
    WriteSetting(L"StartUp", L"0");
    startWithWindows = false;
    RemoveStartupShortcut();
    defaultProfileAtOpen[0] = L'\0';
  }
  ListView_DeleteItem(listView, row);
  if (entry != CB_ERR) SendMessageW(combo, CB_DELETESTRING, entry, 0);
  SetDlgItemTextW(dialog, kProfileNameEditId, L"");
  SetButtons(dialog, FALSE);
}

void OnOk(HWND dialog) {
  if (GetFocus() == Item(dialog, kProfileNameEditId)) {
    OnSave(dialog);
    return;
  }
  HWND combo = Item(dialog, kDefaultProfileComboId);
  const int chosen = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
  wchar_t name[64] = {};
  if (chosen > 0 && SendMessageW(combo, CB_GETLBTEXTLEN, chosen, 0) < 64)
    SendMessageW(combo, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(name));
  HWND box = Item(dialog, kStartWithWindowsBoxId);
  if (name[0] && IsWindowEnabled(box) && IsDlgButtonChecked(dialog, kStartWithWindowsBoxId) == BST_CHECKED) {
    startWithWindows = CreateStartupShortcut(name);
    if (!startWithWindows) MessageBoxW(dialog, kShortcutFailedText, L"エラー", MB_ICONERROR);
  } else {
    startWithWindows = false;
    RemoveStartupShortcut();
  }
  WriteSetting(L"DefProfile", name);
  WriteSetting(L"StartUp", startWithWindows ? L"1" : L"0");
  KillTimer(dialog, kLoadLabelTimerId);
  EndDialog(dialog, profileLoaded);
}

INT_PTR OnNotify(HWND dialog, const NMHDR* header) {
  if (header->idFrom != kProfileListId) return FALSE;
  return OnProfileListNotify(dialog, listView, {kProfileNameEditId, kProfileLoadButtonId, kProfileDeleteButtonId},
                             header);
}

void OnPaint(HWND dialog) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  HPEN pen = separatorPen ? separatorPen : static_cast<HPEN>(GetStockObject(DC_PEN));
  SetDCPenColor(dc, RGB(180, 180, 180));
  HGDIOBJ old = SelectObject(dc, pen);
  for (int y : {305, 404}) {
    MoveToEx(dc, ScaleX(9), ScaleY(y), nullptr);
    LineTo(dc, ScaleX(430), ScaleY(y));
  }
  SelectObject(dc, old);
  EndPaint(dialog, &paint);
}

}  // namespace

INT_PTR CALLBACK ProfileDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInit(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kProfileSaveButtonId: OnSave(dialog); return TRUE;
        case kProfileLoadButtonId: OnLoad(dialog); return TRUE;
        case kProfileDeleteButtonId: OnDelete(dialog); return TRUE;
        case kDefaultProfileComboId:
          if (HIWORD(wParam) == CBN_SELCHANGE)
            EnableWindow(Item(dialog, kStartWithWindowsBoxId),
                         SendMessageW(Item(dialog, kDefaultProfileComboId), CB_GETCURSEL, 0, 0) > 0);
          return TRUE;
        case IDOK: OnOk(dialog); return TRUE;
        case IDCANCEL:
          KillTimer(dialog, kLoadLabelTimerId);
          EndDialog(dialog, profileLoaded);
          return TRUE;
        default: return FALSE;
      }
    case WM_NOTIFY:
      return OnNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
    case WM_TIMER:
      if (wParam != kLoadLabelTimerId) return FALSE;
      if (loadLabelTicks == 1) {
        loadLabelTicks = 0;
        ShowWindow(Item(dialog, kProfileLoadedLabelId), SW_HIDE);
        KillTimer(dialog, kLoadLabelTimerId);
      }
      ++loadLabelTicks;
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

INT_PTR RunProfileDialog(HWND owner) {
  const std::vector<WORD> words =
      BuildEmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, L"プロファイル");
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), owner,
                                 ProfileDlgProc, 0);
}
