#include "program_handover.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "shared/error_log.h"

bool HandOverToProgram(HWND owner, const wchar_t* fileName, const wchar_t* question,
                       const wchar_t* missingText) {
  if (MessageBoxW(owner, question, L"", MB_YESNO) != IDYES) return false;
  if (!PathFileExistsW(fileName)) {
    MessageBoxW(owner, missingText, L"エラー", MB_OK | MB_ICONERROR);
    return false;
  }
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  // The failure is reported below, once, with the system's text.
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner;
  info.lpFile = fileName;
  info.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&info)) return true;
  wchar_t* text = FetchSystemErrorText(GetLastError());
  ShowSystemErrorMessage(L"エラー", owner, &text);
  return false;
}
