#include "password_prompt_dialog.h"

#include <initializer_list>

#include "dpi_scaling.h"
#include "main_window_state.h"
#include "password_lock.h"

namespace {

constexpr int kLabel = 1149;
constexpr int kEdit = 1148;

void OnInitDialog(HWND dialog) {
  wchar_t title[100] = L"";
  LoadStringW(GetModuleHandleW(nullptr), 103, title, 100);
  SetWindowTextW(dialog, title);
  for (int id : {kLabel, kEdit, IDOK, IDCANCEL})
    if (uiFont) SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont), FALSE);
  PlaceDialog(dialog, workArea, 224, 137);
  PlaceControl(dialog, kLabel, 12, 9, 164, 18);
  PlaceControl(dialog, kEdit, 15, 30, 186, 25);
  PlaceControl(dialog, IDOK, 15, 66, 90, 28);
  PlaceControl(dialog, IDCANCEL, 111, 66, 90, 28);
}

}  // namespace

INT_PTR CALLBACK PasswordPromptDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        if (CheckLockPassword(GetDlgItem(dialog, kEdit), dialog)) EndDialog(dialog, 1);
        else SetFocus(GetDlgItem(dialog, kEdit));
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR RunPasswordPrompt(HWND owner) {
  const INT_PTR result =
      DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(213), owner, PasswordPromptDlgProc, 0);
  return result == 1 ? 1 : 0;
}
