#pragma once
#include <windows.h>

#include <vector>

namespace testing_support {

// Records every MessageBeep the test program makes, without a sound: the
// program's import of user32's MessageBeep is pointed at a recorder while one
// exists. Code linked into the test program beeps through that import.
class BeepCounter {
 public:
  BeepCounter();   // installs the recorder, records cleared
  ~BeepCounter();  // puts the real call back
  BeepCounter(const BeepCounter&) = delete;
  BeepCounter& operator=(const BeepCounter&) = delete;

  // Whether the import was found and replaced; a test that relies on the
  // count must check it, or a missing recorder would read as "no beep".
  bool installed() const;
  // The types passed, in order.
  const std::vector<UINT>& beeps() const;
  void clear();
};

}  // namespace testing_support
