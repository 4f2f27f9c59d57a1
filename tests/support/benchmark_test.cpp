#include "benchmark.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using benchmark_support::Failures;
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

TEST(BenchmarkRounds, FailuresKeepTheFirstOneAndTheCount) {
  Failures failures;
  EXPECT_TRUE(failures.Check(true, "fine"));
  EXPECT_EQ(failures.Count(), 0);
  EXPECT_FALSE(failures.Check(false, "the save"));
  EXPECT_FALSE(failures.Check(false, "the load"));
  EXPECT_TRUE(failures.Check(true, "fine again"));
  EXPECT_EQ(failures.Count(), 2);
  EXPECT_EQ(failures.First(), "the save");
}

// Rounds of two steps where the step `b` fails at its `failAt`th call (0: never).
struct FailingRun {
  std::string order;
  int ran;
  size_t kept;
  Failures failures;
};
FailingRun RunWithFailureAt(int failAt, int rounds) {
  FailingRun run;
  int calls = 0;
  std::vector<Series> series = {
      {"a", [&] { run.order += 'a'; }, {}},
      {"b", [&] { run.order += 'b'; run.failures.Check(++calls != failAt, "b"); }, {}},
  };
  run.ran = benchmark_support::RunRounds(&series, rounds, &run.failures);
  run.kept = series[0].ms.size();
  return run;
}

TEST(BenchmarkRounds, AFailedRoundEndsTheRunAndNamesItsRound) {
  const struct {
    int failAt;  // the call of `b` that fails, 0 for none; the first call is the warm-up's
    const char* order;
    int ran;     // the round RunRounds returns
    size_t kept;
  } cases[] = {
      {0, "abababab", 3, 3},  // none failed: all three rounds
      {1, "ab", 0, 0},        // the warm-up round failed: nothing kept
      {2, "abab", 1, 1},      // the first kept round
      {4, "abababab", 3, 3},  // the last round
  };
  for (const auto& c : cases) {
    const FailingRun run = RunWithFailureAt(c.failAt, 3);
    EXPECT_EQ(run.order, c.order) << c.failAt;
    EXPECT_EQ(run.ran, c.ran) << c.failAt;
    EXPECT_EQ(run.kept, c.kept) << c.failAt;
    EXPECT_EQ(run.failures.Count(), c.failAt ? 1 : 0) << c.failAt;
  }
}

// The report of a failed run as printed.
std::string Report(const Failures& failures, int failedRound, int rounds, int* exitCode) {
  FILE* out = std::tmpfile();
  if (!out) return "(no temporary file)";
  *exitCode = benchmark_support::ReportFailures(failures, failedRound, rounds, out);
  std::rewind(out);
  std::string text;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, out)) text += buffer;
  std::fclose(out);
  return text;
}

TEST(BenchmarkRounds, AFailedRunReportsWhatAndWhereWithoutFigures) {
  Failures failures;
  failures.Check(false, "the save");
  failures.Check(false, "the load");
  const struct {
    int failedRound;
    const char* where;
  } cases[] = {
      {-1, "FAILED before the first of 30 rounds: the save, and 1 more failed operations\n"},
      {0, "FAILED in the warm-up round before 30 rounds: the save, and 1 more failed operations\n"},
      {7, "FAILED in round 7 of 30: the save, and 1 more failed operations\n"},
  };
  const std::string noFigures = "No figures: the times measured something else than the work.\n";
  for (const auto& c : cases) {
    int exitCode = 0;
    EXPECT_EQ(Report(failures, c.failedRound, 30, &exitCode), c.where + noFigures);
    EXPECT_EQ(exitCode, 1);
  }
  Failures one;
  one.Check(false, "CaptureScreen");
  int exitCode = 0;
  EXPECT_EQ(Report(one, 2, 7, &exitCode), "FAILED in round 2 of 7: CaptureScreen\n" + noFigures);
}

// Sets the forced failing round for one test.
class ForcedRound {
 public:
  explicit ForcedRound(const wchar_t* round) { SetEnvironmentVariableW(benchmark_support::kFailRoundVariable, round); }
  ~ForcedRound() { SetEnvironmentVariableW(benchmark_support::kFailRoundVariable, nullptr); }
};

TEST(BenchmarkRounds, TheVariableMakesTheNamedRoundFail) {
  {
    ForcedRound forced(L"2");
    const FailingRun run = RunWithFailureAt(0, 3);
    EXPECT_EQ(run.order, "ababab");
    EXPECT_EQ(run.ran, 2);
    ASSERT_EQ(run.failures.Count(), 1);
    EXPECT_NE(run.failures.First().find("SOPORA_BENCHMARK_FAIL_ROUND"), std::string::npos) << run.failures.First();
    // Without failures to note it in, a run is not stopped.
    std::vector<Series> series = {{"a", [] {}, {}}};
    benchmark_support::RunRounds(&series, 3);
    EXPECT_EQ(series[0].ms.size(), 3u);
  }
  EXPECT_EQ(RunWithFailureAt(0, 3).failures.Count(), 0) << "the variable is gone";
}

TEST(BenchmarkRounds, TheWorkFolderIsTheVariableOrTheTemporaryFolder) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  EXPECT_EQ(benchmark_support::WorkFolder(), temp);
  SetEnvironmentVariableW(L"SOPORA_BENCHMARK_FOLDER", L"Z:\\no\\such");
  EXPECT_EQ(benchmark_support::WorkFolder(), L"Z:\\no\\such\\");
  SetEnvironmentVariableW(L"SOPORA_BENCHMARK_FOLDER", L"Z:/build/bench/");
  EXPECT_EQ(benchmark_support::WorkFolder(), L"Z:/build/bench/");
  SetEnvironmentVariableW(L"SOPORA_BENCHMARK_FOLDER", nullptr);
}

}  // namespace
