// Saves and loads a full weekly profile beside what a safe save and a load
// cannot beat on the same disk: a bare write of the same bytes to a temporary
// file, its replace by rename, and a plain read. Prints the medians and the
// ratios. Usage: profile_benchmark.exe [rounds]; it works in
// SOPORA_BENCHMARK_FOLDER when set, else in the temporary folder.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "benchmark.h"
#include "profile_file.h"
#include "shared/program_paths.h"

using benchmark_support::Failures;
using benchmark_support::Median;
using benchmark_support::MedianRatio;
using benchmark_support::Series;
using benchmark_support::Sum;

namespace {

bool BareWrite(const wchar_t* path, const std::vector<uint8_t>& bytes) {
  HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const bool ok = f != INVALID_HANDLE_VALUE &&
                  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  return ok;
}

bool PlainRead(const wchar_t* path, std::vector<uint8_t>* bytes) {
  HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER size{};
  DWORD got = 0;
  bool ok = f != INVALID_HANDLE_VALUE && GetFileSizeEx(f, &size);
  if (ok) {
    bytes->resize(static_cast<size_t>(size.QuadPart));
    ok = ReadFile(f, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) && got == bytes->size();
  }
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = benchmark_support::RoundsArgument(argc, argv, 30);
  if (rounds == 0) return 2;
  const std::wstring folder = benchmark_support::WorkFolder() + L"sopora-bench\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  SetProgramPaths(folder.c_str(), L"SoporaScheduler");

  scheduleMode = WeeklyMode;
  ClearScheduleTable(scheduleTable, orderTable);
  for (int row = 0; row < kRowCount; ++row)
    for (int slot = 0; slot < kSlotCount; ++slot) {
      scheduleTable[row][slot].listIndex = slot;
      orderTable[row][slot] = slot;
      for (int app = 0; app < kAppCount; ++app)
        swprintf(scheduleTable[row][slot].appPaths[app], kPathChars, L"C:\\app\\%d\\%d\\%d.exe", row, slot, app);
    }

  wchar_t profilePath[MAX_PATH], barePath[MAX_PATH], bareTempPath[MAX_PATH];
  swprintf(profilePath, MAX_PATH, L"%lsbench.dat", schedulerProfileFolder);
  swprintf(barePath, MAX_PATH, L"%lsbare.dat", schedulerProfileFolder);
  swprintf(bareTempPath, MAX_PATH, L"%lsbare.tmp", schedulerProfileFolder);
  const auto cleanUp = [&] {
    DeleteFileW(profilePath);
    DeleteFileW(barePath);
    DeleteFileW(bareTempPath);
    RemoveDirectoryW(schedulerProfileFolder);
    RemoveDirectoryW(profileFolder);
    RemoveDirectoryW(folder.c_str());
  };

  // The baseline writes the very bytes the save writes, in the profile's folder.
  Failures failures;
  std::vector<uint8_t> bytes, readBack;
  if (!failures.Check(SaveProfileFile(nullptr, L"bench"), "the first SaveProfileFile") ||
      !failures.Check(PlainRead(profilePath, &bytes), "the read of the saved profile") ||
      !failures.Check(bytes.size() == ProfileFileSize(WeeklyMode), "the saved profile's size") ||
      // so that every rename replaces a file, as a save does
      !failures.Check(BareWrite(barePath, bytes), "the first bare write")) {
    cleanUp();
    return benchmark_support::ReportFailures(failures, -1, rounds);
  }

  std::vector<Series> series = {
      {"SaveProfileFile", [&] { failures.Check(SaveProfileFile(nullptr, L"bench"), "SaveProfileFile"); }, {}},
      {"LoadProfileFile", [&] { failures.Check(LoadProfileFile(nullptr, L"bench"), "LoadProfileFile"); }, {}},
      {"bare write to a temporary file",
       [&] { failures.Check(BareWrite(bareTempPath, bytes), "the bare write to a temporary file"); }, {}},
      {"its replace by rename", [&] {
         failures.Check(MoveFileExW(bareTempPath, barePath, MOVEFILE_REPLACE_EXISTING), "the replace by rename");
       }, {}},
      {"plain read", [&] { failures.Check(PlainRead(barePath, &readBack), "the plain read"); }, {}},
  };
  const int ran = benchmark_support::RunRounds(&series, rounds, &failures);
  if (ran == rounds) failures.Check(readBack == bytes, "the plain read's bytes");
  cleanUp();
  if (failures.Count()) return benchmark_support::ReportFailures(failures, ran, rounds);
  const Series &save = series[0], &load = series[1], &write = series[2], &rename = series[3], &read = series[4];

  std::printf("weekly profile, %zu bytes: median of %d rounds after a warm-up round\n", bytes.size(), rounds);
  for (const Series& s : series) std::printf("  %-42s %8.3f ms\n", s.name.c_str(), Median(s.ms));
  std::printf("ratios, each round against its own baseline:\n");
  std::printf("  %-42s %8.2f\n", "save / (write + rename)", MedianRatio(save.ms, Sum({&write, &rename})));
  std::printf("  %-42s %8.2f\n", "load / read", MedianRatio(load.ms, read.ms));
  std::printf("  %-42s %8.2f (goal: at most 1.50)\n", "(save + load) / (write + rename + read)",
              MedianRatio(Sum({&save, &load}), Sum({&write, &rename, &read})));
  return 0;
}
