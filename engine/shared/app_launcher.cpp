#include "app_launcher.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdlib>
#include <cwchar>

#include "error_log.h"
#include "program_paths.h"
#include "utilities.h"

void BuildApplicationCommandLine(const wchar_t* path, const wchar_t* arguments, wchar_t* out,
                                 size_t outCount) {
  if (arguments[0])
    swprintf(out, outCount, L"\"%ls\" %ls", path, arguments);
  else
    swprintf(out, outCount, L"\"%ls\"", path);
}

namespace {

void StartApplication(const ApplicationList& list, int slot) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (list.minimized[slot] == 1) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_MINIMIZE;
  }
  // Quotes, a blank and the arguments: room for both fields and three more.
  wchar_t commandLine[kPathChars + kCommandChars + 4];
  BuildApplicationCommandLine(list.paths[slot], list.arguments[slot], commandLine,
                              sizeof commandLine / sizeof commandLine[0]);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(list.paths[slot], commandLine, nullptr, nullptr, FALSE,
                      NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
    const DWORD error = GetLastError();
    wchar_t name[_MAX_FNAME];
    _wsplitpath_s(list.paths[slot], nullptr, 0, nullptr, 0, name, _MAX_FNAME, nullptr, 0);
    wchar_t title[MAX_PATH + 16];
    swprintf(title, sizeof title / sizeof title[0], L"アプリ起動エラー(%ls)", name);
    wchar_t* text = FetchSystemErrorText(error);
    AppendErrorLog(text ? text : L"", title);
    if (text) LocalFree(text);
  }
  if (process.hProcess) CloseHandle(process.hProcess);
  if (process.hThread) CloseHandle(process.hThread);
}

}  // namespace

int LaunchApplicationList(const ApplicationList& list, int elapsedSeconds, int32_t* cursor) {
  if (*cursor < 0 || *cursor >= kAppCount || list.delays[*cursor] == -1) return 0;
  for (; *cursor < kAppCount; ++*cursor) {
    const int32_t delay = list.delays[*cursor];
    if (delay > elapsedSeconds) break;  // this slot holds back the ones behind it
    if (delay != -1) StartApplication(list, *cursor);
  }
  return 1;
}

namespace {
wchar_t startupFolderOverride[MAX_PATH];
}  // namespace

void SetStartupFolderOverride(const wchar_t* folder) {
  CopyText(startupFolderOverride, MAX_PATH, folder ? folder : L"");
}

bool GetStartupShortcutPath(wchar_t* path, size_t pathCount) {
  wchar_t folder[MAX_PATH];
  if (startupFolderOverride[0])
    CopyText(folder, MAX_PATH, startupFolderOverride);
  else if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_STARTUP, FALSE))
    return false;
  wchar_t baseName[_MAX_FNAME];
  if (programBaseName[0]) {
    CopyText(baseName, _MAX_FNAME, programBaseName);
  } else {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    _wsplitpath_s(module, nullptr, 0, nullptr, 0, baseName, _MAX_FNAME, nullptr, 0);
  }
  const int n = swprintf(path, pathCount, L"%ls\\%ls.lnk", folder, baseName);
  return n > 0 && static_cast<size_t>(n) < pathCount;
}

bool CreateStartupShortcut(const wchar_t* profileName) {
  const HRESULT init = CoInitialize(nullptr);
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  bool ok = false;
  wchar_t shortcut[MAX_PATH];
  if (GetStartupShortcutPath(shortcut, MAX_PATH) &&
      SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    wchar_t module[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    wchar_t drive[_MAX_DRIVE], dir[_MAX_DIR], workFolder[MAX_PATH];
    _wsplitpath_s(module, drive, _MAX_DRIVE, dir, _MAX_DIR, nullptr, 0, nullptr, 0);
    swprintf(workFolder, MAX_PATH, L"%ls%ls", drive, dir);
    // Quoted, so that a profile name with blanks comes back as one argument.
    wchar_t arguments[kProfileNameChars + 10];
    swprintf(arguments, sizeof arguments / sizeof arguments[0], L"\"start:%.31ls\"", profileName);
    ok = length > 0 && length < MAX_PATH && SUCCEEDED(link->SetPath(module)) &&
         SUCCEEDED(link->SetWorkingDirectory(workFolder)) &&
         SUCCEEDED(link->SetArguments(arguments)) &&
         SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
         SUCCEEDED(file->Save(shortcut, TRUE));
  }
  if (file) file->Release();
  if (link) link->Release();
  if (SUCCEEDED(init)) CoUninitialize();
  return ok;
}

void RemoveStartupShortcut() {
  wchar_t shortcut[MAX_PATH];
  if (GetStartupShortcutPath(shortcut, MAX_PATH)) _wremove(shortcut);
}
