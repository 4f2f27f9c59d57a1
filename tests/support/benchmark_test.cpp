#include "benchmark.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using benchmark_support::Median;
using benchmark_support::MedianRatio;
using benchmark_support::RoundsArgument;
using benchmark_support::Series;

TEST(BenchmarkRounds, TheArgumentIsAWholeNumberFromOneOrTheDefault) {
  const struct {
    std::vector<std::wstring> arguments;  // after the program's name
    int rounds;                           // 0: refused with the usage
  } cases[] = {
      {{}, 30},       {{L"1"}, 1},     {{L"7"}, 7},       {{L"100000"}, 100000}, {{L"0"}, 0},
      {{L"-3"}, 0},   {{L"abc"}, 0},   {{L"5x"}, 0},      {{L""}, 0},            {{L"100001"}, 0},
      {{L"3", L"4"}, 0},
  };
  for (const auto& c : cases) {
    std::vector<std::wstring> storage = {L"bench.exe"};
    storage.insert(storage.end(), c.arguments.begin(), c.arguments.end());
    std::vector<wchar_t*> argv;
    for (std::wstring& a : storage) argv.push_back(&a[0]);
    EXPECT_EQ(RoundsArgument(static_cast<int>(argv.size()), argv.data(), 30), c.rounds)
        << (c.arguments.empty() ? std::string("(none)") : std::string(c.arguments[0].begin(), c.arguments[0].end()));
  }
}

TEST(BenchmarkRounds, MedianOfOddAndEvenCounts) {
  EXPECT_EQ(Median({}), 0);
  EXPECT_EQ(Median({5}), 5);
  EXPECT_EQ(Median({9, 1, 5}), 5);
  EXPECT_EQ(Median({9, 1, 5, 3}), 4);
  EXPECT_EQ(Median({2, 2, 100, 2, 1000}), 2) << "outliers do not move it";
}

TEST(BenchmarkRounds, TheRatioIsTakenRoundByRound) {
  // The rounds' own ratios are 2, 0.2 and 2; the ratio of the medians would be 4 / 20.
  EXPECT_EQ(MedianRatio({2, 4, 40}, {1, 20, 20}), 2);
  EXPECT_EQ(MedianRatio({3, 3, 3}, {1, 3, 3}), 1);
  EXPECT_EQ(MedianRatio({5, 5}, {0, 5}), 1) << "a round without a baseline time is left out";
  EXPECT_EQ(MedianRatio({}, {}), 0);
}

TEST(BenchmarkRounds, StepsTakeTurnsAfterOneWarmUpRoundThatIsNotKept) {
  std::string order;
  std::vector<Series> series = {
      {"a", [&] { order += 'a'; }, {}},
      {"b", [&] { order += 'b'; }, {}},
  };
  benchmark_support::RunRounds(&series, 3);
  EXPECT_EQ(order, "abababab");
  EXPECT_EQ(series[0].ms.size(), 3u);
  EXPECT_EQ(series[1].ms.size(), 3u);
  const std::vector<double> total = benchmark_support::Sum({&series[0], &series[1]});
  ASSERT_EQ(total.size(), 3u);
  for (size_t i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(total[i], series[0].ms[i] + series[1].ms[i]);
}

TEST(BenchmarkRounds, AStepThatTakesLongerMeasuresLonger) {
  std::vector<Series> series = {
      {"short", [] {}, {}},
      {"long", [] { Sleep(30); }, {}},
  };
  benchmark_support::RunRounds(&series, 3);
  EXPECT_GE(Median(series[1].ms), 25.0);
  EXPECT_GT(MedianRatio(series[1].ms, series[0].ms), 1.0);
}

}  // namespace
