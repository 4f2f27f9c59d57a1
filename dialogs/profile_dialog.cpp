#include "profile_dialog.h"

#include <commctrl.h>

#include <cstring>
#include <cwchar>

#include "in_memory_dialog.h"
#include "list_view_helpers.h"
#include "profile_dialog_core.h"
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

const ProfileListRules schedulerListRules{kListedFileNameMaxChars - 4, 4, 0, ModeColumn};

}  // namespace

std::vector<ProfileListEntry> ListProfileFiles(const wchar_t* folder) {
  std::vector<ProfileListEntry> entries;
  for (const ListedProfile& listed : ListProfileFolder(folder, schedulerListRules))
    if (listed.hasRow) entries.push_back({listed.name, listed.texts[0]});
  return entries;
}

ProfileNameCheck CheckProfileNameForSave(const wchar_t* text) {
  return CheckProfileNameForSave(text, kProfileNameMaxLength);
}

namespace {

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

void WriteSetting(const wchar_t* key, const wchar_t* value) {
  WritePrivateProfileStringW(L"Setting", key, value, kSchedulerIniPath);
}

std::vector<std::wstring> SavedRowTexts() { return {modeNameText}; }

void ReadDefault(wchar_t* name, size_t chars) {
  wchar_t stored[kProfileNameChars] = {};
  ReadDefaultProfileName(stored);
  lstrcpynW(name, stored, static_cast<int>(chars));
}

void ForgetDefault() {
  WriteSetting(L"DefProfile", L"");
  WriteSetting(L"StartUp", L"0");
  startWithWindows = false;
  RemoveStartupShortcut();
}

void DefaultCleared(HWND dialog) { EnableWindow(Item(dialog, kStartWithWindowsBoxId), FALSE); }

void StoreDefault(HWND dialog, const wchar_t* name) {
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
}

bool Save(HWND dialog, const wchar_t* name) { return SaveProfileFile(dialog, name); }
bool Load(HWND dialog, const wchar_t* name) { return LoadProfileFile(dialog, name); }

const ProfileDialogConfig kConfig = {
    kProfileListLabelId, kProfileNameLabelId, kDefaultProfileLabelId,
    kProfileListId, kProfileLoadedLabelId, kProfileLoadButtonId, kProfileDeleteButtonId,
    kProfileNameEditId, kProfileSaveButtonId, kDefaultProfileComboId,
    kLoadLabelTimerId,
    20,  // the row of "Windowsログオン時に自動で開始する"
    kProfileNameMaxLength, schedulerProfileFolder, &schedulerListRules,
    kEmptyNameText, kNameTooLongText, kNameRefusedText, kOverwriteQuestionText,
    kDeleteFailedText, kNoDefaultProfileText,
    false,  // "ロード" without a row does nothing
    false,  // only files with a row are offered as the default
    {305, 404}, &separatorPen,
    Save, Load, SavedRowTexts, ReadDefault, ForgetDefault, DefaultCleared, StoreDefault,
};

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

void OnInit(HWND dialog) {
  Control(dialog, L"STATIC", L"プロファイル一覧", 0, 0, kProfileListLabelId);
  HWND listView = Control(dialog, WC_LISTVIEWW, L"", WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                     WS_EX_CLIENTEDGE, kProfileListId);
  Control(dialog, L"STATIC", L"ロード完了.", 0, 0, kProfileLoadedLabelId);
  ShowWindow(Item(dialog, kProfileLoadedLabelId), SW_HIDE);
  Control(dialog, L"BUTTON", L"ロード", WS_TABSTOP | WS_DISABLED, 0, kProfileLoadButtonId);
  Control(dialog, L"BUTTON", L"削除", WS_TABSTOP | WS_DISABLED, 0, kProfileDeleteButtonId);
  Control(dialog, L"STATIC", L"プロファイル名", 0, 0, kProfileNameLabelId);
  Control(dialog, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kProfileNameEditId);
  Control(dialog, L"BUTTON", L"保存", WS_TABSTOP, 0, kProfileSaveButtonId);
  Control(dialog, L"STATIC", L"起動時に読み込む既定のプロファイル:", 0, 0, kDefaultProfileLabelId);
  Control(dialog, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, kDefaultProfileComboId);
  Control(dialog, L"BUTTON", L"Windowsログオン時に自動で開始する", WS_TABSTOP | BS_AUTOCHECKBOX, 0, kStartWithWindowsBoxId);
  Control(dialog, L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK);

  const int widths[] = {ScaleX(290), ScaleX(93)};
  const wchar_t* texts[] = {L"プロファイル名", L"モード"};
  const int formats[] = {LVCFMT_LEFT, LVCFMT_LEFT};
  SetupListViewColumns(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, widths, listView, 2, texts, formats,
                       meiryoUi16Font ? meiryoUi16Font : DialogUiFont());

  const int chosen = InitProfileDialog(dialog, listView, kConfig);
  if (chosen == CB_ERR) EnableWindow(Item(dialog, kStartWithWindowsBoxId), FALSE);
  else if (startWithWindows) CheckDlgButton(dialog, kStartWithWindowsBoxId, BST_CHECKED);
  SetProfileDlgFonts(dialog);
  LayoutProfileDialog(dialog, kConfig, mainWindow ? mainWindow : GetWindow(dialog, GW_OWNER));
  PlaceControl(dialog, kStartWithWindowsBoxId, 80, 375, 226, 22);
}

}  // namespace

INT_PTR CALLBACK ProfileDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    OnInit(dialog);
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == kDefaultProfileComboId) {
    if (HIWORD(wParam) == CBN_SELCHANGE)
      EnableWindow(Item(dialog, kStartWithWindowsBoxId),
                   SendMessageW(Item(dialog, kDefaultProfileComboId), CB_GETCURSEL, 0, 0) > 0);
    return TRUE;
  }
  INT_PTR result = FALSE;
  return HandleProfileDialogMessage(dialog, message, wParam, lParam, kConfig, &result) ? result : FALSE;
}

INT_PTR RunProfileDialog(HWND owner) {
  const std::vector<WORD> words =
      BuildEmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, L"プロファイル");
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), owner,
                                 ProfileDlgProc, 0);
}
