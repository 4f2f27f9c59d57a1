#include "action_names.h"

const wchar_t* actionKeyNames[kActionNameCount - 1];
const wchar_t* actionDisplayNames[kActionNameCount];

void InitPowerActionNames(unsigned majorVersion) {
  const bool beforeVista = majorVersion < 6;
  actionKeyNames[0] = L"Shutdown";
  actionKeyNames[1] = L"Restart";
  actionKeyNames[2] = L"Logoff";
  actionKeyNames[3] = L"Hibernation";
  actionKeyNames[4] = beforeVista ? L"Standby" : L"Sleep";
  actionDisplayNames[0] = L"シャットダウン";
  actionDisplayNames[1] = L"再起動";
  actionDisplayNames[2] = L"ログオフ";
  actionDisplayNames[3] = L"休止状態";
  actionDisplayNames[4] = beforeVista ? L"スタンバイ" : L"スリープ";
  actionDisplayNames[5] = L"復帰";
}
