// tools/bench/report.h -- the benchmark's report: Google Benchmark's own lines as the runs go, and
// at the end one table of medians, each workload against the floor and against its plain form.
//
// main() passes a TableReporter to RunSpecifiedBenchmarks, then calls printTable.
#pragma once

#include "tools/bench/workloads.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

// Prints what the console reporter prints, and keeps every run's real time per iteration.
class TableReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal.
  TableReporter();
  void ReportRuns(const std::vector<Run>& runs) override;

  // The median real time of one benchmark in microseconds: the "median" aggregate when the runs
  // were repeated, else the median of the single runs; negative when it did not run.
  double medianMicroseconds(const std::string& benchmarkName) const;

 private:
  std::map<std::string, double> aggregateMedians;
  std::map<std::string, std::vector<double>> singleRuns;
};

// The table: for each workload the fast and the plain median, their costs in copies of the
// screen (floor/copy), the target and the plain form's cost over the fast one's.
void printTable(std::FILE* out, const TableReporter& results, const std::string& heading);
