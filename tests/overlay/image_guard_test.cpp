// tests/overlay/image_guard_test.cpp -- PNG files whose chunks run past their end are not handed
// to SDL_image, whose PNG reader would otherwise loop for ever on some of them.
#include "overlay/images.h"

#include "support/test_screen.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace {

constexpr unsigned HANG_LIMIT_SECONDS = 20;  // a load that has not ended by then never will

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string bigEndian(uint32_t value) {
  return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

// A chunk with the given type and data; the CRC is left wrong on purpose (zeros), as damage
// would leave it.
std::string chunk(const std::string& type, const std::string& data, uint32_t claimedLength) {
  return bigEndian(claimedLength) + type + data + std::string(4, '\0');
}

bool safe(const std::string& bytes) {
  SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
  const bool result = safeToDecode(source);
  const int position = SDL_RWtell(source);
  SDL_RWclose(source);
  EXPECT_EQ(position, 0) << "the read position must be left where it was";
  return result;
}

}  // namespace

TEST(ImageGuard, RefusesExactlyThePngsWhoseChunksRunPastTheirEnd) {
  const std::string png = readBytes(sourceDir() + "/Media/Orvane/Border.png");
  const std::string bmp = readBytes(sourceDir() + "/Media/Game/ship.bmp");
  ASSERT_GT(png.size(), 40u);
  const std::string signature = png.substr(0, 8);
  const std::string header = png.substr(0, 33);  // signature and IHDR
  // What the fuzzer found: an ancillary chunk claiming 8 MB in a file of two hundred bytes.
  const std::string runaway = header + chunk("gAMA", std::string(4, '\0'), 0x00800004u);
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
      {"a chunk claiming more bytes than the file holds", runaway, false},
      {"a PNG of its signature alone", signature, false},
      {"the PNG magic with a damaged rest of the signature", "\x89PNG\r\n\x1a\x0b" +
                                                                 png.substr(8), false},
  };
  for (const Row& row : rows) EXPECT_EQ(safe(row.bytes), row.safe) << row.name;
}

TEST(ImageGuard, LoadImageReturnsNullForARunawayPngAndLoadsWholeOnes) {
  // Without the guard SDL_image never returns from the damaged file: end the test instead.
  alarm(HANG_LIMIT_SECONDS);
  const std::string dir = makeTempDir();
  const std::string png = readBytes(sourceDir() + "/Media/Orvane/Border.png");
  writeBytes(dir + "/whole.png", png);
  // An ancillary chunk that claims 4 KB more than the file holds.
  writeBytes(dir + "/runaway.png",
             png.substr(0, 33) + chunk("gAMA", std::string(4, '\0'), 0x1000u));

  SDL_Surface* whole = loadImage((dir + "/whole.png").c_str());
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(whole->w, 640);
  SDL_FreeSurface(whole);
  EXPECT_EQ(loadImage((dir + "/runaway.png").c_str()), nullptr);
  EXPECT_EQ(loadImage((dir + "/missing.png").c_str()), nullptr);
  alarm(0);
  std::filesystem::remove_all(dir);
}
