#include "timer_profile_dialog.h"

#include <commctrl.h>

#include <cwchar>

#include "countdown_state.h"
#include "dpi_scaling.h"
#include "list_view_helpers.h"
#include "profile_dialog_core.h"
#include "shared/profile_names.h"
#include "shared/program_paths.h"
#include "shared/ui_setup.h"
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

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

void WriteDefaultProfile(const wchar_t* name) {
  WritePrivateProfileStringW(L"Setting", L"DefProfile", name, kTimerIniPath);
}

std::vector<std::wstring> SavedRowTexts() {
  return {ModeDisplayName(timerSettings.mode), TimerActionDisplayName(timerSettings.action)};
}

// As long as at start-up, so that OK never erases a default it did not find.
void ReadDefault(wchar_t* name, size_t chars) {
  GetPrivateProfileStringW(L"Setting", L"DefProfile", L"", name,
                           static_cast<DWORD>(chars < kTimerProfileNameChars ? chars : kTimerProfileNameChars),
                           kTimerIniPath);
}

void ForgetDefault() { WriteDefaultProfile(L""); }
void StoreDefault(HWND, const wchar_t* name) { WriteDefaultProfile(name); }

const ProfileDialogConfig kConfig = {
    kTimerProfileListLabelId, kTimerProfileNameLabelId, kTimerDefaultProfileLabelId,
    kTimerProfileListId, kTimerProfileLoadedLabelId, kTimerProfileLoadButtonId, kTimerProfileDeleteButtonId,
    kTimerProfileNameEditId, kTimerProfileSaveButtonId, kTimerDefaultProfileComboId,
    kTimerLoadLabelTimerId,
    0,  // no row of its own under the default combo
    kTimerProfileNameMaxLength, profileFolder, &timerProfileListRules,
    kTimerEmptyNameText, kTimerNameTooLongText, kBadProfileNameText, kTimerOverwriteQuestionText,
    kTimerDeleteFailedText, kTimerNoDefaultProfileText,
    true,  // "ロード" without a row beeps
    true,  // a file too short for a row is still offered as the default
    {305, 384}, nullptr,
    TimerSaveProfileFile, TimerLoadProfileFile, SavedRowTexts, ReadDefault, ForgetDefault, nullptr, StoreDefault,
};

void OnInit(HWND dialog) {
  HWND listView = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER,
                                  0, 0, 10, 10, dialog,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTimerProfileListId)),
                                  GetModuleHandleW(nullptr), nullptr);
  // Right after its label in the tab order.
  SetWindowPos(listView, Item(dialog, kTimerProfileListLabelId), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const int widths[] = {ScaleX(223), ScaleX(73), ScaleX(109)};
  const wchar_t* texts[] = {L"プロファイル名", L"終了フラグ", L"終了オプション"};
  const int formats[] = {LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT};
  SetupListViewColumns(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, widths, listView, 3, texts, formats,
                       reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
  // Every name goes to the default list, also of a file that has no row.
  InitProfileDialog(dialog, listView, kConfig);
  LayoutProfileDialog(dialog, kConfig, mainWindow ? mainWindow : GetWindow(dialog, GW_OWNER));
}

}  // namespace

INT_PTR CALLBACK TimerProfileDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    ApplyFontToControls(dialog, uiFont);
    OnInit(dialog);
    return TRUE;
  }
  INT_PTR result = FALSE;
  return HandleProfileDialogMessage(dialog, message, wParam, lParam, kConfig, &result) ? result : FALSE;
}

INT_PTR TimerRunProfileDialog(HWND owner) {
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kTimerProfileDialogId), owner,
                         TimerProfileDlgProc, 0);
}
