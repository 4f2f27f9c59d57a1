#pragma once
#include <windows.h>

#include "settings_sheet.h"

// Page 5 "メール" of the settings sheet: the address list and each item's
// recipient, the templates, the server settings and the test mail.
INT_PTR CALLBACK MailPageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
const DLGTEMPLATE* MailPageTemplate();

// The page's working copies as the sheet opens: the addresses and each item's
// recipient from the model.
void FillMailWorkingCopies(SettingsSheetState* state);

// Control ids the test-mail dialog reads from the page.
enum MailPageControl : int {
  kMailToCombo = 1560,
  kMailAddressList = 3013,
  kMailNewAddressEdit = 1528,
  kMailSubjectEdit = 1522,
  kMailBodyEdit = 1523,
  kMailServerEdit = 1524,
  kMailPortEdit = 1525,
  kMailAccountEdit = 1526,
  kMailPasswordEdit = 1527,
  kMailFromEdit = 1529,
  kMailLogonCheck = 1540,
  kMailBeforeRadio = 1550,
  kMailAfterRadio = 1551,
  kMailSecurityCombo = 1561,
  kMailCharsetCombo = 1563,
  kMailDefaultTextButton = 1571,
  kMailTestSendButton = 1572,
  kMailAddButton = 1574,
  kMailSendSettingsButton = 1575,
  kMailBackButton = 1576,
  kMailDeleteButton = 1577,
  kMailSetButton = 1578,
  kMailSetSplitButton = 1579,
};

// Text of an 8-bit settings field: the edit's text in the system code page,
// at most size - 1 bytes, cut on a character boundary.
void ReadAnsiControlText(HWND control, char* out, size_t size);
