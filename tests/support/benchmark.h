#pragma once
// Shared by the benchmarks: the [rounds] argument, the clock, and rounds in
// which the measured work and its baselines take turns after a warm-up round,
// so that a machine that slows down or speeds up during the run touches both
// alike; a ratio is the median of the rounds' own ratios.
#include <windows.h>

#include <algorithm>
#include <cstdio>
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

// Runs every step once in turn per round: one warm-up round that is not kept,
// then `rounds` kept rounds.
inline void RunRounds(std::vector<Series>* series, int rounds) {
  for (int round = -1; round < rounds; ++round)
    for (Series& s : *series) {
      const double start = NowMs();
      s.step();
      const double took = NowMs() - start;
      if (round >= 0) s.ms.push_back(took);
    }
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
