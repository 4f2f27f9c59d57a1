#include "edit_number.h"

#include <cwchar>

bool ParseEditNumber(const std::wstring& text, int32_t maxValue, int32_t* value) {
  int64_t number = 0;
  for (const wchar_t ch : text) {
    if (ch < L'0' || ch > L'9') return false;
    number = number * 10 + (ch - L'0');
    if (number > maxValue) return false;
  }
  *value = static_cast<int32_t>(number);
  return true;
}

std::wstring NumberRangeMessage(int32_t maxValue) {
  wchar_t text[64];
  swprintf(text, 64, L"0から%dまでの数字を入力してください。", maxValue);
  return text;
}

std::wstring ControlText(HWND control) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool ReadEditNumber(HWND owner, HWND edit, int32_t maxValue, int32_t* value) {
  if (ParseEditNumber(ControlText(edit), maxValue, value)) return true;
  MessageBoxW(owner, NumberRangeMessage(maxValue).c_str(), L"", MB_OK);
  return false;
}
