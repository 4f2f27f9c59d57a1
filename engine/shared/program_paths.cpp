#include "program_paths.h"

#include <cwchar>

#include "utilities.h"

wchar_t programFolder[MAX_PATH];
wchar_t programBaseName[256];
wchar_t profileFolder[MAX_PATH];
wchar_t schedulerProfileFolder[MAX_PATH];
wchar_t skinFolder[MAX_PATH];

void SetProgramPaths(const wchar_t* folder, const wchar_t* baseName) {
  CopyText(programFolder, MAX_PATH, folder);
  CopyText(programBaseName, 256, baseName);
  swprintf(profileFolder, MAX_PATH, L"%ls%ls", programFolder, L"profile\\");
  swprintf(schedulerProfileFolder, MAX_PATH, L"%ls%ls", programFolder, L"profile\\scheduler\\");
  swprintf(skinFolder, MAX_PATH, L"%ls%ls", programFolder, L"skin\\");
}

void InitProgramPaths() {
  wchar_t module[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  wchar_t* lastSlash = wcsrchr(module, L'\\');
  const wchar_t* fileName = lastSlash ? lastSlash + 1 : module;
  wchar_t baseName[256];
  CopyText(baseName, 256, fileName);
  if (wchar_t* dot = wcsrchr(baseName, L'.')) *dot = L'\0';
  if (lastSlash) lastSlash[1] = L'\0'; else module[0] = L'\0';
  SetProgramPaths(module, baseName);
}
