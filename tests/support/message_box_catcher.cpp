#include "message_box_catcher.h"

#include <deque>
#include <mutex>

namespace testing_support {
namespace {

std::mutex recordLock;
std::vector<CaughtMessageBox> record;
size_t seenCount = 0;  // the boxes a test has read so far
int answer = IDOK;
std::deque<int> nextAnswers;

// The text of a message box lies in a static control with this id, on
// Windows and under Wine alike.
constexpr int kMessageTextId = 0xFFFF;

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

struct IconSearch {
  HICON icon = nullptr;
};

BOOL CALLBACK FindIcon(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<IconSearch*>(param);
  wchar_t cls[16];
  GetClassNameW(child, cls, 16);
  if (lstrcmpiW(cls, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    search->icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    return FALSE;
  }
  return TRUE;
}

UINT IconKind(HWND box) {
  IconSearch search;
  EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&search));
  if (!search.icon) return 0;
  const struct {
    LPCWSTR id;
    UINT kind;
  } icons[] = {{IDI_HAND, MB_ICONERROR},
               {IDI_EXCLAMATION, MB_ICONWARNING},
               {IDI_ASTERISK, MB_ICONINFORMATION},
               {IDI_QUESTION, MB_ICONQUESTION}};
  for (const auto& entry : icons)
    if (LoadIconW(nullptr, entry.id) == search.icon) return entry.kind;
  return 0;
}

bool IsMessageBox(HWND window) {
  wchar_t cls[16];
  if (!GetClassNameW(window, cls, 16) || lstrcmpW(cls, L"#32770") != 0) return false;
  HWND text = GetDlgItem(window, kMessageTextId);
  if (!text) return false;
  GetClassNameW(text, cls, 16);
  return lstrcmpiW(cls, L"Static") == 0;
}

// Closes the box from inside WM_INITDIALOG, so it is never shown: Wine would
// otherwise wait for the window to be mapped and activated.
LRESULT CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropW(box, L"catcher.proc"));
  const LRESULT result = CallWindowProcW(previous, box, message, wParam, lParam);
  if (message == WM_INITDIALOG && IsMessageBox(box)) {
    CaughtMessageBox caught{GetWindow(box, GW_OWNER), WindowText(box),
                            WindowText(GetDlgItem(box, kMessageTextId)), IconKind(box),
                            GetCurrentThreadId()};
    int button;
    {
      std::lock_guard<std::mutex> guard(recordLock);
      record.push_back(caught);
      button = answer;
      if (!nextAnswers.empty()) {
        button = nextAnswers.front();
        nextAnswers.pop_front();
      }
    }
    if (!GetDlgItem(box, button)) {
      for (int candidate : {IDOK, IDCANCEL, IDNO}) {
        if (GetDlgItem(box, candidate)) {
          button = candidate;
          break;
        }
      }
    }
    EndDialog(box, button);
  } else if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropW(box, L"catcher.proc");
  }
  return result;
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t cls[16];
    if (GetClassNameW(window, cls, 16) && lstrcmpW(cls, L"#32770") == 0) {
      const LONG_PTR previous =
          SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BoxProc));
      SetPropW(window, L"catcher.proc", reinterpret_cast<HANDLE>(previous));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

MessageBoxCatcher::MessageBoxCatcher()
    : hook_(SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId())) {}

MessageBoxCatcher::~MessageBoxCatcher() {
  if (hook_) UnhookWindowsHookEx(hook_);
}

std::vector<CaughtMessageBox> CaughtMessageBoxes() {
  std::lock_guard<std::mutex> guard(recordLock);
  seenCount = record.size();
  return record;
}

void ClearCaughtMessageBoxes() {
  std::lock_guard<std::mutex> guard(recordLock);
  record.clear();
  seenCount = 0;
  answer = IDOK;
  nextAnswers.clear();
}

std::vector<CaughtMessageBox> TakeUnreadMessageBoxes() {
  std::lock_guard<std::mutex> guard(recordLock);
  std::vector<CaughtMessageBox> unread(record.begin() + static_cast<std::ptrdiff_t>(seenCount), record.end());
  record.clear();
  seenCount = 0;
  answer = IDOK;
  nextAnswers.clear();
  return unread;
}

void SetMessageBoxAnswer(int buttonId) {
  std::lock_guard<std::mutex> guard(recordLock);
  answer = buttonId;
}

void SetMessageBoxAnswers(const std::vector<int>& buttonIds) {
  std::lock_guard<std::mutex> guard(recordLock);
  nextAnswers.assign(buttonIds.begin(), buttonIds.end());
}

}  // namespace testing_support
