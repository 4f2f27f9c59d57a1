#pragma once
#include <windows.h>

#include <set>
#include <vector>

// Counts the shell icons the confirmation dialogs take and the icons they
// destroy, through the real calls (Wine's GetGuiResources counts nothing).
namespace testing_support {

class IconCounter {
 public:
  IconCounter();  // installs itself in the icon seam, records cleared
  ~IconCounter();  // puts the real calls back
  IconCounter(const IconCounter&) = delete;
  IconCounter& operator=(const IconCounter&) = delete;

  const std::vector<HICON>& taken() const;
  const std::multiset<HICON>& destroyed() const;
};

// The handle still names an icon.
bool IconAlive(HICON icon);

}  // namespace testing_support
