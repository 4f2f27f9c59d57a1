#pragma once
#include <windows.h>
#include <commctrl.h>

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

// One page of a settings sheet, in display order: from a resource of the
// program, or (when dialogTemplate is set) from an in-memory template. A
// caption replaces the template's title; null keeps it.
struct SheetPageEntry {
  int resourceId;
  const wchar_t* caption;
  DLGPROC procedure;
  const DLGTEMPLATE* dialogTemplate;
};

// Runs a modal "詳細設定" sheet over the owner with the pages (at most
// maxPages) and the program's callback. Returns PropertySheetW's result, or
// -1 when no page could be made.
INT_PTR OpenSheet(HWND owner, const wchar_t* caption, const SheetPageEntry* pages, int count,
                  PFNPROPSHEETCALLBACK callback);

// What both programs' sheet callbacks do: on PSCB_INITIALIZED record the sheet
// and run the pass from its OK button; PSCB_BUTTONPRESSED is not acted on,
// since the pass already ran on the button. Returns the callback's result.
int OnSheetCallback(HWND sheet, UINT message, HWND* sheetWindow, const SheetValidation* validation);
