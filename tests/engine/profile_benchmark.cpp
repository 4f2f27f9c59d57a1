// Saves and loads a full weekly profile and, in the same run on the same disk,
// writes and reads the same number of bytes plainly; prints the medians.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "profile_file.h"
#include "shared/program_paths.h"

namespace {

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void PlainWrite(const wchar_t* path, const std::vector<uint8_t>& bytes) {
  HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
}

void PlainRead(const wchar_t* path, std::vector<uint8_t>* bytes) {
  HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD got;
  ReadFile(f, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr);
  CloseHandle(f);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? _wtoi(argv[1]) : 30;
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

  std::vector<uint8_t> plain(ProfileFileSize(WeeklyMode), 0x5a);
  wchar_t plainPath[MAX_PATH];
  swprintf(plainPath, MAX_PATH, L"%lsplain.bin", folder);

  wchar_t replacedPath[MAX_PATH];
  swprintf(replacedPath, MAX_PATH, L"%lsreplaced.bin", folder);
  std::vector<double> save, load, write, read, replace;
  for (int i = 0; i < rounds; ++i) {
    double t = Now();
    if (!SaveProfileFile(nullptr, L"bench")) return 1;
    save.push_back(Now() - t);
    t = Now();
    if (!LoadProfileFile(nullptr, L"bench")) return 1;
    load.push_back(Now() - t);
    t = Now();
    PlainWrite(plainPath, plain);
    write.push_back(Now() - t);
    t = Now();
    PlainRead(plainPath, &plain);
    read.push_back(Now() - t);
    // What a safe save costs beyond the write: replacing the old file by rename.
    t = Now();
    MoveFileExW(plainPath, replacedPath, MOVEFILE_REPLACE_EXISTING);
    replace.push_back(Now() - t);
  }

  const double profile = Median(save) + Median(load);
  const double baseline = Median(write) + Median(read);
  std::printf("weekly profile, %zu bytes, median of %d rounds\n", plain.size(), rounds);
  std::printf("  SaveProfileFile  %8.3f ms    plain write %8.3f ms\n", Median(save) * 1e3, Median(write) * 1e3);
  std::printf("  LoadProfileFile  %8.3f ms    plain read  %8.3f ms\n", Median(load) * 1e3, Median(read) * 1e3);
  std::printf("  save+load / plain write+read = %.2f (goal: at most 1.50)\n", profile / baseline);
  std::printf("  of which the file system's replace by rename alone: %8.3f ms\n", Median(replace) * 1e3);

  wchar_t path[MAX_PATH];
  swprintf(path, MAX_PATH, L"%lsbench.dat", schedulerProfileFolder);
  DeleteFileW(path);
  DeleteFileW(plainPath);
  DeleteFileW(replacedPath);
  RemoveDirectoryW(schedulerProfileFolder);
  RemoveDirectoryW(profileFolder);
  RemoveDirectoryW(folder);
  return 0;
}
