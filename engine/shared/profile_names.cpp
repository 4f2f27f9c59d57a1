#include "profile_names.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <initializer_list>

namespace {

bool IsDeviceName(const wchar_t* name) {
  // The part before the first dot is what the system maps to a device.
  size_t stem = 0;
  while (name[stem] && name[stem] != L'.') ++stem;
  wchar_t upper[5] = L"";
  if (stem < 3 || stem > 4) return false;
  for (size_t i = 0; i < stem; ++i) upper[i] = static_cast<wchar_t>(std::towupper(name[i]));
  upper[stem] = L'\0';
  if (stem == 3)
    return !wcscmp(upper, L"CON") || !wcscmp(upper, L"PRN") || !wcscmp(upper, L"AUX") ||
           !wcscmp(upper, L"NUL");
  const bool port = !wcsncmp(upper, L"COM", 3) || !wcsncmp(upper, L"LPT", 3);
  return port && upper[3] >= L'1' && upper[3] <= L'9';
}

}  // namespace

bool IsValidProfileName(const wchar_t* name, size_t maxLength) {
  if (!name || !*name || wcslen(name) > maxLength) return false;
  for (const wchar_t* p = name; *p; ++p)
    if (*p < 0x20 || *p == 0x7f || wcschr(L"\\/:*?\"<>|", *p)) return false;
  const size_t length = wcslen(name);
  for (wchar_t end : {name[0], name[length - 1]})
    if (end == L' ' || end == L'.') return false;
  return !IsDeviceName(name);
}

bool SameProfileName(const wchar_t* a, const wchar_t* b) {
  return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}
