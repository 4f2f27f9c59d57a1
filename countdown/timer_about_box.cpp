#include "timer_about_box.h"

#include "countdown_state.h"

namespace {
// Filled when the box opens: the program keeps no work area of its own.
RECT aboutWorkArea;

const AboutBoxConfig kTimerAboutBox = {
    178,
    183,
    3.00,
    L"そぽら ver%0.2f",
    L"sopora",
    L"/version/sopora_latest.txt",
    L"https://www.sopora.example/sopora/",
    L"予定の時刻にパソコンを操作します",
    &aboutDialog,
    nullptr,
    nullptr,
    &aboutWorkArea,
};
}  // namespace

const AboutBoxConfig& TimerAboutBox() { return kTimerAboutBox; }

void OpenTimerAboutDialog(HWND owner) {
  if (aboutDialog && IsWindow(aboutDialog)) {
    SetWindowPos(aboutDialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return;
  }
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &aboutWorkArea, 0);
  RunAboutDialog(owner, kTimerAboutBox);
}
