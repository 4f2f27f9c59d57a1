#include "pending_dialogs.h"

#include "in_memory_dialog.h"
#include "mail_page.h"

namespace {

// An empty page: it has nothing to check and nothing to store.
INT_PTR CALLBACK EmptyPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const PROPSHEETPAGEW* sheetPage = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
    RegisterSettingsPage(page, static_cast<int>(sheetPage->lParam));
    return TRUE;
  }
  return FALSE;
}

const std::vector<WORD>& EmptyPageTemplate() {
  static const std::vector<WORD> words =
      BuildEmptyDialogTemplate(WS_CHILD | WS_CAPTION | DS_3DLOOK, 0, L"", 220, 180);
  return words;
}

const DLGTEMPLATE* EmptyPage() { return reinterpret_cast<const DLGTEMPLATE*>(EmptyPageTemplate().data()); }

}  // namespace

INT_PTR RunProfileDialog(HWND owner) {
  MessageBoxW(owner, L"プロファイルの画面はまだありません。", L"", MB_OK);
  return 0;
}

const SettingsPageEntry settingsPages[kSettingsPageCount] = {
    {155, L"全般", EmptyPageProc, EmptyPage()},
    {158, L" サウンド", EmptyPageProc, EmptyPage()},
    {159, L"アプリ", EmptyPageProc, EmptyPage()},
    {160, L"キャプチャー", EmptyPageProc, EmptyPage()},
    {161, L"メール", MailPageDlgProc, MailPageTemplate()},
};
