#include <gtest/gtest.h>

#include "message_box_catcher.h"

// Every test executable closes its main thread's message boxes, so that a
// report nobody expected can never leave a test waiting for a click.
int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  testing_support::MessageBoxCatcher catcher;
  return RUN_ALL_TESTS();
}
