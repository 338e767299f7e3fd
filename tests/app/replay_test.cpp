// tests/app/replay_test.cpp -- whole-program replays: a fixed seed and a scripted input give the
// same game and the same pictures, frame for frame, on every run and every build, and every
// frame leaves the game's invariants standing.
//
// The reference hashes live in replay_hashes.txt beside this file. A change to them in a diff
// must be deliberate: regenerate with ZARAZ_UPDATE_REPLAY_HASHES=1 and say why in the commit.
// The same replay, run long (ZARAZ_SOAK_FRAMES, CTest label "soak"), is the soak test.
#include "app/frame.h"
#include "app/input.h"
#include "app/screen.h"
#include "app/startup.h"
#include "game/media.h"
#include "game/reset.h"
#include "game/state.h"
#include "game/world.h"
#include "overlay/driver.h"
#include "overlay/images.h"
#include "platform/files.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned REPLAY_SEED = 20261206;
constexpr int REPLAY_FRAMES = 1500;
constexpr int CHECKPOINT_EVERY = 100;
constexpr int64_t PINNED_CALENDAR_TIME = 1796558400;  // a Sunday afternoon, for the clock band
constexpr double CAMERA_SLACK = 4.0;  // world units the camera may stand from the map origin
constexpr double START_HEALTH = 250.0;
constexpr int32_t FIRE_COOLDOWN_MAX = 4;
constexpr int32_t SPAWN_TIMER_MAX = 10;

struct Fnv {  // FNV-1a, 64 bits
  uint64_t hash = 1469598103934665603ull;
  void bytes(const void* data, size_t length) {
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < length; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
  }
  void value(const auto& v) { bytes(&v, sizeof v); }
};

uint64_t stateHash() {
  Fnv fnv;
  for (double v : {shipX, shipY, shipVelX, shipVelY, cameraX, cameraY, mapOriginX, mapOriginY,
                   health, impactEffect, overlayFade})
    fnv.value(v);
  for (int32_t v : {fireCooldown, score, highScore, spawnTimer, shotCount, enemyCount})
    fnv.value(v);
  fnv.value(overlayOpen);
  for (int i = 0; i < shotCount; ++i) fnv.value(*shots[i]);
  for (int i = 0; i < enemyCount; ++i) fnv.value(*enemies[i]);
  fnv.bytes(WorldMap, sizeof WorldMap);
  return fnv.hash;
}

uint64_t pictureHash() {
  Fnv fnv;
  for (int y = 0; y < SCREEN_HEIGHT; ++y)
    for (int x = 0; x < SCREEN_WIDTH; ++x) fnv.value(screenRgb(x, y));
  return fnv.hash;
}

template <typename Record>
std::string listFault(Record* const* slots, int32_t count, int capacity, const char* name) {
  if (count < 0 || count > capacity) return std::string(name) + ": count out of range";
  for (int slot = 0; slot < capacity; ++slot) {
    if ((slots[slot] != nullptr) != (slot < count))
      return std::string(name) + ": slot " + std::to_string(slot) + " disagrees with the count";
    if (slot < count && !(std::isfinite(slots[slot]->x) && std::isfinite(slots[slot]->y)))
      return std::string(name) + ": a record off the map";
  }
  return "";
}

// What every frame must leave standing; "" when it does, else the broken rule.
std::string brokenInvariant() {
  if (!(std::fabs(cameraX - mapOriginX) <= CAMERA_SLACK) ||
      !(std::fabs(cameraY - mapOriginY) <= CAMERA_SLACK))
    return "the camera is more than 4 from the map origin";
  if (fireCooldown < 0 || fireCooldown > FIRE_COOLDOWN_MAX) return "fireCooldown outside 0..4";
  if (spawnTimer < 0 || spawnTimer > SPAWN_TIMER_MAX) return "spawnTimer outside 0..10";
  if (score < 0 || score % 10 != 0 || highScore < 0) return "a score not a multiple of 10";
  if (!(health <= START_HEALTH)) return "health above 250";
  if (!(impactEffect >= 0.0)) return "impactEffect negative";
  if (!(overlayFade >= 0.0 && overlayFade <= 100.0) || overlayOpen > 1)
    return "the overlay's fade or flag out of range";
  std::string fault = listFault(shots, shotCount, MAX_SHOTS, "shots");
  if (fault.empty()) fault = listFault(enemies, enemyCount, MAX_ENEMIES, "enemies");
  return fault;
}

// A stored record is whole: the best score's digits and a line end, or no file before any record.
std::string brokenStoredRecord() {
  if (access(HIGH_SCORE_FILE, F_OK) != 0) return highScore > 0 ? "a record was not stored" : "";
  const std::string content = readFileBytes(HIGH_SCORE_FILE);
  const std::string expected = std::to_string(highScore) + TEXT_LINE_END;
  return content == expected ? "" : "highscore.dat holds " + content;
}

// The player of the replay: its own small generator, so the game's rand() stream is untouched.
struct ScriptedPlayer {
  uint32_t state = 12345;
  uint32_t next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  bool held[4] = {};
  bool firing = false;

  void play(int frame) {
    static const int DIRECTION_KEYS[4] = {SDLK_w, SDLK_a, SDLK_s, SDLK_d};
    // A pause in every 400 frames: opened with Escape, left up a while, closed with a click on
    // "Resume game". The player keeps still around it, so no stray click can hit "Exit".
    const int cycle = frame % 400;
    if (cycle == 190 && firing) {
      firing = false;
      pushMouseButton(SDL_BUTTON_LEFT, false);
    }
    if (cycle == 200) pushKey(SDLK_ESCAPE, true);
    if (cycle == 201) pushKey(SDLK_ESCAPE, false);
    if (cycle == 260) SDL_WarpMouse(320, 115);
    if (cycle == 262) pushMouseButton(SDL_BUTTON_LEFT, true);
    if (cycle == 264) pushMouseButton(SDL_BUTTON_LEFT, false);
    if (cycle >= 190 && cycle < 320) return;

    for (int k = 0; k < 4; ++k) {
      if (next() % 23 == 0) {
        held[k] = !held[k];
        pushKey(DIRECTION_KEYS[k], held[k]);
      }
    }
    if (next() % 17 == 0) {
      firing = !firing;
      pushMouseButton(SDL_BUTTON_LEFT, firing);
    }
    if (frame % 7 == 0) SDL_WarpMouse(Uint16(next() % 640), Uint16(next() % 480));
  }
};

// One replay from a fresh start in a scratch folder; the hashes of state and picture at every
// checkpoint. The media are loaded by the first replay only: the game never frees them, so a
// second load would leak the first one's surfaces.
std::vector<std::string> runReplay(bool loadMedia, int frames = REPLAY_FRAMES) {
  const ScopedWorkingDir scratch;
  EXPECT_EQ(symlink((sourceDir() + "/Media").c_str(), "Media"), 0);

  inputState = InputState{};
  overlayFade = 0.0;
  overlayOpen = 0;
  quitRequested = 0;
  score = highScore = 0;
  pinCalendarTime(PINNED_CALENDAR_TIME);
  std::srand(REPLAY_SEED);
  if (loadMedia) {
    EXPECT_TRUE(loadGameMedia());
  }
  resetGame();
  framesPerSecond = 30;
  if (loadMedia) loadOverlayMedia();

  ScriptedPlayer player;
  std::vector<std::string> checkpoints;
  for (int frame = 1; frame <= frames; ++frame) {
    player.play(frame);
    const double healthBefore = health;
    runFrame();
    const std::string fault = brokenInvariant();
    if (!fault.empty()) {
      ADD_FAILURE() << "frame " << frame << ": " << fault;
      break;
    }
    if (health > healthBefore) {  // the game was reset this frame
      EXPECT_EQ(brokenStoredRecord(), "") << "frame " << frame;
    }
    // The script's pauses must really happen: fully up mid-pause, fully away after it.
    if (frame % 400 == 240 || frame % 400 == 319) {
      EXPECT_EQ(overlayFade, frame % 400 == 240 ? 100.0 : 0.0) << "frame " << frame;
    }
    if (frame % CHECKPOINT_EVERY == 0) {
      char line[80];
      std::snprintf(line, sizeof line, "%d %016llx %016llx", frame,
                    static_cast<unsigned long long>(stateHash()),
                    static_cast<unsigned long long>(pictureHash()));
      checkpoints.push_back(line);
    }
  }
  EXPECT_EQ(quitRequested, 0);
  return checkpoints;
}

std::vector<std::string> readLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The frame number and the state hash of each checkpoint, without the picture's hash.
std::vector<std::string> stateColumns(const std::vector<std::string>& checkpoints) {
  std::vector<std::string> states;
  for (const std::string& line : checkpoints) states.push_back(line.substr(0, line.rfind(' ')));
  return states;
}

TEST(Replay, SameSeedAndInputGiveTheSameGameAndPictures) {
  openTestScreen(32);
  const std::vector<std::string> first = runReplay(true);
  const std::vector<std::string> second = runReplay(false);
  EXPECT_EQ(first, second) << "two runs of one replay differ: something reads time or memory";

  // sdl12-compat rounds alpha blending differently from classic SDL 1.2 (the cursor, border and
  // HUD panels differ by one or two steps of 255), so each flavour keeps its own picture hashes.
  // The game's state is the same on both: the classic file is the reference for it everywhere.
  const std::string classicPath = sourceDir() + "/tests/app/replay_hashes.txt";
  const std::string referencePath =
      onSdl12Compat() ? sourceDir() + "/tests/app/replay_hashes_compat.txt" : classicPath;
  if (std::getenv("ZARAZ_UPDATE_REPLAY_HASHES") != nullptr) {
    std::ofstream out(referencePath);
    for (const std::string& line : first) out << line << "\n";
  }
  EXPECT_EQ(first, readLines(referencePath))
      << "the replay no longer matches " << referencePath
      << ": the game's behaviour or pictures changed";
  EXPECT_EQ(stateColumns(first), stateColumns(readLines(classicPath)))
      << "the game's state differs from what it is on classic SDL 1.2";
  closeTestScreen();
}

// The soak: the same replay for as many frames as ZARAZ_SOAK_FRAMES says (200,000 under CTest's
// label "soak", run by hand), every frame checked as above.
TEST(Soak, LongReplayKeepsTheInvariants) {
  const char* frames = std::getenv("ZARAZ_SOAK_FRAMES");
  if (frames == nullptr) GTEST_SKIP() << "set ZARAZ_SOAK_FRAMES to run the soak";
  openTestScreen(32);
  runReplay(true, std::atoi(frames));
  closeTestScreen();
}

}  // namespace
