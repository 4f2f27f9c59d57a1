#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace testing_support {

// A fresh folder under the temporary path, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Ends with a backslash.
  const std::wstring& path() const { return path_; }
  std::wstring Path(const std::wstring& relative) const { return path_ + relative; }

 private:
  std::wstring path_;
};

void RemoveTree(const std::wstring& folder);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
// A UTF-16LE text file (an error log) without its byte-order mark; empty when missing.
std::wstring ReadUtf16Text(const std::wstring& path);
bool FileExists(const std::wstring& path);

// A test that runs inside its own temporary folder (the programs keep their
// ini files and logs in the current folder) with the message-box record cleared.
class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TempFolder temp_;

 private:
  std::wstring previousFolder_;
};

}  // namespace testing_support
