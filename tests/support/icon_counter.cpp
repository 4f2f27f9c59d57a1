#include "icon_counter.h"

#include "confirm_view.h"

namespace testing_support {

namespace {

std::vector<HICON> takenIcons;
std::multiset<HICON> destroyedIcons;

HICON CountedTake(const wchar_t* path) {
  HICON icon = RealAppIconCalls().takeFileIcon(path);
  if (icon) takenIcons.push_back(icon);
  return icon;
}

BOOL WINAPI CountedDestroy(HICON icon) {
  destroyedIcons.insert(icon);
  return RealAppIconCalls().destroyIcon(icon);
}

}  // namespace

IconCounter::IconCounter() {
  takenIcons.clear();
  destroyedIcons.clear();
  appIconCalls = AppIconCalls{CountedTake, CountedDestroy};
}

IconCounter::~IconCounter() { appIconCalls = RealAppIconCalls(); }

const std::vector<HICON>& IconCounter::taken() const { return takenIcons; }
const std::multiset<HICON>& IconCounter::destroyed() const { return destroyedIcons; }

bool IconAlive(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return true;
}

}  // namespace testing_support
