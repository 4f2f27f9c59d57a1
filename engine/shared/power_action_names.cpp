#include "shared/power_action_names.h"

void FillPowerActionNames(unsigned majorVersion, const wchar_t* keyNames[5], const wchar_t* displayNames[5]) {
  const bool beforeVista = majorVersion < 6;
  keyNames[0] = L"Shutdown";
  keyNames[1] = L"Restart";
  keyNames[2] = L"Logoff";
  keyNames[3] = L"Hibernation";
  keyNames[4] = beforeVista ? L"Standby" : L"Sleep";
  displayNames[0] = L"シャットダウン";
  displayNames[1] = L"再起動";
  displayNames[2] = L"ログオフ";
  displayNames[3] = L"休止状態";
  displayNames[4] = beforeVista ? L"スタンバイ" : L"スリープ";
}
