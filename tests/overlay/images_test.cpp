// tests/overlay/images_test.cpp -- keyed and alpha image loading, the overlay media's tables
// and work surfaces, and the layouts of the committed overlay images.
#include "overlay/images.h"

#include "app/screen.h"
#include "platform/pixels.h"
#include "support/test_screen.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr uint32_t RED = 0xFF0000;

struct Rgba {
  Uint8 r, g, b, a;
};

Rgba rgbaAt(SDL_Surface* surface, int x, int y) {
  Rgba c{};
  SDL_GetRGBA(readPixel(surface, x, y), surface->format, &c.r, &c.g, &c.b, &c.a);
  return c;
}

bool isKey(SDL_Surface* surface, int x, int y) {
  return readPixel(surface, x, y) == surface->format->colorkey;
}

// A 24-bit BMP of one row, written with SDL_SaveBMP; colours are 0xRRGGBB.
void writeRowBmp(const std::string& path, std::initializer_list<uint32_t> colours) {
  SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, int(colours.size()), 1, 24,
                                              0x00FF0000, 0x0000FF00, 0x000000FF, 0);
  ASSERT_NE(surface, nullptr);
  int x = 0;
  for (uint32_t colour : colours) writePixel(surface, x++, 0, colour);
  ASSERT_EQ(SDL_SaveBMP(surface, path.c_str()), 0);
  SDL_FreeSurface(surface);
}

void fillScreen(uint32_t rgb) {
  SDL_FillRect(Screen, nullptr,
               SDL_MapRGB(Screen->format, Uint8(rgb >> 16), Uint8(rgb >> 8), Uint8(rgb)));
}

}  // namespace

TEST(ImageLoading, KeyedImageLeavesOutExactlyWhatConvertsToCyan) {
  struct Row {
    const char* name;
    int displayBits;
    uint32_t nearCyanOnScreen;  // what (0, 255, 254) leaves at its place over red
  };
  const Row rows[] = {
      {"32-bit display: (0, 255, 254) is drawn", 32, 0x00FFFE},
      {"24-bit display: (0, 255, 254) is drawn", 24, 0x00FFFE},
      {"16-bit display: (0, 255, 254) converts to cyan's value and is left out", 16, RED},
  };
  const std::string folder = makeTempDir();
  const std::string path = folder + "/keyed.bmp";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    openTestScreen(row.displayBits);
    writeRowBmp(path, {0x00FFFF, 0x00FFFE, 0xFFFFFF});
    SDL_Surface* image = loadKeyedImage(path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->flags & (SDL_SRCCOLORKEY | SDL_RLEACCELOK | SDL_SRCALPHA),
              Uint32(SDL_SRCCOLORKEY));
    EXPECT_EQ(image->format->BitsPerPixel, row.displayBits) << "converted to the display";
    fillScreen(RED);
    SDL_Rect at{10, 20, 0, 0};
    SDL_BlitSurface(image, nullptr, Screen, &at);
    EXPECT_EQ(screenRgb(10, 20), RED) << "cyan is left out";
    EXPECT_EQ(screenRgb(11, 20), row.nearCyanOnScreen);
    EXPECT_EQ(screenRgb(12, 20), 0xFFFFFFu);
    SDL_FreeSurface(image);
    closeTestScreen();
  }
  std::filesystem::remove_all(folder);
}

TEST(ImageLoading, MissingOrUndecodableFileGivesNull) {
  openTestScreen(32);
  const std::string folder = makeTempDir();
  const std::string garbage = folder + "/garbage.png";
  FILE* file = std::fopen(garbage.c_str(), "wb");
  std::fputs("no picture here", file);
  std::fclose(file);
  for (const std::string& path : {folder + "/missing.png", garbage}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(loadKeyedImage(path.c_str()), nullptr);
    EXPECT_EQ(loadAlphaImage(path.c_str()), nullptr);
  }
  std::filesystem::remove_all(folder);
  closeTestScreen();
}

TEST(OverlayMedia, WithoutFilesTheTablesAndWorkSurfacesStillExist) {
  openTestScreen(32);
  const std::string folder = makeTempDir();
  {
    ScopedWorkingDir cwd(folder);
    loadOverlayMedia();
  }
  std::filesystem::remove_all(folder);
  for (SDL_Surface* work : {overlayMedia.snapshotSurface, overlayMedia.backdropSurface}) {
    ASSERT_NE(work, nullptr);
    EXPECT_EQ(work->w, 640);
    EXPECT_EQ(work->h, 480);
    EXPECT_EQ(work->format->BitsPerPixel, Screen->format->BitsPerPixel);
  }
  EXPECT_EQ(overlayMedia.fontSurface, nullptr);
  EXPECT_EQ(overlayMedia.buttonSurface, nullptr);
  EXPECT_EQ(overlayMedia.borderSurface, nullptr);
  EXPECT_EQ(overlayMedia.topBottomBorderSurface, nullptr);
  EXPECT_EQ(overlayMedia.cursorSurface, nullptr);

  struct Row {
    const char* name;
    SDL_Rect actual;
    SDL_Rect expected;
  };
  const Row rows[] = {
      {"glyph 0, the blank", overlayMedia.glyphRects[0], {0, 0, 15, 21}},
      {"glyph 1, '!'", overlayMedia.glyphRects[1], {15, 0, 15, 21}},
      {"glyph 94, '~'", overlayMedia.glyphRects[94], {1410, 0, 15, 21}},
      {"tile 1, row 0 column 1", overlayMedia.buttonTileRects[1], {21, 0, 21, 21}},
      {"tile 8, row 0 fill", overlayMedia.buttonTileRects[8], {168, 0, 21, 21}},
      {"tile 9, row 1 column 0", overlayMedia.buttonTileRects[9], {0, 21, 21, 21}},
      {"tile 17, row 1 fill", overlayMedia.buttonTileRects[17], {168, 21, 21, 21}},
      {"pointer cell", overlayMedia.cursorRect, {288, 0, 96, 96}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.actual.x, row.expected.x) << row.name;
    EXPECT_EQ(row.actual.y, row.expected.y) << row.name;
    EXPECT_EQ(row.actual.w, row.expected.w) << row.name;
    EXPECT_EQ(row.actual.h, row.expected.h) << row.name;
  }
  closeTestScreen();
}

namespace {

// An alpha image at least width by height, loaded, with both clear and opaque pixels: the file
// carries per-pixel alpha.
testing::AssertionResult isAlphaSheet(SDL_Surface* sheet, int width, int height) {
  if (sheet == nullptr) return testing::AssertionFailure() << "not loaded";
  if (sheet->w < width || sheet->h < height) {
    return testing::AssertionFailure() << "only " << sheet->w << " by " << sheet->h;
  }
  const SurfacePixelLock lock(sheet);
  if (!lock.ok) return testing::AssertionFailure() << "cannot be locked";
  bool clear = false, opaque = false;
  for (int y = 0; y < sheet->h; ++y) {
    for (int x = 0; x < sheet->w; ++x) {
      const Uint8 alpha = rgbaAt(sheet, x, y).a;
      clear = clear || alpha == 0;
      opaque = opaque || alpha == 255;
    }
  }
  if (!clear || !opaque) return testing::AssertionFailure() << "no per-pixel alpha";
  return testing::AssertionSuccess();
}

// Loads the committed overlay media on a 32-bit display.
class CommittedOverlayMedia : public testing::Test {
 protected:
  void SetUp() override {
    openTestScreen(32);
    ScopedWorkingDir cwd(sourceDir());
    loadOverlayMedia();
  }
  void TearDown() override { closeTestScreen(); }
};

}  // namespace

TEST_F(CommittedOverlayMedia, EveryPrintableGlyphHasOutlinedInkWithinItsAdvance) {
  SDL_Surface* font = overlayMedia.fontSurface;
  ASSERT_TRUE(isAlphaSheet(font, 95 * 15, 21));
  const SurfacePixelLock lock(font);
  ASSERT_TRUE(lock.ok);
  constexpr int ADVANCE = 11;
  for (int cell = 0; cell < 95; ++cell) {
    const char character = char(32 + cell);
    int white = 0, black = 0, whiteBeyondAdvance = 0, inkAnywhere = 0;
    for (int y = 0; y < 21; ++y) {
      for (int x = 0; x < 15; ++x) {
        const Rgba c = rgbaAt(font, cell * 15 + x, y);
        inkAnywhere += c.a > 0;
        if (c.a != 255) continue;
        const bool isWhite = c.r == 255 && c.g == 255 && c.b == 255;
        white += isWhite;
        black += c.r == 0 && c.g == 0 && c.b == 0;
        whiteBeyondAdvance += isWhite && x >= ADVANCE;
      }
    }
    if (cell == 0) {
      EXPECT_EQ(inkAnywhere, 0) << "the blank is empty";
      continue;
    }
    EXPECT_GT(white, 0) << "white ink in '" << character << "'";
    EXPECT_GT(black, 0) << "black outline in '" << character << "'";
    // The next character starts 11 pixels on with its outline, blended over this cell.
    EXPECT_EQ(whiteBeyondAdvance, 0)
        << "'" << character << "' has ink past the 11-pixel advance, under its neighbour";
  }
}

TEST_F(CommittedOverlayMedia, ButtonTilesJoinAndRepeatWithoutSeams) {
  SDL_Surface* sheet = overlayMedia.buttonSurface;
  ASSERT_TRUE(isAlphaSheet(sheet, 189, 42));
  const SurfacePixelLock lock(sheet);
  ASSERT_TRUE(lock.ok);
  auto pixel = [&](int row, int column, int x, int y) {
    return readPixel(sheet, column * 21 + x, row * 21 + y);
  };
  // Column x of tile (row, a) against column y of tile (row, b), over `height` rows.
  auto sameColumn = [&](int row, int a, int xa, int b, int xb, int height) {
    for (int y = 0; y < height; ++y) {
      if (pixel(row, a, xa, y) != pixel(row, b, xb, y)) return false;
    }
    return true;
  };
  enum { TOP_LEFT, BOTTOM_LEFT, TOP_RIGHT, BOTTOM_RIGHT, BOTTOM, RIGHT, TOP, LEFT, FILL };
  for (int row = 0; row < 2; ++row) {
    SCOPED_TRACE(row == 0 ? "normal row" : "highlighted row");
    // The repeated tiles are the same in every column: any 21 or 6 of them join.
    for (int x = 1; x < 21; ++x) {
      EXPECT_TRUE(sameColumn(row, TOP, 0, TOP, x, 21)) << "top edge column " << x;
      EXPECT_TRUE(sameColumn(row, BOTTOM, 0, BOTTOM, x, 21)) << "bottom edge column " << x;
      EXPECT_TRUE(sameColumn(row, FILL, 0, FILL, x, 15)) << "fill column " << x;
    }
    EXPECT_TRUE(sameColumn(row, TOP_LEFT, 20, TOP, 0, 21)) << "top-left corner to top edge";
    EXPECT_TRUE(sameColumn(row, TOP, 20, TOP_RIGHT, 0, 21)) << "top edge to top-right corner";
    EXPECT_TRUE(sameColumn(row, BOTTOM_LEFT, 20, BOTTOM, 0, 21)) << "bottom-left to bottom";
    EXPECT_TRUE(sameColumn(row, BOTTOM, 20, BOTTOM_RIGHT, 0, 21)) << "bottom to bottom-right";
    EXPECT_TRUE(sameColumn(row, LEFT, 20, FILL, 0, 15)) << "left edge to fill";
    EXPECT_TRUE(sameColumn(row, FILL, 20, RIGHT, 0, 15)) << "fill to right edge";
  }
  int differences = 0;
  for (int y = 0; y < 21; ++y) {
    for (int x = 0; x < 189; ++x) differences += readPixel(sheet, x, y) != readPixel(sheet, x, y + 21);
  }
  EXPECT_GT(differences, 0) << "the highlighted row looks different";
}

TEST_F(CommittedOverlayMedia, BorderIsASlimKeyedFrame) {
  SDL_Surface* border = overlayMedia.borderSurface;
  ASSERT_NE(border, nullptr);
  ASSERT_EQ(border->w, 640);
  ASSERT_EQ(border->h, 480);
  EXPECT_TRUE(border->flags & SDL_SRCCOLORKEY);
  const SurfacePixelLock lock(border);
  ASSERT_TRUE(lock.ok);
  constexpr int SLIM = 8;  // the frame stays within this many pixels of the screen's edge
  int framePixels = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const bool inside = x >= SLIM && y >= SLIM && x < 640 - SLIM && y < 480 - SLIM;
      if (inside) {
        ASSERT_TRUE(isKey(border, x, y)) << "the picture shows through at " << x << "," << y;
      }
      const bool edge = x == 0 || y == 0 || x == 639 || y == 479;
      if (edge) framePixels += !isKey(border, x, y);
    }
  }
  EXPECT_EQ(framePixels, 2 * 640 + 2 * 478) << "the frame runs along all four edges";
}

TEST_F(CommittedOverlayMedia, BandsLieBehindTheirTextAndClearOfTheButtons) {
  SDL_Surface* band = overlayMedia.topBottomBorderSurface;
  ASSERT_NE(band, nullptr);
  EXPECT_TRUE(band->flags & SDL_SRCCOLORKEY);
  ASSERT_GE(band->w, 640);
  const SurfacePixelLock lock(band);
  ASSERT_TRUE(lock.ok);
  constexpr int TOP_Y = -70;     // where the clock draws the band at full fade, at the top
  constexpr int BOTTOM_Y = 419;  // and at the bottom
  // Screen areas, inclusive, that the band must cover (its text) or leave (the buttons).
  struct Area {
    const char* name;
    int bandY;
    int left, top, right, bottom;
    bool covered;
  };
  const Area areas[] = {
      {"the longest date line, right-aligned at 620, y 18", TOP_Y, 620 - 29 * 11, 18, 623, 38,
       true},
      {"the time line, right-aligned at 620, y 38", TOP_Y, 620 - 11 * 11, 38, 623, 58, true},
      {"a credit line of 33 characters from (20, 442)", BOTTOM_Y, 20, 442, 20 + 33 * 11 + 3, 462,
       true},
      {"the \"Resume game\" button at y 115", TOP_Y, 149, 87, 490, 143, false},
  };
  for (const Area& area : areas) {
    SCOPED_TRACE(area.name);
    for (int y = area.top; y <= area.bottom; ++y) {
      const int bandRow = y - area.bandY;
      for (int x = area.left; x <= area.right; ++x) {
        const bool drawn = bandRow >= 0 && bandRow < band->h && !isKey(band, x, bandRow);
        ASSERT_EQ(drawn, area.covered) << "screen " << x << "," << y;
      }
    }
  }
}

TEST_F(CommittedOverlayMedia, ReticleIsCentredOnThePointerCell) {
  SDL_Surface* cursor = overlayMedia.cursorSurface;
  ASSERT_TRUE(isAlphaSheet(cursor, 384, 96));
  const SurfacePixelLock lock(cursor);
  ASSERT_TRUE(lock.ok);
  constexpr int CELL_X = 288, HOT = 48;
  auto alpha = [&](int x, int y) { return rgbaAt(cursor, CELL_X + x, y).a; };
  EXPECT_EQ(alpha(HOT, HOT), 255) << "the hot spot is drawn";
  int ink = 0;
  for (int d = 0; d < 96; ++d) {
    EXPECT_EQ(alpha(d, 0), 0) << "row 0 is clear, " << d;
    EXPECT_EQ(alpha(0, d), 0) << "column 0 is clear, " << d;
  }
  // Mirror-symmetric about pixel (48, 48) on both axes: the hot spot is the reticle's centre.
  for (int y = 1; y < 96; ++y) {
    for (int x = 1; x < 96; ++x) {
      ink += alpha(x, y) > 0;
      ASSERT_EQ(alpha(x, y), alpha(2 * HOT - x, y)) << x << "," << y;
      ASSERT_EQ(alpha(x, y), alpha(x, 2 * HOT - y)) << x << "," << y;
    }
  }
  EXPECT_GT(ink, 100);
}
