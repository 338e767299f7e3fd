// tests/soak/soak.cpp -- long headless runs of the real frame under random input from a fixed
// seed, checking after every frame the invariants that the game relies on.
//
// Usage: zaraz-soak [game frames, default 200000] [seed, default 20240601] [depth, default 32]
//                   [runs, default 2]
// The frames are shared out among `runs` processes side by side, each a whole game session with
// the seed plus its number. A run counts game frames (frames that begin with the overlay away);
// overlay frames come on top. Each run prints one summary line, then the total; a run exits 1 at
// the first broken rule, naming the frame, the rule and the values, and the soak then fails. The
// same seed gives the same runs.
#include "app/frame.h"
#include "app/input.h"
#include "app/screen.h"
#include "app/startup.h"
#include "game/media.h"
#include "game/reset.h"
#include "game/state.h"
#include "game/world.h"
#include "overlay/buttons.h"
#include "overlay/driver.h"
#include "overlay/images.h"
#include "platform/files.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int DEFAULT_GAME_FRAMES = 200000;
constexpr unsigned DEFAULT_SEED = 20240601;
constexpr int DEFAULT_DEPTH = 32;
constexpr int DEFAULT_RUNS = 2;  // processes side by side, one a core of a two-core machine
constexpr double START_HEALTH = 250.0;
constexpr double CAMERA_SLACK = 4.0;  // world units the camera may stand from the map origin
constexpr int FIRE_COOLDOWN_MAX = 4;
constexpr int SPAWN_TIMER_MAX = 10;
constexpr double FADE_SHOWN = 100.0;
constexpr int MAP_CHECK_INTERVAL = 1000;  // frames between full scans of WorldMap

// The menu button's hover area around its centre line (strict on both sides), screen pixels.
constexpr int HOVER_LEFT = 157;
constexpr int HOVER_RIGHT = 482;
constexpr int HOVER_HALF_HEIGHT = 20;

// How often the simulated player does each thing, as "one frame in N".
constexpr int STEER_CHANCE = 8;
constexpr int FIRE_TOGGLE_CHANCE = 10;
constexpr int POINTER_MOVE_CHANCE = 6;
constexpr int OPEN_OVERLAY_CHANCE = 1200;  // game frames
constexpr int OVERLAY_ESCAPE_CHANCE = 45;  // overlay frames
constexpr int CLICK_CHANCE = 3;           // overlay frames: the left button goes down or up
constexpr int AIM_AT_RESUME_CHANCE = 4;   // of the presses while the buttons answer
constexpr int FLOOD_CHANCE = 2500;
constexpr int ODD_KEY_LIMIT = 600;     // floods use symbols up to here, beyond the key table
constexpr int ODD_BUTTON_LIMIT = 13;   // and buttons up to here, beyond the button table
constexpr int BUTTONS_IN_SDL_MASK = 8;

const SDLKey STEERING_KEYS[] = {SDLK_w,  SDLK_a,    SDLK_s,    SDLK_d,
                                SDLK_UP, SDLK_LEFT, SDLK_DOWN, SDLK_RIGHT};

struct Counts {
  long frames = 0;
  long gameFrames = 0;
  long overlayFrames = 0;
  long resets = 0;
  long overlayCycles = 0;
  long resumeClicks = 0;
  long otherClicks = 0;  // presses of the left button over no button while the buttons answer
  long floods = 0;
  long eventsPushed = 0;
  long eventsRefused = 0;  // pushes that SDL's full queue turned away
  long splitFrames = 0;
  double seconds = 0.0;
  int32_t bestScore = 0;
  int32_t mostShots = 0;
  int32_t mostEnemies = 0;
};

// What the simulated player has pushed this frame, and what updateInput must make of it.
struct FrameInput {
  std::vector<int> keyDowns, keyUps;        // symbols as pushed, any number
  std::vector<int> buttonDowns, buttonUps;  // button numbers as pushed
};

// The player's state between frames, and the input table the game must end up with.
struct Player {
  std::mt19937 random;
  bool steering[sizeof STEERING_KEYS / sizeof STEERING_KEYS[0]] = {};
  bool firing = false;
  bool escapeDown = false;
  bool eventsLost = false;  // the last frame filled SDL's queue
  int pointerX = 320;
  int pointerY = 240;
  KeyState expectedKeys[KEY_COUNT] = {};
  KeyState expectedButtons[MOUSE_BUTTON_COUNT] = {};
};

Counts counts;

[[noreturn]] void fail(const std::string& rule) {
  std::fprintf(stderr, "soak: frame %ld: %s\n", counts.frames, rule.c_str());
  std::exit(1);
}

bool chance(Player& player, int oneIn) {
  return std::uniform_int_distribution<int>(0, oneIn - 1)(player.random) == 0;
}

int pick(Player& player, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(player.random);
}

// Pushes a key event carrying `symbol`, any number, as it would arrive; false when SDL's queue
// refused it. The bytes are copied because a number beyond SDLKey's enumerators is no SDLKey.
bool pushKeyEvent(int symbol, bool down, FrameInput& input) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  const std::underlying_type_t<SDLKey> raw = std::underlying_type_t<SDLKey>(symbol);
  std::memcpy(&event.key.keysym.sym, &raw, sizeof raw);
  ++counts.eventsPushed;
  if (SDL_PushEvent(&event) != 0) {
    ++counts.eventsRefused;
    return false;
  }
  (down ? input.keyDowns : input.keyUps).push_back(symbol);
  return true;
}

bool pushButtonEvent(int button, bool down, FrameInput& input) {
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.button = Uint8(button);
  ++counts.eventsPushed;
  if (SDL_PushEvent(&event) != 0) {
    ++counts.eventsRefused;
    return false;
  }
  (down ? input.buttonDowns : input.buttonUps).push_back(button);
  return true;
}

// Steering, firing (or clicking, while the overlay is up) and Escape as a player works them:
// each toggles now and then, and the game sees a down when it goes down and an up when it comes up.
void playerKeys(Player& player, bool overlayVisible, FrameInput& input) {
  if (!overlayVisible && chance(player, STEER_CHANCE)) {
    const int which = pick(player, 0, int(sizeof STEERING_KEYS / sizeof STEERING_KEYS[0]) - 1);
    if (pushKeyEvent(STEERING_KEYS[which], !player.steering[which], input))
      player.steering[which] = !player.steering[which];
  }
  if (chance(player, overlayVisible ? CLICK_CHANCE : FIRE_TOGGLE_CHANCE)) {
    if (pushButtonEvent(SDL_BUTTON_LEFT, !player.firing, input)) player.firing = !player.firing;
  }
  const int escapeChance = overlayVisible ? OVERLAY_ESCAPE_CHANCE : OPEN_OVERLAY_CHANCE;
  if (player.escapeDown) {
    if (pushKeyEvent(SDLK_ESCAPE, false, input)) player.escapeDown = false;
  } else if (chance(player, escapeChance)) {
    if (pushKeyEvent(SDLK_ESCAPE, true, input)) player.escapeDown = true;
  }
}

// Fills SDL's queue until it refuses: keys and buttons of every number, Escape among them, and
// pointer motion. A key that a flood leaves down stays down until a later event lifts it.
void flood(Player& player, FrameInput& input) {
  ++counts.floods;
  for (;;) {
    bool taken;
    const int kind = pick(player, 0, 9);
    if (kind < 5) {
      taken = pushKeyEvent(pick(player, 0, ODD_KEY_LIMIT), pick(player, 0, 1) == 1, input);
    } else if (kind < 8) {
      // The left button is kept to the player's own toggling, so every click is one he chose.
      int button = pick(player, 0, ODD_BUTTON_LIMIT);
      if (button == SDL_BUTTON_LEFT) button = SDL_BUTTON_RIGHT;
      taken = pushButtonEvent(button, pick(player, 0, 1) == 1, input);
    } else {
      SDL_Event motion{};
      motion.type = SDL_MOUSEMOTION;
      motion.motion.x = Uint16(pick(player, 0, SCREEN_WIDTH - 1));
      motion.motion.y = Uint16(pick(player, 0, SCREEN_HEIGHT - 1));
      ++counts.eventsPushed;
      taken = SDL_PushEvent(&motion) == 0;
      if (!taken) ++counts.eventsRefused;
    }
    if (!taken) return;
  }
}

// Whether Escape ends this frame's input Pressed: a down taken, and no up after it (the input
// applies every down before every up).
bool escapeWillBePressed(const FrameInput& input) {
  bool down = false;
  for (int symbol : input.keyDowns) down = down || symbol == SDLK_ESCAPE;
  for (int symbol : input.keyUps) {
    if (symbol == SDLK_ESCAPE) return false;
  }
  return down;
}

bool leftWillBePressed(const FrameInput& input) {
  bool down = false;
  for (int button : input.buttonDowns) down = down || button == SDL_BUTTON_LEFT;
  for (int button : input.buttonUps) {
    if (button == SDL_BUTTON_LEFT) return false;
  }
  return down;
}

bool overButton(int x, int y, int centreY) {
  return x >= HOVER_LEFT && x <= HOVER_RIGHT && y > centreY - HOVER_HALF_HEIGHT - 1 &&
         y < centreY + HOVER_HALF_HEIGHT + 1;
}

// Places the pointer for this frame: now and then somewhere new, or on "Resume game" for a
// click; never over "Exit" while the buttons answer, since that would end the run. Returns true
// when a click on "Resume game" is due this frame.
bool placePointer(Player& player, const FrameInput& input) {
  const bool escapePressed = escapeWillBePressed(input);
  const uint8_t openAfterToggle = escapePressed ? !overlayOpen : overlayOpen;
  // The buttons are drawn and tested with the fade after this frame's step.
  const double fade = stepOverlayFade(overlayFade, openAfterToggle);
  const int resumeY = overlayButtonY(fade, RESUME_BUTTON_Y_AWAY, RESUME_BUTTON_Y_SHOWN);
  const int exitY = overlayButtonY(fade, EXIT_BUTTON_Y_AWAY, EXIT_BUTTON_Y_SHOWN);
  const bool buttonsAnswer = fade != 0.0;

  if (buttonsAnswer && leftWillBePressed(input) && chance(player, AIM_AT_RESUME_CHANCE) &&
      resumeY - HOVER_HALF_HEIGHT < SCREEN_HEIGHT) {
    player.pointerX = pick(player, HOVER_LEFT, HOVER_RIGHT);
    player.pointerY = pick(player, resumeY - HOVER_HALF_HEIGHT,
                           std::min(resumeY + HOVER_HALF_HEIGHT, SCREEN_HEIGHT - 1));
  } else if (chance(player, POINTER_MOVE_CHANCE)) {
    player.pointerX = pick(player, 0, SCREEN_WIDTH - 1);
    player.pointerY = pick(player, 0, SCREEN_HEIGHT - 1);
  }
  while (buttonsAnswer && overButton(player.pointerX, player.pointerY, exitY)) {
    player.pointerY = pick(player, 0, SCREEN_HEIGHT - 1);
  }
  SDL_WarpMouse(Uint16(player.pointerX), Uint16(player.pointerY));
  return buttonsAnswer && leftWillBePressed(input) &&
         overButton(player.pointerX, player.pointerY, resumeY);
}

// This frame's events, pushed into SDL's queue. Returns true when a click on "Resume game" is due.
bool playFrame(Player& player, FrameInput& input) {
  const bool overlayVisible = overlayFade != 0.0;
  playerKeys(player, overlayVisible, input);
  if (chance(player, FLOOD_CHANCE)) flood(player, input);
  return placePointer(player, input);
}

// The input table the game must hold after the frame: every entry aged, then every down taken,
// then every up, numbers beyond the tables ignored. After a frame that filled SDL's queue, and
// in the frame after it, every Held entry that SDL's own state reports up is lifted; pushed
// events never touch that state, so it reports every key SDL knows, and every button of its
// mask, up.
void expectInput(Player& player, const FrameInput& input, bool queueFull) {
  for (KeyState& key : player.expectedKeys) {
    if (key != KeyState::Up) key = KeyState::Held;
  }
  for (int symbol : input.keyDowns) {
    if (symbol < KEY_COUNT) player.expectedKeys[symbol] = KeyState::Pressed;
  }
  for (int symbol : input.keyUps) {
    if (symbol < KEY_COUNT) player.expectedKeys[symbol] = KeyState::Up;
  }
  for (KeyState& button : player.expectedButtons) {
    if (button != KeyState::Up) button = KeyState::Held;
  }
  for (int button : input.buttonDowns) {
    if (button < MOUSE_BUTTON_COUNT) player.expectedButtons[button] = KeyState::Pressed;
  }
  for (int button : input.buttonUps) {
    if (button < MOUSE_BUTTON_COUNT) player.expectedButtons[button] = KeyState::Up;
  }
  if (queueFull || player.eventsLost) {
    for (int key = 0; key < SDLK_LAST; ++key) {
      if (player.expectedKeys[key] == KeyState::Held) player.expectedKeys[key] = KeyState::Up;
    }
    for (int button = 1; button <= BUTTONS_IN_SDL_MASK; ++button) {
      if (player.expectedButtons[button] == KeyState::Held)
        player.expectedButtons[button] = KeyState::Up;
    }
  }
  player.eventsLost = queueFull;
}

std::string describe(const char* rule, double value) {
  std::ostringstream text;
  text.precision(17);
  text << rule << " (" << value << ")";
  return text.str();
}

template <typename Record>
void checkList(Record* const* slots, int32_t count, int capacity, const char* name) {
  if (count < 0 || count > capacity) fail(describe(name, count));
  for (int slot = 0; slot < capacity; ++slot) {
    if ((slots[slot] != nullptr) != (slot < count)) {
      fail(describe((std::string(name) + ": slot holds the wrong kind of entry").c_str(), slot));
    }
    if (slot < count) {
      const Record& record = *slots[slot];
      if (!std::isfinite(record.x) || !std::isfinite(record.y) || !std::isfinite(record.velX) ||
          !std::isfinite(record.velY)) {
        fail(describe((std::string(name) + ": a record holds a non-finite number").c_str(), slot));
      }
    }
  }
}

// The rules of the game's state that every frame must leave standing.
void checkGameState() {
  if (!(std::fabs(cameraX - mapOriginX) <= CAMERA_SLACK))
    fail(describe("camera x more than 4 from the map origin", cameraX - mapOriginX));
  if (!(std::fabs(cameraY - mapOriginY) <= CAMERA_SLACK))
    fail(describe("camera y more than 4 from the map origin", cameraY - mapOriginY));
  if (std::fmod(mapOriginX, MAP_CELL_SIZE) != 0.0 || std::fmod(mapOriginY, MAP_CELL_SIZE) != 0.0)
    fail(describe("map origin off the cell grid", mapOriginX));
  if (fireCooldown < 0 || fireCooldown > FIRE_COOLDOWN_MAX)
    fail(describe("fireCooldown outside 0..4", fireCooldown));
  if (spawnTimer < 0 || spawnTimer > SPAWN_TIMER_MAX)
    fail(describe("spawnTimer outside 0..10", spawnTimer));
  checkList(shots, shotCount, MAX_SHOTS, "shots");
  checkList(enemies, enemyCount, MAX_ENEMIES, "enemies");
  if (!(health <= START_HEALTH)) fail(describe("health above 250", health));
  if (!std::isfinite(shipX) || !std::isfinite(shipY) || !std::isfinite(cameraX) ||
      !std::isfinite(cameraY))
    fail("a non-finite ship or camera position");
  if (!(impactEffect >= 0.0) || !std::isfinite(impactEffect))
    fail(describe("impactEffect negative or not finite", impactEffect));
  if (score < 0 || score % 10 != 0) fail(describe("score not a multiple of 10", score));
}

void checkOverlayAndInput(const Player& player, bool resumeClicked) {
  if (!(overlayFade >= 0.0 && overlayFade <= FADE_SHOWN))
    fail(describe("overlayFade outside 0..100", overlayFade));
  if (overlayOpen > 1) fail(describe("overlayOpen neither 0 nor 1", overlayOpen));
  if (quitRequested) fail("the game asked to quit, though no quit event and no Exit click came");
  if (inputEventsLost != player.eventsLost) fail("the game and the soak disagree on a full queue");
  if (resumeClicked && overlayOpen != 0) fail("a click on Resume game left the overlay open");
  if (std::memcmp(player.expectedKeys, inputState.keys, sizeof inputState.keys) != 0)
    fail("the key table differs from the events of the frame (an event not taken, or stuck)");
  if (std::memcmp(player.expectedButtons, inputState.mouseButtons,
                  sizeof inputState.mouseButtons) != 0)
    fail("the button table differs from the events of the frame");
  if (inputState.mouseX != player.pointerX || inputState.mouseY != player.pointerY)
    fail("the pointer is not where it was placed");
  SDL_Event left;
  if (SDL_PeepEvents(&left, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) != 0)
    fail("an event was left in SDL's queue after the frame");
}

void checkMapCells() {
  for (uint8_t cell : WorldMap) {
    if (cell > 1) fail(describe("a WorldMap cell neither open nor rock", cell));
  }
}

// After a reset: a new record is in the file as the game holds it.
void checkStoredRecord() {
  std::ifstream file(HIGH_SCORE_FILE, std::ios::binary);
  if (!file) {
    if (highScore > 0) fail(describe("a record was not stored", highScore));
    return;
  }
  std::string content((std::istreambuf_iterator<char>(file)), {});
  const std::string expected = std::to_string(highScore) + TEXT_LINE_END;
  if (content != expected) fail("highscore.dat does not hold the best score: " + content);
}

// The game fields that must not move while the overlay is up.
struct GameSnapshot {
  double shipX, shipY, cameraX, cameraY, mapOriginX, mapOriginY, health, impactEffect;
  int32_t score, highScore, fireCooldown, spawnTimer, shotCount, enemyCount;
  bool operator==(const GameSnapshot&) const = default;
};

GameSnapshot snapshotGame() {
  return {shipX,  shipY,     cameraX,      cameraY,    mapOriginX, mapOriginY, health,
          impactEffect, score, highScore, fireCooldown, spawnTimer, shotCount,  enemyCount};
}

// One frame: the player's input, the real frame, then every check.
void soakFrame(Player& player, bool& overlayWasVisible) {
  FrameInput input;
  const long refusedBefore = counts.eventsRefused;
  const bool resumeClick = playFrame(player, input);
  const bool queueFull = counts.eventsRefused > refusedBefore;
  const bool buttonsAnswer = stepOverlayFade(overlayFade, escapeWillBePressed(input)
                                                              ? !overlayOpen
                                                              : overlayOpen) != 0.0;
  expectInput(player, input, queueFull);
  const bool gameFrame = overlayFade == 0.0;
  const double healthBefore = health;
  const GameSnapshot before = snapshotGame();

  runFrame();

  ++counts.frames;
  ++(gameFrame ? counts.gameFrames : counts.overlayFrames);
  checkGameState();
  checkOverlayAndInput(player, resumeClick);
  if (!gameFrame && !(snapshotGame() == before)) fail("the game moved while the overlay was up");
  if (gameFrame && health > healthBefore) {
    ++counts.resets;
    checkStoredRecord();
  }
  if (counts.frames % MAP_CHECK_INTERVAL == 0) checkMapCells();
  if (resumeClick) {
    ++counts.resumeClicks;
  } else if (buttonsAnswer && leftWillBePressed(input)) {
    ++counts.otherClicks;
  }
  if (overlayWasVisible && overlayFade == 0.0) ++counts.overlayCycles;
  overlayWasVisible = overlayFade != 0.0;
  if (gameFrame && impactEffect >= 0.2) ++counts.splitFrames;
  counts.bestScore = std::max(counts.bestScore, score);
  counts.mostShots = std::max(counts.mostShots, shotCount);
  counts.mostEnemies = std::max(counts.mostEnemies, enemyCount);
}

// A scratch working directory with Media/ linked from the source tree: the game's relative
// paths find its media there, and its best-score file lands in a folder of the soak's own.
std::string enterScratchDirectory() {
  char pattern[] = "/tmp/zaraz-soak-XXXXXX";
  if (mkdtemp(pattern) == nullptr) fail("cannot make a scratch folder");
  const std::string dir = pattern;
  if (symlink(ZARAZ_SOURCE_DIR "/Media", (dir + "/Media").c_str()) != 0 ||
      chdir(dir.c_str()) != 0)
    fail("cannot prepare the scratch folder " + dir);
  return dir;
}

void leaveScratchDirectory(const std::string& dir) {
  std::remove(HIGH_SCORE_FILE);
  std::remove("Media");
  if (chdir("/") != 0 || rmdir(dir.c_str()) != 0) fail("cannot remove the scratch folder " + dir);
}

// Start-up in the game's order (app/startup.cpp), with a screen of the chosen depth: the dummy
// video driver would otherwise always give 8 bits a pixel. Audio failures are ignored, as there.
void startGame(int depth) {
  if (SDL_Init(SDL_INIT_EVERYTHING) != 0) fail(std::string("SDL_Init: ") + SDL_GetError());
  Screen = SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, depth, SDL_SWSURFACE);
  if (Screen == nullptr) fail(std::string("SDL_SetVideoMode: ") + SDL_GetError());
  if (!loadGameMedia()) fail("the game media did not load");
  resetGame();
  Mix_OpenAudio(0, 0, 0, 0);
  gameMusic = Mix_LoadMUS("Media/Game/SlowDown.ogg");
  Mix_VolumeMusic(MUSIC_VOLUME);
  Mix_PlayMusic(gameMusic, -1);
  framesPerSecond = 30;
  loadOverlayMedia();
}

// One run in this process: start-up, then frames until `gameFrames` game frames have run.
// Returns what it counted; exits 1 at the first broken rule.
Counts runSoak(long gameFrames, unsigned seed, int depth) {
  const std::string dir = enterScratchDirectory();
  startGame(depth);
  std::srand(seed);
  Player player;
  player.random.seed(seed);

  const auto started = std::chrono::steady_clock::now();
  bool overlayWasVisible = false;
  while (counts.gameFrames < gameFrames) soakFrame(player, overlayWasVisible);
  const auto elapsed = std::chrono::steady_clock::now() - started;
  counts.seconds = std::chrono::duration<double>(elapsed).count();

  Mix_CloseAudio();
  SDL_Quit();
  leaveScratchDirectory(dir);
  return counts;
}

void report(const char* who, const Counts& run, int depth) {
  std::printf(
      "%s: %ld game frames and %ld overlay frames (%ld with the colour split) at %d bits a pixel "
      "in %.1f s: %ld resets, %ld overlay cycles, %ld clicks on Resume game and %ld elsewhere, "
      "%ld floods, %ld events pushed (%ld refused by the full queue); best score %d, at most %d "
      "shots and %d enemies\n",
      who, run.gameFrames, run.overlayFrames, run.splitFrames, depth, run.seconds, run.resets,
      run.overlayCycles, run.resumeClicks, run.otherClicks, run.floods, run.eventsPushed,
      run.eventsRefused, int(run.bestScore), int(run.mostShots), int(run.mostEnemies));
  std::fflush(stdout);
}

void addUp(Counts& total, const Counts& run) {
  total.frames += run.frames;
  total.gameFrames += run.gameFrames;
  total.overlayFrames += run.overlayFrames;
  total.splitFrames += run.splitFrames;
  total.resets += run.resets;
  total.overlayCycles += run.overlayCycles;
  total.resumeClicks += run.resumeClicks;
  total.otherClicks += run.otherClicks;
  total.floods += run.floods;
  total.eventsPushed += run.eventsPushed;
  total.eventsRefused += run.eventsRefused;
  total.bestScore = std::max(total.bestScore, run.bestScore);
  total.mostShots = std::max(total.mostShots, run.mostShots);
  total.mostEnemies = std::max(total.mostEnemies, run.mostEnemies);
  total.seconds = std::max(total.seconds, run.seconds);
}

}  // namespace

int main(int argc, char** argv) {
  const long gameFrames = argc > 1 ? std::atol(argv[1]) : DEFAULT_GAME_FRAMES;
  const unsigned seed = argc > 2 ? unsigned(std::atol(argv[2])) : DEFAULT_SEED;
  const int depth = argc > 3 ? std::atoi(argv[3]) : DEFAULT_DEPTH;
  const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : DEFAULT_RUNS;
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);

  // Each run is a process of its own (the game's state is global), with its own seed and an
  // equal share of the frames; the runs share their counts through one shared mapping.
  void* shared = mmap(nullptr, sizeof(Counts) * size_t(runs), PROT_READ | PROT_WRITE,
                      MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (shared == MAP_FAILED) fail("cannot map memory for the runs' counts");
  unsigned char* results = static_cast<unsigned char*>(shared);
  std::vector<pid_t> children;
  for (int run = 0; run < runs; ++run) {
    const long share = gameFrames / runs + (run < gameFrames % runs ? 1 : 0);
    const pid_t child = fork();
    if (child < 0) fail("cannot start a run");
    if (child == 0) {
      const Counts ran = runSoak(share, seed + unsigned(run), depth);
      std::memcpy(results + sizeof ran * size_t(run), &ran, sizeof ran);
      char who[32];
      std::snprintf(who, sizeof who, "soak run %d (seed %u)", run + 1, seed + unsigned(run));
      report(who, ran, depth);
      std::exit(0);  // not _exit: the leak check runs at exit
    }
    children.push_back(child);
  }
  bool allPassed = true;
  Counts total;
  for (int run = 0; run < runs; ++run) {
    int status = 0;
    if (waitpid(children[size_t(run)], &status, 0) < 0 || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "soak: run %d failed (status %d)\n", run + 1, status);
      allPassed = false;
      continue;
    }
    Counts ran;
    std::memcpy(&ran, results + sizeof ran * size_t(run), sizeof ran);
    addUp(total, ran);
  }
  if (!allPassed) return 1;
  char who[32];
  std::snprintf(who, sizeof who, "soak, %d runs", runs);
  report(who, total, depth);
  return 0;
}

