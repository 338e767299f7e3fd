// tools/bench/main.cpp -- zaraz-bench: times the game's frame work against the floor of copying
// one screen's worth of pixels, headless on SDL's dummy video driver at 32 bits a pixel.
//
// Usage: zaraz-bench [--quick] [--wall-clock] [Google Benchmark flags, e.g.
//        --benchmark_filter=frame]
// Each workload is repeated 9 times (--benchmark_repetitions), each repetition running the work
// for about 0.2 s, and the table at the end shows the medians.
// Runs are timed by the processor time of the thread, which other busy processes on the machine
// hardly disturb; --wall-clock times them by the monotonic clock instead. --quick runs each
// workload once, briefly: enough to show that everything still runs, not to measure.
// Media are read from the source tree; the best-score file goes to a temporary folder.
#include "app/screen.h"
#include "game/media.h"
#include "overlay/images.h"
#include "tools/bench/game_states.h"
#include "tools/bench/report.h"
#include "tools/bench/workloads.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int BENCH_DEPTH = 32;
constexpr const char* REPETITIONS_FLAG = "--benchmark_repetitions";
constexpr const char* DEFAULT_REPETITIONS = "--benchmark_repetitions=9";
constexpr const char* AGGREGATES_ONLY = "--benchmark_report_aggregates_only=true";
// Repetitions of all workloads in a shuffled order, so that the floor and every workload meet
// the same passing load of a shared machine.
constexpr const char* INTERLEAVED = "--benchmark_enable_random_interleaving=true";
constexpr const char* QUICK_FLAG = "--quick";
constexpr const char* WALL_CLOCK_FLAG = "--wall-clock";
constexpr const char* QUICK_REPETITIONS = "--benchmark_repetitions=1";

bool startsWith(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Our defaults first, so that flags given on the command line win.
bool ownFlag(const char* argument) {
  return std::strcmp(argument, QUICK_FLAG) == 0 || std::strcmp(argument, WALL_CLOCK_FLAG) == 0;
}

// Our defaults first, so that flags given on the command line win; our own flags taken out.
std::vector<char*> benchmarkArguments(int argc, char** argv, bool& quick) {
  std::vector<char*> arguments = {argv[0]};
  bool repetitionsGiven = false;
  quick = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], QUICK_FLAG) == 0) quick = true;
    if (std::strcmp(argv[i], WALL_CLOCK_FLAG) == 0) timeOnWallClock = true;
    if (startsWith(argv[i], REPETITIONS_FLAG)) repetitionsGiven = true;
  }
  if (quick) {
    arguments.push_back(const_cast<char*>(QUICK_REPETITIONS));
  } else if (!repetitionsGiven) {
    arguments.push_back(const_cast<char*>(DEFAULT_REPETITIONS));
  }
  if (!quick) arguments.push_back(const_cast<char*>(INTERLEAVED));
  arguments.push_back(const_cast<char*>(AGGREGATES_ONLY));
  for (int i = 1; i < argc; ++i) {
    if (!ownFlag(argv[i])) arguments.push_back(argv[i]);
  }
  return arguments;
}

bool openScreen() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "zaraz-bench: cannot start SDL: %s\n", SDL_GetError());
    return false;
  }
  Screen = SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, BENCH_DEPTH, SDL_SWSURFACE);
  if (Screen == nullptr || Screen->format->BitsPerPixel != BENCH_DEPTH) {
    std::fprintf(stderr, "zaraz-bench: cannot open a %d-bit %dx%d screen: %s\n", BENCH_DEPTH,
                 SCREEN_WIDTH, SCREEN_HEIGHT, SDL_GetError());
    return false;
  }
  return true;
}

// The media from the source tree, as the game reads them from its working directory.
bool loadMedia() {
  if (chdir(ZARAZ_SOURCE_DIR) != 0) {
    std::fprintf(stderr, "zaraz-bench: cannot enter %s\n", ZARAZ_SOURCE_DIR);
    return false;
  }
  if (!loadGameMedia()) return false;
  loadOverlayMedia();
  return true;
}

// A folder of our own for "highscore.dat", which resetGame reads; removed at the end.
std::string enterScratchFolder() {
  char pattern[] = "/tmp/zaraz-bench-XXXXXX";
  const char* made = mkdtemp(pattern);
  if (made == nullptr || chdir(made) != 0) return "";
  return made;
}

void leaveScratchFolder(const std::string& folder) {
  if (folder.empty()) return;
  const std::string file = folder + "/highscore.dat";
  std::remove(file.c_str());
  rmdir(folder.c_str());
}

std::string heading(bool quick) {
  std::string text = "zaraz-bench: median ";
  text += timeOnWallClock ? "wall-clock time" : "thread processor time";
  text += quick ? " of one brief run (--quick: proves it runs, measures nothing)"
                : " of repeated runs";
  text += "; SDL dummy video, 32 bits a pixel; processor has AVX2: ";
  text += __builtin_cpu_supports("avx2") ? "yes" : "no";
  text += ", AVX-512BW: ";
  text += __builtin_cpu_supports("avx512bw") ? "yes" : "no";
  const struct {
    const char* name;
    GameStateId id;
  } crowds[] = {{"worst", GameStateId::Worst}, {"disc", GameStateId::Disc}};
  for (const auto& crowd : crowds) {
    const GameStateFacts facts = describeGameState(crowd.id);
    text += "\n" + std::string(crowd.name) + " state: " + std::to_string(facts.enemies) +
            " enemies (" + std::to_string(facts.closePairs) + " ordered pairs nearer than 50, " +
            std::to_string(facts.enemiesNearShip) + " within the ship's square), " +
            std::to_string(facts.shots) + " shots";
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = false;
  std::vector<char*> arguments = benchmarkArguments(argc, argv, quick);
  int count = int(arguments.size());
  benchmark::Initialize(&count, arguments.data());
  if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;

  if (!openScreen() || !loadMedia()) {
    SDL_Quit();
    return 1;
  }
  const std::string scratch = enterScratchFolder();
  if (scratch.empty()) {
    std::fprintf(stderr, "zaraz-bench: cannot make a scratch folder in /tmp\n");
    SDL_Quit();
    return 1;
  }
  buildGameStates();
  registerWorkloads(quick);

  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printTable(stdout, reporter, heading(quick));
  benchmark::Shutdown();

  leaveScratchFolder(scratch);
  SDL_Quit();
  return 0;
}
