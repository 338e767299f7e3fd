// tests/overlay/images_test.cpp -- image loading: the cyan key, missing and damaged files (PNGs
// whose chunks run past their end never reach SDL_image), the media without files, and keyed
// images drawn by their runs exactly as SDL draws them.
#include "overlay/images.h"

#include "app/screen.h"
#include "overlay/overlay_media.h"
#include "platform/pixels.h"
#include "support/test_screen.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include <unistd.h>

namespace {

constexpr uint32_t RED = 0xFF0000;
constexpr unsigned HANG_LIMIT_SECONDS = 20;  // a load that has not ended by then never will

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A PNG chunk claiming `length` bytes of data; its CRC is left wrong (zeros), as damage leaves it.
std::string chunk(const std::string& type, const std::string& data, uint32_t length) {
  const std::string claimed = {char(length >> 24), char(length >> 16), char(length >> 8),
                               char(length)};
  return claimed + type + data + std::string(4, '\0');
}

bool safe(const std::string& bytes) {
  SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
  const bool result = safeToDecode(source);
  EXPECT_EQ(SDL_RWtell(source), 0) << "the read position must be left where it was";
  SDL_RWclose(source);
  return result;
}

// A 24-bit BMP of one row, written with SDL_SaveBMP; colours are 0xRRGGBB.
void writeRowBmp(const std::string& path, std::initializer_list<uint32_t> colours) {
  SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, int(colours.size()), 1, 24,
                                              0x00FF0000, 0x0000FF00, 0x000000FF, 0);
  int x = 0;
  for (uint32_t colour : colours) writePixel(surface, x++, 0, colour);
  EXPECT_EQ(SDL_SaveBMP(surface, path.c_str()), 0);
  SDL_FreeSurface(surface);
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
    overlay_media::paintScreen(RED);
    drawKeyedImage(image, findOpaqueRuns(image), 10, 20);
    EXPECT_EQ(screenRgb(10, 20), RED) << "cyan is left out";
    EXPECT_EQ(screenRgb(11, 20), row.nearCyanOnScreen);
    EXPECT_EQ(screenRgb(12, 20), 0xFFFFFFu);
    SDL_FreeSurface(image);
    closeTestScreen();
  }
  std::filesystem::remove_all(folder);
}

TEST(ImageLoading, KeyedImageDrawnByItsRunsIsWhatSdlDraws) {
  struct Place {
    const char* name;
    int x, y;
  };
  const Place places[] = {
      {"inside", 37, 121},           {"over the left edge", -50, 10},
      {"over the top edge", 5, -70}, {"over the right edge", 600, 300},
      {"over the bottom edge", 0, 419}, {"wholly below", 0, 500}, {"wholly left", -700, 0},
  };
  for (const int depth : {32, 24, 16, 8}) {
    openTestScreen(depth);
    std::mt19937 random{uint32_t(depth)};
    // Mostly cyan, with single pixels and runs of colours, black among them.
    SDL_Surface* image = overlay_media::paintedImage(200, 90, true, [&](int, int) {
      const uint32_t roll = random() % 10;
      return roll < 6 ? overlay_media::CYAN : roll == 6 ? 0 : uint32_t(random() & 0xFFFFFF);
    });
    const OpaqueRuns runs = findOpaqueRuns(image);
    for (const Place& place : places) {
      SCOPED_TRACE(testing::Message() << depth << " bits, " << place.name);
      fillScreenWithNoise(uint32_t(place.x));
      SDL_Rect at{Sint16(place.x), Sint16(place.y), 0, 0};
      SDL_UpperBlit(image, nullptr, Screen, &at);
      const std::vector<uint32_t> bySdl = screenValues();
      fillScreenWithNoise(uint32_t(place.x));
      drawKeyedImage(image, runs, place.x, place.y);
      EXPECT_TRUE(screenValues() == bySdl);
    }
    SDL_FreeSurface(image);
    closeTestScreen();
  }
}

TEST(ImageLoading, MissingOrUndecodableFileGivesNull) {
  openTestScreen(32);
  const std::string folder = makeTempDir();
  writeBytes(folder + "/garbage.png", "no picture here");
  for (const std::string& path : {folder + "/missing.png", folder + "/garbage.png"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(loadKeyedImage(path.c_str()), nullptr);
    EXPECT_EQ(loadAlphaImage(path.c_str()), nullptr);
  }
  std::filesystem::remove_all(folder);
  closeTestScreen();
}

TEST(ImageLoading, RefusesExactlyThePngsWhoseChunksRunPastTheirEnd) {
  const std::string png = readBytes(sourceDir() + "/Media/Orvane/Border.png");
  const std::string bmp = readBytes(sourceDir() + "/Media/Game/ship.bmp");
  ASSERT_GT(png.size(), 40u);
  const std::string header = png.substr(0, 33);  // signature and IHDR
  struct Row {
    const char* name;
    std::string bytes;
    bool safe;
  };
  const Row rows[] = {
      {"a whole PNG", png, true},
      {"a whole PNG with bytes after IEND", png + "trailing", true},
      {"a BMP is left to SDL_image", bmp, true},
      {"bytes of no known kind are left to SDL_image", "not an image at all", true},
      {"a PNG cut in half", png.substr(0, png.size() / 2), false},
      {"a PNG cut just before its IEND", png.substr(0, png.size() - 12), false},
      // What the fuzzer found: an ancillary chunk claiming 8 MB in a file of two hundred bytes.
      {"a chunk claiming more bytes than the file holds",
       header + chunk("gAMA", std::string(4, '\0'), 0x00800004u), false},
      {"a PNG of its signature alone", png.substr(0, 8), false},
      {"the PNG magic with a damaged rest of the signature",
       "\x89PNG\r\n\x1a\x0b" + png.substr(8), false},
  };
  for (const Row& row : rows) EXPECT_EQ(safe(row.bytes), row.safe) << row.name;

  // Without the guard SDL_image never returns from the damaged file: end the test instead.
  alarm(HANG_LIMIT_SECONDS);
  const std::string dir = makeTempDir();
  writeBytes(dir + "/runaway.png", header + chunk("gAMA", std::string(4, '\0'), 0x1000u));
  EXPECT_EQ(loadImage((dir + "/runaway.png").c_str()), nullptr);
  alarm(0);
  std::filesystem::remove_all(dir);
}

TEST(OverlayMedia, WithoutFilesTheWorkSurfacesStillExist) {
  openTestScreen(32);
  const std::string folder = makeTempDir();
  {
    ScopedWorkingDir cwd(folder);
    loadOverlayMedia();
  }
  std::filesystem::remove_all(folder);
  for (SDL_Surface* work : {overlayMedia.snapshotSurface, overlayMedia.backdropSurface}) {
    ASSERT_NE(work, nullptr);
    EXPECT_EQ(work->w, SCREEN_WIDTH);
    EXPECT_EQ(work->h, SCREEN_HEIGHT);
    EXPECT_EQ(work->format->BitsPerPixel, Screen->format->BitsPerPixel);
  }
  for (SDL_Surface* image : {overlayMedia.fontSurface, overlayMedia.buttonSurface,
                             overlayMedia.borderSurface, overlayMedia.topBottomBorderSurface,
                             overlayMedia.cursorSurface})
    EXPECT_EQ(image, nullptr);
  EXPECT_TRUE(overlayMedia.borderRuns.empty());
  closeTestScreen();
}
