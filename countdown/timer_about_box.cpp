#include "timer_about_box.h"

#include "countdown_state.h"

namespace {
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
    nullptr,  // no work area of its own: the box takes the current one
};
}  // namespace

const AboutBoxConfig& TimerAboutBox() { return kTimerAboutBox; }

void OpenTimerAboutDialog(HWND owner) { RunAboutDialog(owner, kTimerAboutBox); }
