// Stand-ins for windows built elsewhere; each is removed when its real one lands.
#include "pending_parts.h"

namespace {

// An empty child dialog: DS_CONTROL | WS_CHILD | WS_VISIBLE, no controls.
INT_PTR CALLBACK EmptyChildDlgProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

INT_PTR OpenModeSelectDialog(HWND, LPARAM) {
  // Keeps the mode the model already has (DateMode after start-up).
  return 1;
}

HWND CreateMainDialog(HWND parent, LPARAM) {
  alignas(4) WORD buffer[16] = {};
  DLGTEMPLATE* dlg = reinterpret_cast<DLGTEMPLATE*>(buffer);
  dlg->style = DS_CONTROL | WS_CHILD | WS_VISIBLE;
  RECT client;
  GetClientRect(parent, &client);
  HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dlg, parent, EmptyChildDlgProc, 0);
  if (dialog) MoveWindow(dialog, 0, 0, client.right, client.bottom, TRUE);
  return dialog;
}

void OpenAboutDialog(HWND) {}

void OpenConfirmDialog() {}
