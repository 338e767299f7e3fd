// tests/game/render_test.cpp -- the game frame: the mask pass, the copy with the impact split
// at every pixel depth, and the head-up display. The fast paths are compared bit for bit with
// the plain per-pixel algorithm kept here.
#include "game/render.h"

#include "app/screen.h"
#include "game/media.h"
#include "game/state.h"
#include "game/world.h"
#include "overlay/images.h"
#include "overlay/test_font.h"
#include "overlay/text.h"
#include "platform/pixels.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// ---- The plain algorithm, as the game describes it ----

int32_t trunc32(double value) { return static_cast<int32_t>(value); }
int larger(int a, int b) { return a > b ? a : b; }
int smaller(int a, int b) { return a < b ? a : b; }

std::vector<uint8_t> oracleMask(MASK_WIDTH * MASK_HEIGHT);

void oracleFill(int32_t x, int32_t y, int32_t width, int32_t height) {
  const int x1 = smaller(x + width, MASK_WIDTH);
  for (int column = larger(x, 0); column < x1; ++column) {
    for (int row = larger(y, 0); row < smaller(y + height, MASK_HEIGHT); ++row) {
      oracleMask[column * MASK_HEIGHT + row] = 255;
    }
  }
}

void oracleShape(const uint8_t* shape, int width, int height, int left, int top) {
  for (int i = 0; i < width; ++i) {
    for (int j = 0; j < height; ++j) {
      if (shape[i * height + j] != 0) oracleFill(left + 3 * i, top + 3 * j, 3, 3);
    }
  }
}

void oracleDrawMask() {
  std::fill(oracleMask.begin(), oracleMask.end(), 0);
  const double X = cameraX - mapOriginX + 2000.0;
  const double Y = cameraY - mapOriginY + 2000.0;
  // In play the view lies well inside the map; a camera that strays keeps to the map's cells.
  const int firstC = larger(trunc32(X - 320.0) / 4, 0);
  const int endC = smaller(trunc32(X + 325.0) / 4, 1000);
  const int firstR = larger(trunc32(Y - 240.0) / 4, 0);
  const int endR = smaller(trunc32(Y + 245.0) / 4, 1000);
  for (int c = firstC; c < endC; ++c) {
    for (int r = firstR; r < endR; ++r) {
      if (WorldMap[c * 1000 + r] == 0) continue;
      oracleFill(4 * c - 1680 + trunc32(mapOriginX) - trunc32(cameraX),
                 4 * r - 1760 + trunc32(mapOriginY) - trunc32(cameraY), 4, 4);
    }
  }
  for (int32_t i = 0; i < shotCount; ++i) {
    const Shot& s = *shots[i];
    oracleFill(trunc32(s.x) - trunc32(cameraX) + 317, trunc32(s.y) - trunc32(cameraY) + 237, 6, 6);
    for (double k : {0.2, 0.4, 0.6, 0.8}) {
      oracleFill(trunc32(s.x - k * s.velX) - trunc32(cameraX) + 317,
                 trunc32(s.y - k * s.velY) - trunc32(cameraY) + 237, 6, 6);
    }
  }
  oracleShape(shipShape, 24, 12, trunc32(shipX) - trunc32(cameraX) + 284,
              trunc32(shipY) - trunc32(cameraY) + 222);
  for (int32_t i = 0; i < enemyCount; ++i) {
    const Enemy& e = *enemies[i];
    oracleShape(enemyShape, 14, 14, trunc32(e.x) - trunc32(cameraX) + 299,
                trunc32(e.y) - trunc32(cameraY) + 219);
  }
}

// The copy, one SDL_MapRGB and one pixel write per pixel, reading ScreenMask.
void oracleCopy() {
  const double E = impactEffect;
  const int d1 = trunc32(E), d2 = trunc32(E + E), d3 = trunc32(3.0 * E), d4 = trunc32(4.0 * E),
            d5 = trunc32(5.0 * E);
  auto M = [](int x, int y) { return ScreenMask[x * 480 + y]; };
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const Uint8 red = M(larger(x - d4, 0), smaller(y + d2, 479));
      const Uint8 green = M(larger(x - d1, 0), smaller(y + d4, 479));
      const Uint8 blue = M(smaller(x + d3, 639), larger(y - d5, 0));
      writePixel(Screen, x, y, SDL_MapRGB(Screen->format, red, green, blue));
    }
  }
}

// ---- Helpers ----

std::vector<uint8_t> screenRows() {
  std::vector<uint8_t> bytes;
  const int rowBytes = Screen->w * Screen->format->BytesPerPixel;
  for (int y = 0; y < Screen->h; ++y) {
    const uint8_t* row = static_cast<const uint8_t*>(Screen->pixels) + y * Screen->pitch;
    bytes.insert(bytes.end(), row, row + rowBytes);
  }
  return bytes;
}

int randomIn(int low, int high) { return low + std::rand() % (high - low + 1); }

// White rectangles, some noise and white edges, on black.
void randomMask(bool noisy) {
  std::memset(ScreenMask, 0, sizeof ScreenMask);
  const int rectangles = randomIn(0, 40);
  for (int n = 0; n < rectangles; ++n) {
    const int x = randomIn(-20, 639), y = randomIn(-20, 479);
    const int w = randomIn(1, 200), h = randomIn(1, 200);
    for (int column = larger(x, 0); column < smaller(x + w, 640); ++column) {
      for (int row = larger(y, 0); row < smaller(y + h, 480); ++row) {
        ScreenMask[column * 480 + row] = 255;
      }
    }
  }
  if (noisy) {
    for (uint8_t& byte : ScreenMask) {
      if (std::rand() % 7 == 0) byte = 255;
    }
  }
}

bool fillMaskRectWorks() {
  std::memset(ScreenMask, 0, sizeof ScreenMask);
  fillMaskRect(0, 0, 1, 1);
  return ScreenMask[0] == 255;
}

void clearEntities() {
  while (shotCount != 0) removeListEntry(shots, shotCount, 0);
  while (enemyCount != 0) removeListEntry(enemies, enemyCount, 0);
  std::memset(shipShape, 0, sizeof shipShape);
  std::memset(enemyShape, 0, sizeof enemyShape);
}

void addShot(double x, double y, double velX, double velY) {
  Shot* shot = new Shot();
  shot->x = x, shot->y = y, shot->velX = velX, shot->velY = velY;
  appendListEntry(shots, shotCount, shot);
}

// A camera within four units of a map origin that is a multiple of four, as the scroll keeps it.
void randomView() {
  mapOriginX = 4.0 * randomIn(-2000, 2000);
  mapOriginY = 4.0 * randomIn(-2000, 2000);
  cameraX = mapOriginX + (randomIn(-4000, 4000) / 1000.0);
  cameraY = mapOriginY + (randomIn(-4000, 4000) / 1000.0);
}

class RenderTest : public testing::Test {
 protected:
  void SetUp() override { std::srand(20240607); }
  void TearDown() override {
    clearEntities();
    overlayMedia = OverlayMedia{};
    for (SDL_Surface* surface : {font, textBacking1, textBacking2}) SDL_FreeSurface(surface);
    textBacking1 = textBacking2 = nullptr;
    closeTestScreen();
  }

  SDL_Surface* font = nullptr;
};

// ---- The copy to Screen ----

TEST_F(RenderTest, CopyMatchesThePlainPerPixelCopyAtEveryDepth) {
  const double strengths[] = {0.0,  0.19, 0.2,   0.25, 0.5,   1.0,    2.5,    3.7,
                              7.77, 31.9, 95.99, 96.0, 128.1, 160.01, 1000.0, 1.0e6};
  for (bool wide : {true, false}) {
    copyMayUseAvx2 = wide;
    for (int depth : {8, 16, 24, 32}) {
      ASSERT_NE(openTestScreen(depth), nullptr);
      for (int trial = 0; trial < 20; ++trial) {
        randomMask(trial % 3 == 0);
        impactEffect = trial < 16 ? strengths[trial] : randomIn(0, 20000) / 1000.0;
        copyMaskToScreen();
        const std::vector<uint8_t> fast = screenRows();
        SDL_FillRect(Screen, nullptr, 0x5A5A5A5A);
        oracleCopy();
        ASSERT_EQ(fast, screenRows())
            << depth << " bits, impactEffect " << impactEffect << (wide ? ", AVX2 allowed" : "");
      }
    }
  }
}

TEST_F(RenderTest, SplitReadsEachChannelFromItsOwnDisplacedPlace) {
  ASSERT_NE(openTestScreen(32), nullptr);
  // One white mask pixel at (100, 100): each channel lights where it reads that pixel from.
  struct Row {
    const char* name;
    double strength;
    int x, y;
    uint32_t rgb;
  };
  const Row rows[] = {
      {"at 0 the pixel is white", 0.0, 100, 100, 0xFFFFFF},
      {"at 0.19 the pixel is still white", 0.19, 100, 100, 0xFFFFFF},
      {"at 0.25 red is read one pixel left", 0.25, 101, 100, 0xFF0000},
      {"at 0.25 green is read one pixel lower", 0.25, 100, 99, 0x00FF00},
      {"at 0.25 blue is read one pixel higher", 0.25, 100, 101, 0x0000FF},
      {"at 2.5 red is read 10 left and 5 lower", 2.5, 110, 95, 0xFF0000},
      {"at 2.5 green is read 2 left and 10 lower", 2.5, 102, 90, 0x00FF00},
      {"at 2.5 blue is read 7 right and 12 higher", 2.5, 93, 112, 0x0000FF},
  };
  for (const Row& row : rows) {
    std::memset(ScreenMask, 0, sizeof ScreenMask);
    ScreenMask[100 * MASK_HEIGHT + 100] = 255;
    impactEffect = row.strength;
    copyMaskToScreen();
    EXPECT_EQ(screenRgb(row.x, row.y), row.rgb) << row.name;
    int lit = 0;
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) lit += screenRgb(x, y) != 0;
    }
    EXPECT_EQ(lit, row.rgb == 0xFFFFFF ? 1 : 3) << row.name;
  }
  // Sources beyond the edge clamp to the edge row or column: a white left column at 2.5 gives
  // red in the first 11 columns.
  std::memset(ScreenMask, 0, sizeof ScreenMask);
  std::memset(ScreenMask, 255, MASK_HEIGHT);
  impactEffect = 2.5;
  copyMaskToScreen();
  EXPECT_EQ(screenRgb(10, 300) & 0xFF0000, 0xFF0000u);
  EXPECT_EQ(screenRgb(11, 300) & 0xFF0000, 0u);
}

// ---- The mask pass ----

TEST_F(RenderTest, RockPassMatchesOneFillPerRockCell) {
  clearEntities();
  for (int trial = 0; trial < 40; ++trial) {
    const int density = randomIn(0, 4);  // from all open to all rock
    for (uint8_t& cell : WorldMap) cell = std::rand() % 4 < density ? 1 : 0;
    randomView();
    if (trial == 0) cameraX = mapOriginX = cameraY = mapOriginY = 0.0;
    if (trial == 1) cameraX = mapOriginX + 4.0, cameraY = mapOriginY - 4.0;
    // Cameras that strayed towards or past the map's edges, leaving part of the screen uncovered.
    if (trial == 2) cameraX = mapOriginX + 1900.5, cameraY = mapOriginY - 1950.25;
    if (trial == 3) cameraX = mapOriginX - 1700.0, cameraY = mapOriginY + 1800.75;
    if (trial == 4) cameraX = mapOriginX + 2500.0, cameraY = mapOriginY;
    std::memset(ScreenMask, 0x77, sizeof ScreenMask);  // last frame's leftovers
    drawGameMask();
    oracleDrawMask();
    ASSERT_EQ(std::memcmp(ScreenMask, oracleMask.data(), sizeof ScreenMask), 0)
        << "camera " << cameraX << ", " << cameraY << " origin " << mapOriginX << ", "
        << mapOriginY;
  }
}

TEST_F(RenderTest, RockCellsLandWhereTheCameraPutsThem) {
  clearEntities();
  std::memset(WorldMap, 0, sizeof WorldMap);
  WorldMap[500 * MAP_ROWS + 500] = 1;
  WorldMap[420 * MAP_ROWS + 440] = 1;
  cameraX = cameraY = mapOriginX = mapOriginY = 0.0;
  drawGameMask();
  int white = 0;
  for (int x = 0; x < 640; ++x) {
    for (int y = 0; y < 480; ++y) white += ScreenMask[x * 480 + y] != 0;
  }
  EXPECT_EQ(white, 32);
  EXPECT_EQ(ScreenMask[320 * 480 + 240], 255) << "cell (500, 500) at (320, 240)";
  EXPECT_EQ(ScreenMask[323 * 480 + 243], 255);
  EXPECT_EQ(ScreenMask[0], 255) << "cell (420, 440) at (0, 0)";
  EXPECT_EQ(ScreenMask[3 * 480 + 3], 255);
}

TEST_F(RenderTest, ShotsShipAndEnemiesMatchThePlainMaskPass) {
  if (!fillMaskRectWorks()) GTEST_SKIP() << "fillMaskRect is still a stub in this tree";
  for (int trial = 0; trial < 30; ++trial) {
    clearEntities();
    for (uint8_t& cell : WorldMap) cell = std::rand() % 5 == 0;
    randomView();
    for (uint8_t& cell : shipShape) cell = std::rand() % 2;
    for (uint8_t& cell : enemyShape) cell = std::rand() % 2;
    shipX = cameraX + randomIn(-400, 400) + 0.5;
    shipY = cameraY + randomIn(-300, 300) - 0.25;
    for (int n = randomIn(0, 30); n > 0; --n) {
      addShot(cameraX + randomIn(-400, 400) + 0.3, cameraY + randomIn(-300, 300) - 0.7,
              randomIn(-40, 40) / 1.3, randomIn(-40, 40) / 1.7);
    }
    for (int n = randomIn(0, 20); n > 0; --n) {
      Enemy* enemy = new Enemy{cameraX + randomIn(-400, 400) - 0.9,
                               cameraY + randomIn(-300, 300) + 0.9, 0.0, 0.0};
      appendListEntry(enemies, enemyCount, enemy);
    }
    drawGameMask();
    oracleDrawMask();
    ASSERT_EQ(std::memcmp(ScreenMask, oracleMask.data(), sizeof ScreenMask), 0)
        << "trial " << trial;
  }
}

TEST_F(RenderTest, AShotIsASquareWithFourMoreAlongItsLastStep) {
  if (!fillMaskRectWorks()) GTEST_SKIP() << "fillMaskRect is still a stub in this tree";
  clearEntities();
  std::memset(WorldMap, 0, sizeof WorldMap);
  cameraX = cameraY = mapOriginX = mapOriginY = 0.0;
  struct Row {
    const char* name;
    double velX;
    std::vector<int> squareLefts;
  };
  const Row rows[] = {
      {"standing still: one square", 0.0, {417}},
      {"30 a frame to the right: squares 6, 12, 18, 24 behind", 30.0, {393, 399, 405, 411, 417}},
  };
  for (const Row& row : rows) {
    clearEntities();
    addShot(100.0, 50.0, row.velX, 0.0);
    drawGameMask();
    std::vector<int> columnsLit;
    for (int x = 0; x < 640; ++x) {
      if (ScreenMask[x * 480 + 290] != 0) columnsLit.push_back(x);
    }
    std::vector<int> expected;
    for (int left : row.squareLefts) {
      for (int x = left; x < left + 6; ++x) {
        if (expected.empty() || expected.back() < x) expected.push_back(x);
      }
    }
    EXPECT_EQ(columnsLit, expected) << row.name;
  }
}

// ---- The head-up display ----

// Looks one row below the line's top: the best-score line's cells (rows 30 to 50) reach down to
// the score line's top row.
void expectText(const std::string& text, int start, int top) {
  const int y = top + 1;
  for (size_t i = 0; i < text.size(); ++i) {
    EXPECT_EQ(glyphMarkAt(screenRgb(start + GLYPH_ADVANCE * int(i), y)),
              glyphIndex(static_cast<unsigned char>(text[i])))
        << "character " << i << " of \"" << text << "\"";
  }
  EXPECT_EQ(glyphMarkAt(screenRgb(start - GLYPH_ADVANCE, y)), NO_GLYPH) << text;
  EXPECT_EQ(glyphMarkAt(screenRgb(start + GLYPH_ADVANCE * int(text.size()), y)), NO_GLYPH)
      << text;
}

SDL_Surface* solidBacking(Uint8 red, Uint8 green, Uint8 blue) {
  SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SRCALPHA, 4, 4, 32, 0x00FF0000, 0x0000FF00,
                                              0x000000FF, 0xFF000000);
  SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, red, green, blue, 255));
  return surface;
}

TEST_F(RenderTest, HudShowsBestScoreScoreAndTruncatedHealth) {
  ASSERT_NE(openTestScreen(32), nullptr);
  font = installTestFont();
  textBacking1 = solidBacking(200, 10, 10);
  textBacking2 = solidBacking(10, 200, 10);
  struct Row {
    const char* name;
    double health;
    std::string healthText;
  };
  const Row rows[] = {
      {"start of a game", 250.0, "Health = 250"},
      {"a fraction is dropped", 249.75, "Health = 249"},
      {"a half shows 0", 0.5, "Health = 0"},
      {"minus a half shows 0, not -0", -0.5, "Health = 0"},
      {"negative truncates toward zero", -4.7, "Health = -4"},
  };
  highScore = 120;
  score = 40;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SDL_FillRect(Screen, nullptr, 0);
    health = row.health;
    drawHud();
    expectText("HighScore = 120", 20, 30);
    expectText("Score     = 40", 20, 50);
    expectText(row.healthText, 620 - GLYPH_ADVANCE * int(row.healthText.size()), 432);
    EXPECT_EQ(screenRgb(2, 27), 0xC80A0Au) << "first backing's corner";
    EXPECT_EQ(screenRgb(1, 27), 0u);
    EXPECT_EQ(screenRgb(288, 430), 0x0AC80Au) << "second backing's corner";
    EXPECT_EQ(screenRgb(288, 429), 0u);
  }
}

TEST_F(RenderTest, FrameIsTheMaskPictureWithTheHudOnTop) {
  ASSERT_NE(openTestScreen(32), nullptr);
  clearEntities();
  for (int c = 0; c < MAP_COLUMNS; ++c) {
    for (int r = 0; r < MAP_ROWS; ++r) WorldMap[c * MAP_ROWS + r] = c < 500;
  }
  cameraX = cameraY = mapOriginX = mapOriginY = 0.0;
  impactEffect = 0.0;
  highScore = 0, score = 0, health = 250.0;
  // Without font or backings the picture alone: rock white, open space black, nothing else.
  drawGame();
  EXPECT_EQ(screenRgb(100, 300), 0xFFFFFFu);
  EXPECT_EQ(screenRgb(500, 300), 0u);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const uint32_t rgb = screenRgb(x, y);
      ASSERT_TRUE(rgb == 0 || rgb == 0xFFFFFF) << x << ", " << y;
    }
  }
  font = installTestFont();
  drawGame();
  expectText("HighScore = 0", 20, 30);
  expectText("Health = 250", 620 - 12 * GLYPH_ADVANCE, 432);
  EXPECT_EQ(screenRgb(20, 29), 0xFFFFFFu) << "rock around the text";
}

}  // namespace
