#pragma once
#include <windows.h>

#include <cstdint>

// The one-pass check of a property sheet's pages, shared by both programs'
// "詳細設定" sheets: when OK is pressed each opened page is asked, in page
// order, to check its inputs; the first that fails names itself, and on
// PSN_APPLY no page stores while a failure is pending.
struct SheetValidation {
  HWND* pageWindows;          // by page number - 1; null for a page not opened
  int pageCount;
  int32_t* validationFailed;  // the failing page's number, 0 for none
  UINT validateMessage;       // sent to each opened page to check its inputs
};

// Sends validateMessage to the opened pages in page-number order and stops at
// the first that fails; returns *validationFailed.
int RunSheetValidation(const SheetValidation& validation);

// What a page does on PSN_APPLY: true when it must write its working copy.
// The failing page answers PSNRET_INVALID (the sheet stays on it) and clears
// the failure.
bool SheetPageMayStore(const SheetValidation& validation, HWND page, int pageNumber);

// A page records its window when it opens and forgets it when it is
// destroyed, so no pass reaches a window of an earlier sheet.
void RegisterSheetPage(const SheetValidation& validation, HWND page, int pageNumber);
void ForgetSheetPage(const SheetValidation& validation, HWND page);

// Runs the pass from the sheet window itself when its OK button is pressed:
// Wine never sends the sheet callback PSCB_BUTTONPRESSED, and on Windows this
// runs it exactly once too. Call from PSCB_INITIALIZED; `validation` must
// outlive the sheet.
void RunSheetValidationOnOk(HWND sheet, const SheetValidation* validation);
