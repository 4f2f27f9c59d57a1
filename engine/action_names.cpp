#include "action_names.h"

#include "shared/power_action_names.h"

const wchar_t* actionKeyNames[kActionNameCount - 1];
const wchar_t* actionDisplayNames[kActionNameCount];

void InitPowerActionNames(unsigned majorVersion) {
  FillPowerActionNames(majorVersion, actionKeyNames, actionDisplayNames);
  actionDisplayNames[5] = L"復帰";
}
