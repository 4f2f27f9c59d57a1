#include "profile_dialog_core.h"

#include <commctrl.h>

#include <cwchar>

#include "dpi_scaling.h"
#include "list_view_helpers.h"
#include "shared/profile_names.h"

namespace {

// State of the one open dialog.
int profileLoaded;
int loadLabelTicks;
wchar_t defaultAtOpen[64];
HWND listView;

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::wstring RowName(int row) {
  wchar_t text[64] = {};
  ListView_GetItemText(listView, row, 0, text, 64);
  return text;
}

void SetRowTexts(int row, const std::vector<std::wstring>& texts) {
  for (size_t i = 0; i < texts.size(); ++i) SetListViewItemText(listView, texts[i].c_str(), row, static_cast<int>(i + 1));
}

int ComboEntry(HWND dialog, const ProfileDialogConfig& config, const wchar_t* name) {
  return FindProfileComboEntry(Item(dialog, config.defaultComboId), name, 1);
}

std::wstring NameEditText(HWND dialog, const ProfileDialogConfig& config) {
  HWND edit = Item(dialog, config.nameEditId);
  const int length = GetWindowTextLengthW(edit);
  std::wstring name(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(edit, &name[0], length + 1);
  name.resize(wcslen(name.c_str()));
  return name;
}

void OnSave(HWND dialog, const ProfileDialogConfig& config) {
  const std::wstring name = NameEditText(dialog, config);
  switch (CheckProfileNameForSave(name.c_str(), config.nameMaxLength)) {
    case ProfileNameCheck::Empty: MessageBoxW(dialog, config.emptyNameText, L"", MB_OK); return;
    case ProfileNameCheck::TooLong: MessageBoxW(dialog, config.nameTooLongText, L"", MB_OK); return;
    case ProfileNameCheck::Refused: MessageBoxW(dialog, config.nameRefusedText, L"", MB_OK); return;
    case ProfileNameCheck::Ok: break;
  }
  // File names ignore letter case: "ABC" beside "abc" is the same file and row.
  int row = FindSameProfileName(ListViewRowNames(listView), name.c_str());
  if (row >= 0 && MessageBoxW(dialog, config.overwriteQuestionText, L"確認", MB_YESNO) != IDYES) return;
  if (!config.save(dialog, name.c_str())) return;
  if (row < 0) {
    row = InsertListViewItem(listView, name.c_str(), ListView_GetItemCount(listView));
    // A file that had no row may already be offered as the default.
    if (ComboEntry(dialog, config, name.c_str()) == CB_ERR)
      SendDlgItemMessageW(dialog, config.defaultComboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SetRowTexts(row, config.savedRowTexts());
}

void OnLoad(HWND dialog, const ProfileDialogConfig& config) {
  const int row = ListView_GetNextItem(listView, -1, LVNI_SELECTED);
  if (row < 0) {
    if (config.beepOnLoadWithoutRow) MessageBeep(0);
    return;
  }
  const std::wstring name = RowName(row);
  KillTimer(dialog, config.loadLabelTimerId);
  loadLabelTicks = 0;
  if (config.load(dialog, name.c_str())) {
    profileLoaded = 1;
    SetTimer(dialog, config.loadLabelTimerId, 1000, nullptr);
    ShowWindow(Item(dialog, config.loadedLabelId), SW_SHOW);
  } else {
    ShowWindow(Item(dialog, config.loadedLabelId), SW_HIDE);
  }
}

void OnDelete(HWND dialog, const ProfileDialogConfig& config) {
  const int row = ListView_GetNextItem(listView, -1, LVNI_SELECTED);
  if (row < 0) return;
  const std::wstring name = RowName(row);
  wchar_t question[256];
  _snwprintf(question, 256, L"%lsを削除してもよろしいですか？", name.c_str());
  question[255] = L'\0';
  if (MessageBoxW(dialog, question, L"確認", MB_YESNO) != IDYES) return;
  HWND combo = Item(dialog, config.defaultComboId);
  // The entry naming this very file: "abc" is no match for "abcd", nor "な" for "なし".
  const int entry = ComboEntry(dialog, config, name.c_str());
  const bool isDefault = defaultAtOpen[0] && SameProfileName(defaultAtOpen, name.c_str());
  if (isDefault) {
    _snwprintf(question, 256, L"%lsは起動時に読み込む既定のプロファイルに設定されています。\n続行しますか？",
               name.c_str());
    question[255] = L'\0';
    if (MessageBoxW(dialog, question, L"", MB_YESNO) != IDYES) return;
  }
  wchar_t path[MAX_PATH];
  _snwprintf(path, MAX_PATH, L"%ls%ls.dat", config.folder, name.c_str());
  path[MAX_PATH - 1] = L'\0';
  if (!DeleteProfileFileReported(dialog, path, config.deleteFailedText)) return;
  if (entry != CB_ERR && SendMessageW(combo, CB_GETCURSEL, 0, 0) == entry) {
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    if (config.defaultCleared) config.defaultCleared(dialog);
  }
  if (isDefault) {
    // The file is gone whatever ends the dialog: no later start may look for it.
    config.forgetDefault();
    defaultAtOpen[0] = L'\0';
  }
  ListView_DeleteItem(listView, row);
  if (entry != CB_ERR) SendMessageW(combo, CB_DELETESTRING, entry, 0);
  SetDlgItemTextW(dialog, config.nameEditId, L"");
  EnableWindow(Item(dialog, config.loadButtonId), FALSE);
  EnableWindow(Item(dialog, config.deleteButtonId), FALSE);
}

void Close(HWND dialog, const ProfileDialogConfig& config) {
  KillTimer(dialog, config.loadLabelTimerId);
  EndDialog(dialog, profileLoaded);
}

void OnOk(HWND dialog, const ProfileDialogConfig& config) {
  // Enter in the name edit saves.
  if (GetFocus() == Item(dialog, config.nameEditId)) {
    OnSave(dialog, config);
    return;
  }
  HWND combo = Item(dialog, config.defaultComboId);
  const int chosen = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
  wchar_t name[64] = {};
  if (chosen > 0 && SendMessageW(combo, CB_GETLBTEXTLEN, chosen, 0) < 64)
    SendMessageW(combo, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(name));
  config.storeDefault(dialog, name);
  Close(dialog, config);
}

void OnTimer(HWND dialog, const ProfileDialogConfig& config) {
  if (loadLabelTicks == 1) {
    loadLabelTicks = 0;
    ShowWindow(Item(dialog, config.loadedLabelId), SW_HIDE);
    KillTimer(dialog, config.loadLabelTimerId);
  }
  ++loadLabelTicks;
}

void OnPaint(HWND dialog, const ProfileDialogConfig& config) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  HPEN own = nullptr;
  HPEN pen = config.separatorPen ? *config.separatorPen : nullptr;
  if (!pen) pen = own = CreatePen(PS_SOLID, 1, RGB(180, 180, 180));
  HGDIOBJ old = SelectObject(dc, pen);
  for (int y : config.separatorYs) {
    MoveToEx(dc, ScaleX(9), ScaleY(y), nullptr);
    LineTo(dc, ScaleX(430), ScaleY(y));
  }
  SelectObject(dc, old);
  if (own) DeleteObject(own);
  EndPaint(dialog, &paint);
}

}  // namespace

int InitProfileDialog(HWND dialog, HWND list, const ProfileDialogConfig& config) {
  profileLoaded = 0;
  loadLabelTicks = 0;
  listView = list;
  SendDlgItemMessageW(dialog, config.nameEditId, EM_LIMITTEXT, config.nameMaxLength, 0);
  HWND combo = Item(dialog, config.defaultComboId);
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(config.noDefaultText));
  int row = 0;
  for (const ListedProfile& listed : ListProfileFolder(config.folder, *config.rules)) {
    if (listed.hasRow) {
      InsertListViewItem(listView, listed.name.c_str(), row);
      SetRowTexts(row, listed.texts);
      ++row;
    }
    if (listed.hasRow || config.offerFilesWithoutRow)
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(listed.name.c_str()));
  }
  config.readDefault(defaultAtOpen, sizeof defaultAtOpen / sizeof defaultAtOpen[0]);
  const int chosen = defaultAtOpen[0] ? ComboEntry(dialog, config, defaultAtOpen) : CB_ERR;
  SendMessageW(combo, CB_SETCURSEL, chosen == CB_ERR ? 0 : chosen, 0);
  return chosen;
}

void LayoutProfileDialog(HWND dialog, const ProfileDialogConfig& config, HWND frame) {
  const int extra = config.extraRowHeight;
  const struct { int id, x, y, w, h; } rects[] = {
      {config.listLabelId, 12, 16, 104, 18},     {config.listId, 12, 40, 415, 142},
      {config.loadedLabelId, 12, 188, 80, 18},   {config.loadButtonId, 236, 194, 93, 35},
      {config.deleteButtonId, 334, 194, 93, 35}, {config.nameLabelId, 12, 231, 92, 18},
      {config.nameEditId, 12, 255, 294, 25},     {config.saveButtonId, 334, 250, 93, 35},
      {config.defaultLabelId, 12, 320, 217, 18}, {config.defaultComboId, 12, 342, 295, 26},
      {IDOK, 334, 405 + extra, 93, 35}};
  for (const auto& r : rects) PlaceControl(dialog, r.id, r.x, r.y, r.w, r.h);
  const int width = ScaleX(450), height = ScaleY(485 + extra);
  RECT around{};
  if (!frame || !GetWindowRect(frame, &around)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  const POINT at = CenterOnWorkArea(around, width, height);
  SetWindowPos(dialog, nullptr, at.x, at.y, width, height, SWP_NOZORDER);
}

bool HandleProfileDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                                const ProfileDialogConfig& config, INT_PTR* result) {
  *result = TRUE;
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == config.saveButtonId) OnSave(dialog, config);
      else if (id == config.loadButtonId) OnLoad(dialog, config);
      else if (id == config.deleteButtonId) OnDelete(dialog, config);
      else if (id == IDOK) OnOk(dialog, config);
      else if (id == IDCANCEL) Close(dialog, config);
      else return false;
      return true;
    }
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (static_cast<int>(header->idFrom) != config.listId) return false;
      *result = OnProfileListNotify(dialog, listView, {config.nameEditId, config.loadButtonId, config.deleteButtonId},
                                    header);
      return true;
    }
    case WM_TIMER:
      if (wParam != config.loadLabelTimerId) return false;
      OnTimer(dialog, config);
      return true;
    case WM_PAINT:
      OnPaint(dialog, config);
      return true;
    case WM_DESTROY:
      listView = nullptr;
      *result = FALSE;
      return true;
    default:
      return false;
  }
}
