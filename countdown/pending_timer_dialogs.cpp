#include "pending_timer_dialogs.h"

void TimerOpenSettingsSheet(HWND settingsDialog) {
  MessageBoxW(settingsDialog, L"詳細設定の画面はまだありません。", L"詳細設定", MB_OK);
}
