#pragma once
#include <windows.h>
#include <objbase.h>
#include <shobjidl.h>

#include <string>

namespace testing_support {

// What a .lnk file says, read back through the shell's own link object.
struct ShortcutFields {
  std::wstring target, workFolder, arguments;
  bool loaded = false;
};

// COM must be initialised on the calling thread.
inline ShortcutFields ReadShortcut(const std::wstring& path) {
  ShortcutFields fields;
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
    wchar_t text[MAX_PATH];
    if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) fields.target = text;
    if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) fields.workFolder = text;
    if (SUCCEEDED(link->GetArguments(text, MAX_PATH))) fields.arguments = text;
    fields.loaded = true;
  }
  if (file) file->Release();
  if (link) link->Release();
  return fields;
}

}  // namespace testing_support
