// tools/bench/main.cpp -- zaraz-bench: times the game's frame work against the floor of copying
// one screen's worth of pixels, headless on SDL's dummy video driver at 32 bits a pixel, and
// prints a Markdown table of medians.
//
// Usage: zaraz-bench [--quick] [--filter=TEXT]
// All workloads are measured in one run, in rounds that run each in turn, so that the floor and
// every workload meet the same passing load of a shared machine. Runs are timed by the
// processor time of the thread. --quick runs one round: enough to show that everything still
// runs, not to measure. --filter keeps the workloads whose name contains TEXT, and the floor.
// Media are read from the source tree; the best-score file goes to a temporary folder.
#include "app/input.h"
#include "app/screen.h"
#include "game/collide.h"
#include "game/media.h"
#include "game/render.h"
#include "game/reset.h"
#include "game/state.h"
#include "game/update.h"
#include "overlay/backdrop.h"
#include "overlay/driver.h"
#include "overlay/images.h"
#include "tools/bench/game_states.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int BENCH_DEPTH = 32;
// Each round runs every workload RUNS_IN_TURN times in a row: warm, as in a game that runs the
// same work every frame.
constexpr int ROUNDS = 20;
constexpr int RUNS_IN_TURN = 10;
constexpr int SCREEN_BYTES = SCREEN_WIDTH * SCREEN_HEIGHT * 4;
constexpr double SPLIT_IMPACT = 2.5;
constexpr double MID_FADE = 57.3;
constexpr double MICROSECONDS_A_SECOND = 1e6;
constexpr const char* FILTER_FLAG = "--filter=";

// The floor's source picture: a screen's worth of bytes, not all alike.
uint8_t floorPicture[SCREEN_BYTES];

void copyPicture() {
  uint8_t* pixels = static_cast<uint8_t*>(Screen->pixels);
  const int rowBytes = SCREEN_WIDTH * 4;
  if (Screen->pitch == rowBytes) {
    std::memcpy(pixels, floorPicture, SCREEN_BYTES);
    return;
  }
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    std::memcpy(pixels + Screen->pitch * y, floorPicture + rowBytes * y, size_t(rowBytes));
  }
}

void nothing() {}
void restoreStart() { restoreGameState(GameStateId::Start); }
void restoreTypical() { restoreGameState(GameStateId::Typical); }
void restoreWorst() { restoreGameState(GameStateId::Worst); }
void typicalUnsplit() {
  restoreTypical();
  impactEffect = 0.0;
}
void typicalSplit() {
  restoreTypical();
  impactEffect = SPLIT_IMPACT;
}
void typicalPicture() {
  restoreTypical();
  updateGame();
}
// The overlay mid-way through opening over the typical picture, the pointer on the screen's
// middle.
void midFade() {
  inputState = InputState{};
  inputState.mouseX = SCREEN_CENTRE_X;
  inputState.mouseY = SCREEN_CENTRE_Y;
  overlayOpen = 1;
  overlayFade = MID_FADE;
}

struct Workload {
  const char* name;
  const char* what;
  double target;   // the most it may cost, in copies of the screen; 0: none
  void (*prepare)();  // untimed
  void (*work)();     // timed
};

const Workload WORKLOADS[] = {
    {"floor/copy", "one 640 x 480 x 4-byte picture copied onto the screen", 0, nothing,
     copyPicture},
    {"frame/start", "a game step with its drawing, right after a reset", 0, restoreStart,
     updateGame},
    {"frame/typical", "a step: 40 enemies, 30 shots, the ship cruising, split", 4, restoreTypical,
     updateGame},
    {"frame/worst", "a step: 250 enemies round the ship, 500 shots, boring", 15, restoreWorst,
     updateGame},
    {"draw/plain", "drawGame alone, impactEffect 0 (typical state)", 0, typicalUnsplit, drawGame},
    {"draw/split", "drawGame alone, impactEffect 2.5 (typical state)", 4, typicalSplit, drawGame},
    {"reset", "resetGame: the best-score file read, the lists emptied, the carve", 0,
     restoreTypical, resetGame},
    {"overlay/capture", "capturePauseBackdrop of the typical picture", 25, typicalPicture,
     capturePauseBackdrop},
    {"overlay/frame", "updateOverlay at fade 57.3: blend, buttons, clock, cursor, border", 6,
     midFade, updateOverlay},
    {"worst/shot-hits", "frame/worst's part: shots against enemies", 0, restoreWorst,
     collideShotsWithEnemies},
    {"worst/contacts", "frame/worst's part: enemies against the ship", 0, restoreWorst,
     collideEnemiesWithShip},
    {"worst/shots-map", "frame/worst's part: shots against the map", 0, restoreWorst,
     collideShotsWithMap},
};

double threadSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double medianOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

bool openScreen() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "zaraz-bench: cannot start SDL: %s\n", SDL_GetError());
    return false;
  }
  Screen = SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, BENCH_DEPTH, SDL_SWSURFACE);
  if (Screen == nullptr || Screen->format->BitsPerPixel != BENCH_DEPTH) {
    std::fprintf(stderr, "zaraz-bench: cannot open a %d-bit screen\n", BENCH_DEPTH);
    return false;
  }
  return true;
}

// The media from the source tree, as the game reads them from its working directory; then a
// folder of our own for "highscore.dat", which resetGame reads.
std::string loadMediaAndEnterScratch() {
  if (chdir(ZARAZ_SOURCE_DIR) != 0 || !loadGameMedia()) return "";
  loadOverlayMedia();
  char pattern[] = "/tmp/zaraz-bench-XXXXXX";
  const char* made = mkdtemp(pattern);
  if (made == nullptr || chdir(made) != 0) return "";
  return made;
}

// The times of each chosen workload, in microseconds: `rounds` rounds of `runs` runs each.
std::vector<std::vector<double>> measure(const std::vector<const Workload*>& chosen, int rounds,
                                         int runs) {
  std::vector<std::vector<double>> times(chosen.size());
  for (int round = 0; round < rounds; ++round) {
    for (size_t k = 0; k < chosen.size(); ++k) {
      for (int run = 0; run < runs; ++run) {
        chosen[k]->prepare();
        const double start = threadSeconds();
        chosen[k]->work();
        times[k].push_back((threadSeconds() - start) * MICROSECONDS_A_SECOND);
      }
    }
  }
  return times;
}

// The table: one row per workload, its median against the floor's (the first row).
void printTable(const std::vector<const Workload*>& chosen,
                const std::vector<std::vector<double>>& times, bool quick) {
  const double floorTime = medianOf(times[0]);
  std::printf("zaraz-bench: median thread processor time of %s; SDL dummy video, 32 bits a "
              "pixel\n\n", quick ? "one run (--quick: proves it runs, measures nothing)"
                                 : "200 runs each");
  std::printf("| workload | us | x copy | target | what |\n|---|--:|--:|--:|---|\n");
  for (size_t k = 0; k < chosen.size(); ++k) {
    const double median = medianOf(times[k]);
    const Workload& w = *chosen[k];
    const bool over = w.target > 0 && median > w.target * floorTime;
    std::printf("| %s | %.1f | %.2f | %s%s | %s |\n", w.name, median, median / floorTime,
                w.target > 0 ? std::to_string(int(w.target)).c_str() : "",
                over ? " (over)" : "", w.what);
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = false;
  std::string filter;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) {
      quick = true;
    } else if (std::strncmp(argv[i], FILTER_FLAG, std::strlen(FILTER_FLAG)) == 0) {
      filter = argv[i] + std::strlen(FILTER_FLAG);
    } else {
      std::fprintf(stderr, "usage: zaraz-bench [--quick] [--filter=TEXT]\n");
      return 2;
    }
  }
  if (!openScreen()) return 1;
  const std::string scratch = loadMediaAndEnterScratch();
  if (scratch.empty()) {
    std::fprintf(stderr, "zaraz-bench: cannot read the media or make a folder in /tmp\n");
    return 1;
  }
  for (int i = 0; i < SCREEN_BYTES; ++i) floorPicture[i] = uint8_t(i * 7 + (i >> 11));
  buildGameStates();
  typicalPicture();
  capturePauseBackdrop();

  std::vector<const Workload*> chosen;
  for (const Workload& w : WORKLOADS) {
    if (&w == WORKLOADS || std::strstr(w.name, filter.c_str()) != nullptr) chosen.push_back(&w);
  }
  printTable(chosen, measure(chosen, quick ? 1 : ROUNDS, quick ? 1 : RUNS_IN_TURN), quick);
  std::remove((scratch + "/highscore.dat").c_str());
  rmdir(scratch.c_str());
  SDL_Quit();
  return 0;
}
