// Saves and loads a full weekly profile beside what a safe save and a load
// cannot beat on the same disk: a bare write of the same bytes to a temporary
// file, its replace by rename, and a plain read. Prints the medians and the
// ratios. Usage: profile_benchmark.exe [rounds]
#include <windows.h>

#include <cstdio>
#include <vector>

#include "benchmark.h"
#include "profile_file.h"
#include "shared/program_paths.h"

using benchmark_support::Median;
using benchmark_support::MedianRatio;
using benchmark_support::Series;
using benchmark_support::Sum;

namespace {

bool failed = false;

void BareWrite(const wchar_t* path, const std::vector<uint8_t>& bytes) {
  HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (f == INVALID_HANDLE_VALUE || !WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size())
    failed = true;
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
}

void PlainRead(const wchar_t* path, std::vector<uint8_t>* bytes) {
  HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER size{};
  DWORD got = 0;
  if (f == INVALID_HANDLE_VALUE || !GetFileSizeEx(f, &size)) {
    failed = true;
  } else {
    bytes->resize(static_cast<size_t>(size.QuadPart));
    if (!ReadFile(f, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) || got != bytes->size())
      failed = true;
  }
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = benchmark_support::RoundsArgument(argc, argv, 30);
  if (rounds == 0) return 2;
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  wcscat(folder, L"sopora-bench\\");
  CreateDirectoryW(folder, nullptr);
  SetProgramPaths(folder, L"SoporaScheduler");

  scheduleMode = WeeklyMode;
  ClearScheduleTable(scheduleTable, orderTable);
  for (int row = 0; row < kRowCount; ++row)
    for (int slot = 0; slot < kSlotCount; ++slot) {
      scheduleTable[row][slot].listIndex = slot;
      orderTable[row][slot] = slot;
      for (int app = 0; app < kAppCount; ++app)
        swprintf(scheduleTable[row][slot].appPaths[app], kPathChars, L"C:\\app\\%d\\%d\\%d.exe", row, slot, app);
    }

  // The baseline writes the very bytes the save writes, in the profile's folder.
  if (!SaveProfileFile(nullptr, L"bench")) return 1;
  wchar_t profilePath[MAX_PATH], barePath[MAX_PATH], bareTempPath[MAX_PATH];
  swprintf(profilePath, MAX_PATH, L"%lsbench.dat", schedulerProfileFolder);
  swprintf(barePath, MAX_PATH, L"%lsbare.dat", schedulerProfileFolder);
  swprintf(bareTempPath, MAX_PATH, L"%lsbare.tmp", schedulerProfileFolder);
  std::vector<uint8_t> bytes, readBack;
  PlainRead(profilePath, &bytes);
  if (failed || bytes.size() != ProfileFileSize(WeeklyMode)) return 1;
  BareWrite(barePath, bytes);  // so that every rename replaces a file, as a save does

  std::vector<Series> series = {
      {"SaveProfileFile", [] { failed = !SaveProfileFile(nullptr, L"bench") || failed; }, {}},
      {"LoadProfileFile", [] { failed = !LoadProfileFile(nullptr, L"bench") || failed; }, {}},
      {"bare write to a temporary file", [&] { BareWrite(bareTempPath, bytes); }, {}},
      {"its replace by rename", [&] {
         if (!MoveFileExW(bareTempPath, barePath, MOVEFILE_REPLACE_EXISTING)) failed = true;
       }, {}},
      {"plain read", [&] { PlainRead(barePath, &readBack); }, {}},
  };
  benchmark_support::RunRounds(&series, rounds);
  const Series &save = series[0], &load = series[1], &write = series[2], &rename = series[3], &read = series[4];
  if (readBack != bytes) failed = true;

  std::printf("weekly profile, %zu bytes: median of %d rounds after a warm-up round\n", bytes.size(), rounds);
  for (const Series& s : series) std::printf("  %-42s %8.3f ms\n", s.name.c_str(), Median(s.ms));
  std::printf("ratios, each round against its own baseline:\n");
  std::printf("  %-42s %8.2f\n", "save / (write + rename)", MedianRatio(save.ms, Sum({&write, &rename})));
  std::printf("  %-42s %8.2f\n", "load / read", MedianRatio(load.ms, read.ms));
  std::printf("  %-42s %8.2f (goal: at most 1.50)\n", "(save + load) / (write + rename + read)",
              MedianRatio(Sum({&save, &load}), Sum({&write, &rename, &read})));
  if (failed) std::printf("FAILED: a save, load, write, rename or read did not succeed\n");

  DeleteFileW(profilePath);
  DeleteFileW(barePath);
  DeleteFileW(bareTempPath);
  RemoveDirectoryW(schedulerProfileFolder);
  RemoveDirectoryW(profileFolder);
  RemoveDirectoryW(folder);
  return failed ? 1 : 0;
}
