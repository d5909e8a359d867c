#pragma once
// The goals the benchmarks hold the program to, in one table, and how a
// benchmark measures against one: the program's side and its bare baseline
// run in alternating rounds (each round times both, the order swapping from
// round to round, so a machine that grows busy or idle weighs on both sides
// alike), and the ratio of each round's pair is reported, best and median,
// against the goal.
#include <benchmark/benchmark.h>

#include <functional>
#include <string_view>
#include <vector>

struct BenchGoal {
  const char* name;  // the counter the ratio is reported under
  double most;       // the highest ratio that meets the goal
  const char* what;  // what over what
};

// The goal of that name; an unknown name ends the program (a typo in a
// benchmark must not pass silently).
const BenchGoal& GoalOf(std::string_view name);

struct BenchRatio {
  double best = 0;
  double median = 0;
};

// Runs `rounds` rounds of both sides; each side answers the seconds its run
// took. The ratio is the program's time over the baseline's.
BenchRatio AlternatingRatio(int rounds, const std::function<double()>& program,
                            const std::function<double()>& baseline);

// A ratio from pairs measured elsewhere (a side that is a whole process,
// say): best and median of the pairs' ratios.
BenchRatio RatioOfPairs(const std::vector<double>& program, const std::vector<double>& baseline);

// Sets the counters "<name>_best" and "<name>_median" and prints a line:
// "<name>: best 1.07x, median 1.10x, goal at most 1.30x (met)".
void ReportGoal(benchmark::State& state, std::string_view name, const BenchRatio& ratio);

// Seconds since `start` of the steady clock, for the sides' own timing.
double SecondsSince(double start);
double SecondsNow();

// The seconds one run of `work` takes.
double TimeOf(const std::function<void()>& work);
