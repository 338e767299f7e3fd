// tools/bench/workloads.h -- the benchmark's workloads: what each one times, in its fast form
// (the game's own code) and its plain form (tests/reference), and the target it is held to.
//
// main() calls registerWorkloads once, after buildGameStates, and hands each row of
// workloadList to the report.
#pragma once

#include <vector>

struct Workload {
  const char* name;       // "floor/copy", "frame/typical", ...
  const char* what;       // one line for the report
  double targetVsFloor;   // the most the fast form may cost, in copies of the screen; 0: none
  bool hasPlainForm;
};

// The rows of the report, in order; floor/copy first.
const std::vector<Workload>& workloadList();

// Registers "<name>/fast" and, where there is one, "<name>/plain" with Google Benchmark, timed by
// hand around the work alone (the state is put back before every run, untimed). Each repetition
// runs the work about 0.2 s in all (3 to 1000 runs), or once when `brief`.
void registerWorkloads(bool brief);

// What a run of the work is timed by: the processor time of this thread (false; the default,
// which other busy processes on the machine hardly disturb) or the monotonic wall clock (true).
extern bool timeOnWallClock;

// The benchmark name of a workload's form.
inline const char* FAST_SUFFIX = "/fast";
inline const char* PLAIN_SUFFIX = "/plain";
