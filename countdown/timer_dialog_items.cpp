#include "timer_dialog_items.h"

#include <cwchar>
#include <vector>

void TimerSetDlgItemNumber(int size, HWND control, int value) {
  std::vector<wchar_t> text(static_cast<size_t>(size > 0 ? size : 1), L'\0');
  _snwprintf(text.data(), text.size(), L"%d", value);
  text.back() = L'\0';
  SetWindowTextW(control, text.data());
}
