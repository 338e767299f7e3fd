// tools/bench/workloads.cpp -- every workload of the benchmark: the floor (one copy of a screen's
// worth of pixels), whole game steps from three states, the drawing alone, the reset, and the
// pause overlay; each in the game's fast form and in the plain form of tests/reference.
#include "tools/bench/workloads.h"

#include "app/input.h"
#include "app/screen.h"
#include "game/collide.h"
#include "game/render.h"
#include "game/reset.h"
#include "game/state.h"
#include "game/update.h"
#include "overlay/backdrop.h"
#include "overlay/driver.h"
#include "reference/literal_render.h"
#include "reference/literal_reset.h"
#include "reference/literal_step.h"
#include "tools/bench/game_states.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>
#include <time.h>

bool timeOnWallClock = false;

namespace {

constexpr int SCREEN_BYTES = SCREEN_WIDTH * SCREEN_HEIGHT * 4;
constexpr double SPLIT_IMPACT = 2.5;

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
void restoreDisc() { restoreGameState(GameStateId::Disc); }
void typicalUnsplit() {
  restoreTypical();
  impactEffect = 0.0;
}
void typicalSplit() {
  restoreTypical();
  impactEffect = SPLIT_IMPACT;
}

// The worst state with its picture in the mask, for the copy alone.
void worstMask() {
  restoreWorst();
  drawGameMask();
}

void typicalMask() {
  typicalUnsplit();
  drawGameMask();
}

// The overlay over the typical picture: captured once, then each frame mid-way through opening,
// the pointer resting on the screen's middle.
constexpr double MID_FADE = 57.3;
constexpr int POINTER_X = SCREEN_WIDTH / 2;
constexpr int POINTER_Y = SCREEN_HEIGHT / 2;

void typicalPicture() {
  restoreTypical();
  drawGame();
}

void midFade() {
  inputState = InputState{};
  inputState.mouseX = POINTER_X;
  inputState.mouseY = POINTER_Y;
  overlayOpen = 1;
  overlayFade = MID_FADE;
}

// The separation's unavoidable part on the disc: for each pair that its step pushes apart, the
// distance and the direction with its cosine and sine, from the C library as the rules say.
volatile double mathSink;

void separationMaths() {
  const std::vector<double>& offsets = closePairOffsets(GameStateId::Disc);
  double sum = 0.0;
  for (size_t k = 0; k + 1 < offsets.size(); k += 2) {
    const double direction = std::atan2(offsets[k + 1], offsets[k]);
    sum += std::sqrt(offsets[k] * offsets[k] + offsets[k + 1] * offsets[k + 1]) +
           std::cos(direction) + std::sin(direction);
  }
  mathSink = sum;
}

void plainStep() {
  literalGameStep();
  literalDrawGame();
}

// One form of a workload: `prepare` puts its state in place, untimed; `work` is timed.
struct Form {
  void (*prepare)();
  void (*work)();
};

struct WorkloadForms {
  Workload row;
  Form fast;
  Form plain;  // work is null where the workload has no plain form
};

const WorkloadForms WORKLOADS[] = {
    {{"floor/copy", "one 640 x 480 x 4-byte picture copied onto the screen", 0.0, false},
     {nothing, copyPicture}, {nothing, nullptr}},
    {{"frame/start", "a game step with its drawing, right after a reset", 0.0, true},
     {restoreStart, updateGame}, {restoreStart, plainStep}},
    {{"frame/typical", "a step: 40 enemies, 30 shots, the ship cruising, split", 4.0, true},
     {restoreTypical, updateGame}, {restoreTypical, plainStep}},
    {{"frame/worst", "a step: 250 enemies round the ship, 500 shots, boring", 25.0, true},
     {restoreWorst, updateGame}, {restoreWorst, plainStep}},
    {{"draw/plain", "drawGame alone, impactEffect 0 (typical state)", 2.0, true},
     {typicalUnsplit, drawGame}, {typicalUnsplit, literalDrawGame}},
    {{"draw/split", "drawGame alone, impactEffect 2.5 (typical state)", 3.0, true},
     {typicalSplit, drawGame}, {typicalSplit, literalDrawGame}},
    {{"reset", "resetGame: the best-score file read, the lists emptied, the carve", 0.0, true},
     {restoreTypical, resetGame}, {restoreTypical, literalResetGame}},
    {{"overlay/capture", "capturePauseBackdrop of the typical picture", 25.0, false},
     {typicalPicture, capturePauseBackdrop}, {nothing, nullptr}},
    {{"overlay/frame", "updateOverlay at fade 57.3: blend, buttons, clock, cursor, border", 6.0,
      false},
     {midFade, updateOverlay}, {nothing, nullptr}},
    // Where the time of draw/plain goes.
    {{"draw/mask", "draw/plain's part: drawGameMask", 0.0, true},
     {typicalUnsplit, drawGameMask}, {typicalUnsplit, literalDrawGameMask}},
    {{"draw/copy", "draw/plain's part: the mask copied to Screen", 0.0, true},
     {typicalMask, copyMaskToScreen}, {typicalMask, literalCopyMaskToScreen}},
    {{"draw/hud", "draw/plain's part: drawHud", 0.0, false},
     {typicalMask, drawHud}, {nothing, nullptr}},
    // Where the time of frame/worst goes, each part on the state the step starts from.
    {{"worst/separate", "frame/worst's part: separateEnemies", 0.0, true},
     {restoreWorst, separateEnemies}, {restoreWorst, literalSeparation}},
    {{"worst/shot-hits", "frame/worst's part: shots against enemies", 0.0, true},
     {restoreWorst, collideShotsWithEnemies}, {restoreWorst, literalShotsWithEnemies}},
    {{"worst/contacts", "frame/worst's part: enemies against the ship", 0.0, true},
     {restoreWorst, collideEnemiesWithShip}, {restoreWorst, literalEnemiesWithShip}},
    {{"worst/dig", "frame/worst's part: the ship against the map", 0.0, true},
     {restoreWorst, digShipIntoMap}, {restoreWorst, literalDig}},
    {{"worst/shots-map", "frame/worst's part: shots against the map", 0.0, true},
     {restoreWorst, collideShotsWithMap}, {restoreWorst, literalShotsWithMap}},
    {{"disc/frame", "frame/worst with the enemies packed in a disc of radius 60", 0.0, true},
     {restoreDisc, updateGame}, {restoreDisc, plainStep}},
    {{"disc/separate", "disc/frame's part: separateEnemies", 0.0, true},
     {restoreDisc, separateEnemies}, {restoreDisc, literalSeparation}},
    {{"disc/maths", "disc/separate's floor: its sqrt, atan2, cos, sin calls alone", 0.0,
      false},
     {nothing, separationMaths}, {nothing, nullptr}},
    {{"worst/mask", "frame/worst's part: drawGameMask", 0.0, true},
     {restoreWorst, drawGameMask}, {restoreWorst, literalDrawGameMask}},
    {{"worst/copy", "frame/worst's part: the mask copied to Screen, split", 0.0, true},
     {worstMask, copyMaskToScreen}, {worstMask, literalCopyMaskToScreen}},
};

double secondsNow(clockid_t clock) {
  timespec now;
  clock_gettime(clock, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void runForm(benchmark::State& state, Form form) {
  const clockid_t clock = timeOnWallClock ? CLOCK_MONOTONIC : CLOCK_THREAD_CPUTIME_ID;
  for (auto _ : state) {
    form.prepare();
    const double start = secondsNow(clock);
    form.work();
    state.SetIterationTime(secondsNow(clock) - start);
  }
}

// Runs of the work a repetition takes: about REPETITION_SECONDS of timed work, judged from the
// quickest of a few trial runs, within these bounds. A fixed count rather than Google
// Benchmark's own minimum time keeps the untimed preparation of very short workloads from
// making a repetition last for seconds.
constexpr double REPETITION_SECONDS = 0.2;
constexpr int TRIAL_RUNS = 3;
constexpr benchmark::IterationCount FEWEST_RUNS = 3;
constexpr benchmark::IterationCount MOST_RUNS = 1000;

benchmark::IterationCount runsFor(Form form) {
  double quickest = REPETITION_SECONDS;
  for (int trial = 0; trial < TRIAL_RUNS; ++trial) {
    form.prepare();
    const double start = secondsNow(CLOCK_MONOTONIC);
    form.work();
    quickest = std::min(quickest, secondsNow(CLOCK_MONOTONIC) - start);
  }
  const double runs = REPETITION_SECONDS / std::max(quickest, 1e-9);
  return std::clamp(benchmark::IterationCount(runs), FEWEST_RUNS, MOST_RUNS);
}

void registerForm(const std::string& name, Form form, bool brief) {
  benchmark::RegisterBenchmark(name.c_str(),
                               [form](benchmark::State& state) { runForm(state, form); })
      ->UseManualTime()
      ->Iterations(brief ? 1 : runsFor(form))
      ->Unit(benchmark::kMicrosecond);
}

}  // namespace

const std::vector<Workload>& workloadList() {
  static const std::vector<Workload> rows = [] {
    std::vector<Workload> list;
    for (const WorkloadForms& forms : WORKLOADS) list.push_back(forms.row);
    return list;
  }();
  return rows;
}

void registerWorkloads(bool brief) {
  for (int i = 0; i < SCREEN_BYTES; ++i) floorPicture[i] = uint8_t(i * 7 + (i >> 11));
  typicalPicture();
  capturePauseBackdrop();
  for (const WorkloadForms& forms : WORKLOADS) {
    registerForm(std::string(forms.row.name) + FAST_SUFFIX, forms.fast, brief);
    if (forms.row.hasPlainForm) {
      registerForm(std::string(forms.row.name) + PLAIN_SUFFIX, forms.plain, brief);
    }
  }
}
