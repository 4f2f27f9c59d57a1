#pragma once
// Shared by the benchmarks: the [rounds] argument, the clock, and rounds in
// which the measured work and its baselines take turns after a warm-up round,
// so that a machine that slows down or speeds up during the run touches both
// alike; a ratio is the median of the rounds' own ratios. A run in which any
// operation failed prints no figures, since its times measured something else.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

namespace benchmark_support {

inline double NowMs() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// argv[1] when given (a whole number from 1), else `fallback`; 0 after
// printing the usage for anything else.
inline int RoundsArgument(int argc, wchar_t** argv, int fallback) {
  if (argc < 2) return fallback;
  wchar_t* end = nullptr;
  const long rounds = std::wcstol(argv[1], &end, 10);
  if (argc > 2 || end == argv[1] || *end != L'\0' || rounds < 1 || rounds > 100000) {
    std::fprintf(stderr, "usage: %ls [rounds]   (rounds: a whole number from 1, default %d)\n", argv[0], fallback);
    return 0;
  }
  return static_cast<int>(rounds);
}

// The folder a benchmark writes its files in, ending in a backslash:
// SOPORA_BENCHMARK_FOLDER when set, else the temporary folder.
inline std::wstring WorkFolder() {
  wchar_t folder[MAX_PATH];
  DWORD length = GetEnvironmentVariableW(L"SOPORA_BENCHMARK_FOLDER", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) length = GetTempPathW(MAX_PATH, folder);
  std::wstring path(folder, length < MAX_PATH ? length : 0);
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
  return path;
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One measured step and the time it took in each kept round.
struct Series {
  std::string name;
  std::function<void()> step;
  std::vector<double> ms;
};

// The operations of a run that failed: how many, and the first one's name.
class Failures {
 public:
  // Notes `what` when `ok` is false; returns `ok`.
  bool Check(bool ok, const std::string& what) {
    if (!ok && count_++ == 0) first_ = what;
    return ok;
  }
  int Count() const { return count_; }
  const std::string& First() const { return first_; }

 private:
  int count_ = 0;
  std::string first_;
};

// Set to a round's number (1 for the first kept round, 0 for the warm-up),
// this makes that round fail, so that the failure path of a benchmark whose
// operations cannot be broken from outside is tried for real.
constexpr const wchar_t* kFailRoundVariable = L"SOPORA_BENCHMARK_FAIL_ROUND";

// Runs every step once in turn per round: one warm-up round that is not kept,
// then `rounds` kept rounds. With `failures`, stops after the first round in
// which one was noted and returns that round's number (0: the warm-up);
// `rounds` when none failed.
inline int RunRounds(std::vector<Series>* series, int rounds, Failures* failures) {
  int failRound = -1;
  wchar_t forced[16];
  const DWORD length = GetEnvironmentVariableW(kFailRoundVariable, forced, 16);
  if (failures && length > 0 && length < 16) failRound = static_cast<int>(std::wcstol(forced, nullptr, 10));
  for (int round = 0; round <= rounds; ++round) {
    const int before = failures ? failures->Count() : 0;
    for (Series& s : *series) {
      const double start = NowMs();
      s.step();
      const double took = NowMs() - start;
      if (round > 0) s.ms.push_back(took);
    }
    if (!failures) continue;
    failures->Check(round != failRound, "round " + std::to_string(round) + ", made to fail by SOPORA_BENCHMARK_FAIL_ROUND");
    if (failures->Count() > before) return round;
  }
  return rounds;
}

inline void RunRounds(std::vector<Series>* series, int rounds) { RunRounds(series, rounds, nullptr); }

// Ends a run in which something failed: what, and in which of the `rounds`
// (-1: before the warm-up round, 0: in it); no figures. Returns the exit code, 1.
inline int ReportFailures(const Failures& failures, int failedRound, int rounds, FILE* out = stdout) {
  if (failedRound < 0)
    std::fprintf(out, "FAILED before the first of %d rounds: ", rounds);
  else if (failedRound == 0)
    std::fprintf(out, "FAILED in the warm-up round before %d rounds: ", rounds);
  else
    std::fprintf(out, "FAILED in round %d of %d: ", failedRound, rounds);
  std::fprintf(out, "%s", failures.First().c_str());
  if (failures.Count() > 1) std::fprintf(out, ", and %d more failed operations", failures.Count() - 1);
  std::fprintf(out, "\nNo figures: the times measured something else than the work.\n");
  return 1;
}

// Round by round: the sum of the given series.
inline std::vector<double> Sum(const std::vector<const Series*>& parts) {
  std::vector<double> total(parts.empty() ? 0 : parts[0]->ms.size(), 0.0);
  for (const Series* part : parts)
    for (size_t i = 0; i < total.size() && i < part->ms.size(); ++i) total[i] += part->ms[i];
  return total;
}

// The median over the rounds of subject / baseline, each round against its own baseline.
inline double MedianRatio(const std::vector<double>& subject, const std::vector<double>& baseline) {
  std::vector<double> ratios;
  for (size_t i = 0; i < subject.size() && i < baseline.size(); ++i)
    if (baseline[i] > 0) ratios.push_back(subject[i] / baseline[i]);
  return Median(ratios);
}

}  // namespace benchmark_support
