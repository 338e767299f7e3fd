// tests/overlay/images_test.cpp -- image loading: the cyan key, missing and damaged files (PNGs
// whose chunks run past their end never reach SDL_image), and keyed images drawn by their runs
// exactly as SDL draws them.
#include "overlay/images.h"

#include "app/screen.h"
#include "overlay/overlay_media.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include <unistd.h>

namespace {

// A PNG chunk claiming `length` bytes of data; its CRC is left wrong (zeros), as damage leaves it.
std::string chunk(const std::string& type, const std::string& data, uint32_t length) {
  return std::string{char(length >> 24), char(length >> 16), char(length >> 8), char(length)} +
         type + data + std::string(4, '\0');
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
      {"16-bit display: (0, 255, 254) converts to cyan's value and is left out", 16, 0xFF0000},
  };
  const std::string path = makeTempDir() + "/keyed.bmp";
  SDL_Surface* row3 = SDL_CreateRGBSurface(0, 3, 1, 24, 0xFF0000, 0xFF00, 0xFF, 0);
  const uint32_t colours[] = {0x00FFFF, 0x00FFFE, 0xFFFFFF};
  for (int x = 0; x < 3; ++x) PixelGrid(row3).write(x, 0, colours[x]);
  ASSERT_EQ(SDL_SaveBMP(row3, path.c_str()), 0);
  SDL_FreeSurface(row3);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    openTestScreen(row.displayBits);
    SDL_Surface* image = loadKeyedImage(path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->flags & (SDL_SRCCOLORKEY | SDL_RLEACCELOK | SDL_SRCALPHA),
              Uint32(SDL_SRCCOLORKEY));
    EXPECT_EQ(image->format->BitsPerPixel, row.displayBits) << "converted to the display";
    overlay_media::paintScreen(0xFF0000);
    drawKeyedImage(image, findOpaqueRuns(image), 10, 20);
    EXPECT_EQ(screenRgb(10, 20), 0xFF0000u) << "cyan is left out";
    EXPECT_EQ(screenRgb(11, 20), row.nearCyanOnScreen);
    EXPECT_EQ(screenRgb(12, 20), 0xFFFFFFu);
    SDL_FreeSurface(image);
    closeTestScreen();
  }
  std::filesystem::remove_all(std::filesystem::path(path).parent_path());
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
    SDL_Surface* display = Screen;
    // The last screen is of another format than the image's: its pixels cannot be copied.
    SDL_Surface* blueFirst =
        SDL_CreateRGBSurface(SDL_SWSURFACE, SCREEN_WIDTH, SCREEN_HEIGHT, 32, 0xFF, 0xFF00,
                             0xFF0000, 0);
    for (SDL_Surface* screen : {display, blueFirst}) {
      Screen = screen;
      for (const Place& place : places) {
        fillScreenWithNoise(uint32_t(place.x));
        SDL_Rect at{Sint16(place.x), Sint16(place.y), 0, 0};
        SDL_UpperBlit(image, nullptr, Screen, &at);
        const std::vector<uint32_t> bySdl = screenValues();
        fillScreenWithNoise(uint32_t(place.x));
        drawKeyedImage(image, runs, place.x, place.y);
        EXPECT_TRUE(screenValues() == bySdl)
            << depth << " bits, " << place.name << (screen == blueFirst ? ", blue first" : "");
      }
    }
    Screen = display;
    SDL_FreeSurface(blueFirst);
    SDL_FreeSurface(image);
    closeTestScreen();
  }
}

TEST(ImageLoading, RefusesMissingAndUndecodableFilesAndPngsWhoseChunksRunPastTheirEnd) {
  const std::string png = readFileBytes(sourceDir() + "/Media/Orvane/Border.png");
  const std::string header = png.substr(0, 33);  // signature and IHDR
  struct Row {
    const char* name;
    std::string bytes;
    bool safe;
  };
  const Row rows[] = {
      {"a whole PNG", png, true},
      {"a whole PNG with bytes after IEND", png + "trailing", true},
      {"a BMP is left to SDL_image", readFileBytes(sourceDir() + "/Media/Game/ship.bmp"), true},
      {"bytes of no known kind are left to SDL_image", "not an image at all", true},
      {"a PNG cut in half", png.substr(0, png.size() / 2), false},
      {"a PNG cut just before its IEND", png.substr(0, png.size() - 12), false},
      // What the fuzzer found: an ancillary chunk claiming 8 MB in a file of two hundred bytes.
      {"a chunk claiming more bytes than the file holds",
       header + chunk("gAMA", std::string(4, '\0'), 0x00800004u), false},
      {"an IEND claiming data past the end",
       png.substr(0, png.size() - 12) + chunk("IEND", "", 100), false},
      {"a PNG of its signature alone", png.substr(0, 8), false},
      {"the PNG magic with a damaged rest of the signature",
       "\x89PNG\r\n\x1a\x0b" + png.substr(8), false},
  };
  for (const Row& row : rows) {
    SDL_RWops* source = SDL_RWFromConstMem(row.bytes.data(), int(row.bytes.size()));
    EXPECT_EQ(safeToDecode(source), row.safe) << row.name;
    EXPECT_EQ(SDL_RWtell(source), 0) << row.name << ": the read position must stay";
    SDL_RWclose(source);
  }

  openTestScreen(32);
  const std::string dir = makeTempDir();
  writeFileBytes(dir + "/garbage.png", "no picture here");
  // Without the guard SDL_image never returns from the runaway chunk: end the test instead.
  writeFileBytes(dir + "/runaway.png", header + chunk("gAMA", std::string(4, '\0'), 0x1000u));
  alarm(20);
  for (const char* name : {"/missing.png", "/garbage.png", "/runaway.png"}) {
    EXPECT_EQ(loadKeyedImage((dir + name).c_str()), nullptr) << name;
    EXPECT_EQ(loadAlphaImage((dir + name).c_str()), nullptr) << name;
  }
  alarm(0);
  std::filesystem::remove_all(dir);
  closeTestScreen();
}
