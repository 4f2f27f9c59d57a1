#pragma once
#include <windows.h>

#include <functional>

namespace testing_support {

// Runs a modal property sheet under test: `open` makes the sheet over the
// given owner and returns once it has closed; `actions` run inside its modal
// loop as soon as *sheetWindow names it, and a sheet they leave open is
// cancelled. A sheet that still stands after limitMs fails the test and is
// closed, with any dialog box or menu opened inside it, so the test ends by
// itself rather than at CTest's time-out. False when the actions never ran.
bool RunPropertySheet(const std::function<void(HWND owner)>& open, HWND const* sheetWindow,
                      const std::function<void(HWND sheet)>& actions, DWORD limitMs = 30000);

// Ends this thread's modal loops: the popup menu shown, and every visible
// dialog box other than `keep` is cancelled (posted, so nested loops unwind).
void CancelThreadModalLoops(HWND keep);

}  // namespace testing_support
