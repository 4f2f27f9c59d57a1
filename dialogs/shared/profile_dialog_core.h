#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "profile_list.h"

// Both programs' profile dialogs: a list of the saved profiles, a name edit
// with "保存", "ロード" with its short-lived "ロード完了." label, "削除", the
// default profile's combo box and OK. What differs between the programs (ids,
// name length, the row texts, the files, the default's side effects) comes in
// a ProfileDialogConfig.
struct ProfileDialogConfig {
  int listLabelId, nameLabelId, defaultLabelId;
  int listId, loadedLabelId, loadButtonId, deleteButtonId, nameEditId, saveButtonId, defaultComboId;
  UINT_PTR loadLabelTimerId;
  int extraRowHeight;  // a row of the program's own under the default combo (96 DPI), or 0
  size_t nameMaxLength;
  const wchar_t* folder;  // the profile folder, ending with a backslash
  const ProfileListRules* rules;
  // Texts shown.
  const wchar_t* emptyNameText;
  const wchar_t* nameTooLongText;
  const wchar_t* nameRefusedText;
  const wchar_t* overwriteQuestionText;
  const wchar_t* deleteFailedText;
  const wchar_t* noDefaultText;
  bool beepOnLoadWithoutRow;
  bool offerFilesWithoutRow;  // a file too short for a row is still offered as the default
  int separatorYs[2];         // 96 DPI, from x 9 to x 430
  HPEN* separatorPen;         // may hold null: grey RGB(180, 180, 180)
  // The program's files and settings.
  bool (*save)(HWND dialog, const wchar_t* name);
  bool (*load)(HWND dialog, const wchar_t* name);
  std::vector<std::wstring> (*savedRowTexts)();  // the row texts of what was just saved
  void (*readDefault)(wchar_t* name, size_t chars);
  // The default profile's file was deleted: nothing may go on naming it.
  void (*forgetDefault)();
  // The default combo went back to "なし" because its entry was deleted.
  void (*defaultCleared)(HWND dialog);  // may be null
  // OK: the chosen default ("" for none) is to be stored.
  void (*storeDefault)(HWND dialog, const wchar_t* name);
};

// WM_INITDIALOG's shared part, after the program made its controls: fills
// the list (whose columns are set) and the combo, and selects the default.
// Returns the default's combo entry, or CB_ERR for none.
int InitProfileDialog(HWND dialog, HWND listView, const ProfileDialogConfig& config);
// Places the controls and centres the dialog over the frame (or, without
// one, the work area).
void LayoutProfileDialog(HWND dialog, const ProfileDialogConfig& config, HWND frame);
// The procedure's shared messages: the buttons, OK, Cancel, the list's
// notifications, the label's timer and the separators. Returns true when it
// handled the message and sets *result.
bool HandleProfileDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                                const ProfileDialogConfig& config, INT_PTR* result);
