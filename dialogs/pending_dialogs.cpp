#include "pending_dialogs.h"

#include "applications_page.h"
#include "capture_page.h"
#include "general_page.h"
#include "in_memory_dialog.h"
#include "mail_page.h"
#include "private_messages.h"

std::vector<StandInChoice> standInChoices;

namespace {

INT_PTR StandInPage(HWND page, UINT message, WPARAM wParam, int number) {
  if (message == WM_INITDIALOG) {
    RegisterSettingsPage(page, number);
    return TRUE;
  }
  if (message == kMsgRefreshPage) {
    standInChoices.push_back({number, static_cast<int>(wParam)});
    return TRUE;
  }
  if (message == WM_DESTROY && settingsSheetState.pageWindows[number - 1] == page)
    settingsSheetState.pageWindows[number - 1] = nullptr;
  return FALSE;
}

INT_PTR CALLBACK SoundStandInProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  return StandInPage(page, message, wParam, kSoundPage);
}

const std::vector<WORD>& EmptyPageTemplate() {
  static const std::vector<WORD> words =
      BuildEmptyDialogTemplate(WS_CHILD | WS_CAPTION | DS_3DLOOK, 0, L"", 220, 180);
  return words;
}

const DLGTEMPLATE* EmptyPage() { return reinterpret_cast<const DLGTEMPLATE*>(EmptyPageTemplate().data()); }

}  // namespace

const SettingsPageEntry settingsPages[kSettingsPageCount] = {
    {155, L"全般", GeneralPageDlgProc, GeneralPageTemplate()},
    {158, L" サウンド", SoundStandInProc, EmptyPage()},
    {159, L"アプリ", AppsPageDlgProc, ApplicationsPageTemplate()},
    {160, L"キャプチャー", CapturePageDlgProc, CapturePageTemplate()},
    {161, L"メール", MailPageDlgProc, MailPageTemplate()},
};
