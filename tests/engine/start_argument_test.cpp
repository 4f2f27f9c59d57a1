#include "startup_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "schedule_model.h"

namespace {

TEST(StartArgumentTest, FollowsTheCommandLineRules) {
  const std::wstring name31(31, L'n');
  const std::wstring name32(32, L'n');
  const struct {
    std::wstring commandLine;
    StartArgument result;
    std::wstring name;
  } cases[] = {
      {L"prog.exe start:work", StartArgument::Name, L"work"},
      {L"prog.exe start:", StartArgument::None, L""},
      {L"prog.exe Start:work", StartArgument::None, L""},
      {L"prog.exe START:work", StartArgument::None, L""},
      {L"prog.exe start:first start:second", StartArgument::Name, L"first"},
      {L"prog.exe other start:second", StartArgument::Name, L"second"},
      {L"prog.exe start: start:later", StartArgument::Name, L"later"},
      {L"start:own prog-name-only", StartArgument::None, L""},
      {L"prog.exe \"start:my profile\"", StartArgument::Name, L"my profile"},
      {L"prog.exe start:my profile", StartArgument::Name, L"my"},
      {L"prog.exe start:" + name31, StartArgument::Name, name31},
      {L"prog.exe start:" + name32, StartArgument::TooLong, L""},
      {L"prog.exe start:" + name32 + L" start:short", StartArgument::TooLong, L""},
      {L"prog.exe", StartArgument::None, L""},
  };
  for (const auto& c : cases) {
    wchar_t name[kProfileNameChars];
    wmemset(name, L'x', kProfileNameChars);
    EXPECT_EQ(ParseStartArgument(c.commandLine.c_str(), name), c.result) << c.commandLine;
    EXPECT_EQ(std::wstring(name), c.name) << c.commandLine;
  }
}

}  // namespace
