// tools/bench/report.cpp -- collecting the medians of the runs and printing the table of ratios.
#include "tools/bench/report.h"

#include <algorithm>

#include <unistd.h>

namespace {

constexpr double MICROSECONDS_A_SECOND = 1e6;
constexpr double FIVE_FOLD = 5.0;  // a fast form should beat its plain form at least this much

double medianOf(std::vector<double> values) {
  if (values.empty()) return -1.0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

void printTime(std::FILE* out, double microseconds) {
  if (microseconds < 0.0) {
    std::fprintf(out, " %10s", "-");
  } else {
    std::fprintf(out, " %10.1f", microseconds);
  }
}

void printRatio(std::FILE* out, double numerator, double denominator, const char* format) {
  if (numerator < 0.0 || denominator <= 0.0) {
    std::fprintf(out, " %7s", "-");
  } else {
    std::fprintf(out, format, numerator / denominator);
  }
}

}  // namespace

TableReporter::TableReporter()
    : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}

void TableReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    if (run.error_occurred) continue;
    const std::string& name = run.run_name.function_name;
    const double seconds =
        run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    if (run.run_type == Run::RT_Aggregate) {
      if (run.aggregate_name == "median") aggregateMedians[name] = seconds * MICROSECONDS_A_SECOND;
    } else {
      singleRuns[name].push_back(seconds * MICROSECONDS_A_SECOND);
    }
  }
  ConsoleReporter::ReportRuns(runs);
}

double TableReporter::medianMicroseconds(const std::string& benchmarkName) const {
  const auto aggregate = aggregateMedians.find(benchmarkName);
  if (aggregate != aggregateMedians.end()) return aggregate->second;
  const auto singles = singleRuns.find(benchmarkName);
  return singles == singleRuns.end() ? -1.0 : medianOf(singles->second);
}

void printTable(std::FILE* out, const TableReporter& results, const std::string& heading) {
  const std::vector<Workload>& rows = workloadList();
  const double floorTime = results.medianMicroseconds(std::string(rows.front().name) + FAST_SUFFIX);
  std::fprintf(out, "\n%s\n\n", heading.c_str());
  std::fprintf(out, "%-16s %10s %7s %7s %10s %7s %9s\n", "workload", "fast us", "x copy", "target",
               "plain us", "x copy", "plain/fast");
  for (const Workload& row : rows) {
    const double fast = results.medianMicroseconds(std::string(row.name) + FAST_SUFFIX);
    const double plain =
        row.hasPlainForm ? results.medianMicroseconds(std::string(row.name) + PLAIN_SUFFIX) : -1.0;
    if (fast < 0.0 && plain < 0.0) continue;  // filtered out of this run
    std::fprintf(out, "%-16s", row.name);
    printTime(out, fast);
    printRatio(out, fast, floorTime, " %7.2f");
    if (row.targetVsFloor > 0.0) {
      std::fprintf(out, " %7.0f", row.targetVsFloor);
    } else {
      std::fprintf(out, " %7s", "");
    }
    printTime(out, plain);
    printRatio(out, plain, floorTime, " %7.1f");
    printRatio(out, plain, fast, " %9.1f");
    const bool overTarget = row.targetVsFloor > 0.0 && fast >= 0.0 && floorTime > 0.0 &&
                            fast / floorTime > row.targetVsFloor;
    const bool underFiveFold = plain >= 0.0 && fast > 0.0 && plain / fast < FIVE_FOLD &&
                               row.targetVsFloor > 0.0;
    if (overTarget) std::fprintf(out, "  over target");
    if (underFiveFold) std::fprintf(out, "  under 5x plain");
    std::fprintf(out, "\n");
  }
  std::fprintf(out, "\n");
  for (const Workload& row : rows) std::fprintf(out, "  %-16s %s\n", row.name, row.what);
}
