#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

// The programs' manifest (linked into this test too) must bring Common
// Controls 6 to a process of either width: the split buttons need it, and a
// manifest for the other processor silently gives the old controls. Version 6
// is the side-by-side assembly (Wine's reports 5.81 from there too, so the
// folder tells, not DllGetVersion).
TEST(CommonControlsTest, TheManifestBringsVersionSix) {
  HMODULE comctl = LoadLibraryW(L"comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  wchar_t path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(comctl, path, MAX_PATH), 0u);
  std::wstring lower(path);
  CharLowerW(lower.data());
  EXPECT_NE(lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.0."), std::wstring::npos)
      << "comctl32 loaded from " << lower;
  FreeLibrary(comctl);
}

}  // namespace
