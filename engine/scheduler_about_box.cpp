#include "about_dialog.h"
#include "main_window_state.h"
#include "scheduler_about_box.h"

namespace {
const AboutBoxConfig kSchedulerAboutBox = {
    152,
    218,
    1.00,
    L"そぽらスケジューラー ver%0.2f",
    L"SoporaScheduler",
    L"/version/sopora_skd_latest.txt",
    L"https://www.sopora.example/scheduler/",
    L"予定の時刻にパソコンを操作します",
    &aboutDialog,
    &uiFont,
    &separatorPen,
    &workArea,
};
}  // namespace

const AboutBoxConfig& SchedulerAboutBox() { return kSchedulerAboutBox; }

void OpenAboutDialog(HWND owner) { RunAboutDialog(owner, kSchedulerAboutBox); }
