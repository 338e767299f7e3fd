// tests/platform/image_file_test.cpp -- our image reader against the real SDL_image: for PNGs of
// every colour type and depth and BMPs of 1 to 32 bits, the same surface, byte for byte.
#include "platform/image_file.h"

#include "tests/support/test_screen.h"

#include <SDL_image.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Odd sizes, so that rows end mid-byte for small samples and surface rows carry padding.
constexpr int IMAGE_WIDTH = 13;
constexpr int IMAGE_HEIGHT = 7;
constexpr unsigned RANDOM_SEED = 20240607;

// A PNG to write: header fields, optional palette entries and tRNS chunk.
struct PngCase {
  const char* name;
  int colourType;
  int bitDepth;
  int paletteSize;            // entries, for colour type PALETTE
  std::vector<uint8_t> tRNS;  // palette alphas, or empty
  bool transparentColour;     // a tRNS colour (grey or RGB types)
  bool interlaced;
};

int channelsOf(int colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB:
      return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return 4;
    default:
      return 1;
  }
}

// A random sample of `bits` bits; palette indices stay below `limit`.
unsigned randomSample(int bits, int limit) {
  const unsigned value = unsigned(std::rand()) & ((1u << bits) - 1);
  return limit > 0 ? value % unsigned(limit) : value;
}

void writePng(const std::string& path, const PngCase& test) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  ASSERT_EQ(setjmp(png_jmpbuf(png)), 0) << "libpng refused " << test.name;
  png_init_io(png, file);
  png_set_IHDR(png, info, IMAGE_WIDTH, IMAGE_HEIGHT, test.bitDepth, test.colourType,
               test.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette(size_t(test.paletteSize));
  for (png_color& entry : palette) {
    entry = {png_byte(std::rand()), png_byte(std::rand()), png_byte(std::rand())};
  }
  if (test.colourType == PNG_COLOR_TYPE_PALETTE) {
    png_set_PLTE(png, info, palette.data(), test.paletteSize);
  }
  png_color_16 transparent{};
  const int sampleMax = (1 << test.bitDepth) - 1;
  // A transparent value with bits above the low byte, to show which byte the colour key keeps.
  transparent.gray = png_uint_16(sampleMax & 0x0155);
  transparent.red = png_uint_16(sampleMax & 0x0312);
  transparent.green = png_uint_16(sampleMax & 0x0234);
  transparent.blue = png_uint_16(sampleMax & 0x0156);
  if (!test.tRNS.empty()) {
    png_set_tRNS(png, info, test.tRNS.data(), int(test.tRNS.size()), nullptr);
  } else if (test.transparentColour) {
    png_set_tRNS(png, info, nullptr, 0, &transparent);
  }
  png_write_info(png, info);

  const int samplesPerRow = IMAGE_WIDTH * channelsOf(test.colourType);
  const size_t rowBytes = (size_t(samplesPerRow) * size_t(test.bitDepth) + 7) / 8;
  std::vector<std::vector<uint8_t>> rows(IMAGE_HEIGHT, std::vector<uint8_t>(rowBytes));
  for (int y = 0; y < IMAGE_HEIGHT; y++) {
    for (int s = 0; s < samplesPerRow; s++) {
      unsigned sample = randomSample(test.bitDepth, test.paletteSize);
      // Some pixels take the transparent value itself, so the colour key meets real pixels.
      if (test.transparentColour && s % 5 == 0 && channelsOf(test.colourType) == 1) {
        sample = transparent.gray;
      }
      if (test.bitDepth == 16) {
        rows[y][2 * s] = uint8_t(sample >> 8);
        rows[y][2 * s + 1] = uint8_t(sample);
      } else {
        const int bit = s * test.bitDepth;
        rows[y][bit / 8] |= uint8_t(sample << (8 - test.bitDepth - bit % 8));
      }
    }
  }
  std::vector<png_bytep> rowPointers;
  for (auto& row : rows) rowPointers.push_back(row.data());
  png_write_image(png, rowPointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

void appendLittle(std::vector<uint8_t>& bytes, uint32_t value, int count) {
  for (int i = 0; i < count; i++) bytes.push_back(uint8_t(value >> (8 * i)));
}

// A BMP to write: bits a pixel, and bit fields (compression 3) when masks are given.
struct BmpCase {
  const char* name;
  int bitsPerPixel;
  uint32_t masks[4];  // red, green, blue, alpha; all zero for plain BI_RGB
  bool topDown;
  uint32_t headerBytes;  // 40, or 108 for the longer header with the four masks inside
  uint32_t gapBytes;     // unused bytes between the header (and palette) and the pixels
};

void writeBmp(const std::string& path, const BmpCase& test) {
  constexpr uint32_t FILE_HEADER_BYTES = 14;
  constexpr uint32_t INFO_HEADER_BYTES = 40;
  constexpr uint32_t BI_RGB = 0;
  constexpr uint32_t BI_BITFIELDS = 3;
  const bool bitFields = test.masks[0] != 0;
  const bool masksInHeader = test.headerBytes > INFO_HEADER_BYTES;
  const uint32_t paletteEntries = test.bitsPerPixel <= 8 ? 1u << test.bitsPerPixel : 0;
  const uint32_t extraBytes = test.headerBytes - INFO_HEADER_BYTES + paletteEntries * 4 +
                              (bitFields && !masksInHeader ? 12 : 0) + test.gapBytes;
  const uint32_t rowBytes = (uint32_t(IMAGE_WIDTH * test.bitsPerPixel) + 31) / 32 * 4;
  const uint32_t dataOffset = FILE_HEADER_BYTES + INFO_HEADER_BYTES + extraBytes;

  std::vector<uint8_t> bytes = {'B', 'M'};
  appendLittle(bytes, dataOffset + rowBytes * IMAGE_HEIGHT, 4);
  appendLittle(bytes, 0, 4);
  appendLittle(bytes, dataOffset, 4);
  appendLittle(bytes, test.headerBytes, 4);
  appendLittle(bytes, IMAGE_WIDTH, 4);
  appendLittle(bytes, uint32_t(test.topDown ? -IMAGE_HEIGHT : IMAGE_HEIGHT), 4);
  appendLittle(bytes, 1, 2);
  appendLittle(bytes, uint32_t(test.bitsPerPixel), 2);
  appendLittle(bytes, bitFields ? BI_BITFIELDS : BI_RGB, 4);
  appendLittle(bytes, rowBytes * IMAGE_HEIGHT, 4);
  for (int i = 0; i < 4; i++) appendLittle(bytes, 0, 4);  // resolution, colour counts
  if (masksInHeader) {
    for (uint32_t mask : test.masks) appendLittle(bytes, mask, 4);
    bytes.resize(FILE_HEADER_BYTES + test.headerBytes);  // colour space fields, all zero
  } else if (bitFields) {
    for (int i = 0; i < 3; i++) appendLittle(bytes, test.masks[i], 4);
  }
  for (uint32_t i = 0; i < paletteEntries; i++) {
    appendLittle(bytes, uint32_t(std::rand()) & 0xffffff, 4);
  }
  bytes.resize(dataOffset, 0x5a);
  for (uint32_t i = 0; i < rowBytes * IMAGE_HEIGHT; i++) bytes.push_back(uint8_t(std::rand()));

  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
  std::fclose(file);
}

// The two surfaces agree in everything a drawer can see: size, format, key, palette, pixels.
void expectSameSurface(SDL_Surface* expected, SDL_Surface* actual, const char* name) {
  ASSERT_NE(expected, nullptr) << name << ": SDL_image: " << SDL_GetError();
  ASSERT_NE(actual, nullptr) << name << ": ours: " << SDL_GetError();
  SCOPED_TRACE(name);
  ASSERT_EQ(actual->w, expected->w);
  ASSERT_EQ(actual->h, expected->h);
  const SDL_PixelFormat& want = *expected->format;
  const SDL_PixelFormat& got = *actual->format;
  ASSERT_EQ(got.BitsPerPixel, want.BitsPerPixel);
  ASSERT_EQ(got.BytesPerPixel, want.BytesPerPixel);
  EXPECT_EQ(got.Rmask, want.Rmask);
  EXPECT_EQ(got.Gmask, want.Gmask);
  EXPECT_EQ(got.Bmask, want.Bmask);
  EXPECT_EQ(got.Amask, want.Amask);
  constexpr Uint32 KEY_AND_ALPHA = SDL_SRCCOLORKEY | SDL_SRCALPHA;
  EXPECT_EQ(actual->flags & KEY_AND_ALPHA, expected->flags & KEY_AND_ALPHA);
  if (expected->flags & SDL_SRCCOLORKEY) {
    EXPECT_EQ(got.colorkey, want.colorkey);
  }
  EXPECT_EQ(got.alpha, want.alpha);
  ASSERT_EQ(got.palette != nullptr, want.palette != nullptr);
  if (want.palette != nullptr) {
    ASSERT_EQ(got.palette->ncolors, want.palette->ncolors);
    for (int i = 0; i < want.palette->ncolors; i++) {
      const SDL_Color& a = want.palette->colors[i];
      const SDL_Color& b = got.palette->colors[i];
      EXPECT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b) << "palette entry " << i;
    }
  }
  const size_t usedBytes = size_t(expected->w) * want.BytesPerPixel;
  for (int y = 0; y < expected->h; y++) {
    const uint8_t* wantRow = static_cast<const uint8_t*>(expected->pixels) + y * expected->pitch;
    const uint8_t* gotRow = static_cast<const uint8_t*>(actual->pixels) + y * actual->pitch;
    EXPECT_EQ(std::memcmp(gotRow, wantRow, usedBytes), 0) << "row " << y;
  }
}

void expectSameAsSdlImage(const std::string& path, const char* name) {
  SDL_Surface* expected = IMG_Load(path.c_str());
  SDL_Surface* actual = loadImageFile(path.c_str());
  expectSameSurface(expected, actual, name);
  SDL_FreeSurface(expected);
  SDL_FreeSurface(actual);
}

}  // namespace

TEST(ImageFile, PngOfEveryColourTypeAndDepthMatchesSdlImage) {
  std::srand(RANDOM_SEED);
  const std::vector<uint8_t> oneClear = {255, 255, 0, 255};
  const std::vector<uint8_t> translucent = {255, 128, 0, 255};
  const std::vector<uint8_t> twoClear = {0, 255, 0, 255};
  const std::vector<uint8_t> shortClear = {255, 0};
  const std::vector<uint8_t> allOpaque = {255, 255, 255};
  const PngCase cases[] = {
      {"grey 1 bit", PNG_COLOR_TYPE_GRAY, 1, 0, {}, false, false},
      {"grey 2 bits", PNG_COLOR_TYPE_GRAY, 2, 0, {}, false, false},
      {"grey 4 bits", PNG_COLOR_TYPE_GRAY, 4, 0, {}, false, false},
      {"grey 8 bits", PNG_COLOR_TYPE_GRAY, 8, 0, {}, false, false},
      {"grey 16 bits", PNG_COLOR_TYPE_GRAY, 16, 0, {}, false, false},
      {"grey 2 bits, transparent grey", PNG_COLOR_TYPE_GRAY, 2, 0, {}, true, false},
      {"grey 8 bits, transparent grey", PNG_COLOR_TYPE_GRAY, 8, 0, {}, true, false},
      {"grey 16 bits, transparent grey", PNG_COLOR_TYPE_GRAY, 16, 0, {}, true, false},
      {"grey and alpha 8 bits", PNG_COLOR_TYPE_GRAY_ALPHA, 8, 0, {}, false, false},
      {"grey and alpha 16 bits", PNG_COLOR_TYPE_GRAY_ALPHA, 16, 0, {}, false, false},
      {"RGB 8 bits", PNG_COLOR_TYPE_RGB, 8, 0, {}, false, false},
      {"RGB 16 bits", PNG_COLOR_TYPE_RGB, 16, 0, {}, false, false},
      {"RGB 8 bits, transparent colour", PNG_COLOR_TYPE_RGB, 8, 0, {}, true, false},
      {"RGB 16 bits, transparent colour", PNG_COLOR_TYPE_RGB, 16, 0, {}, true, false},
      {"RGBA 8 bits", PNG_COLOR_TYPE_RGB_ALPHA, 8, 0, {}, false, false},
      {"RGBA 16 bits", PNG_COLOR_TYPE_RGB_ALPHA, 16, 0, {}, false, false},
      {"palette 1 bit", PNG_COLOR_TYPE_PALETTE, 1, 2, {}, false, false},
      {"palette 2 bits", PNG_COLOR_TYPE_PALETTE, 2, 4, {}, false, false},
      {"palette 4 bits, 11 entries", PNG_COLOR_TYPE_PALETTE, 4, 11, {}, false, false},
      {"palette 8 bits, 200 entries", PNG_COLOR_TYPE_PALETTE, 8, 200, {}, false, false},
      {"palette, one clear entry", PNG_COLOR_TYPE_PALETTE, 8, 40, oneClear, false, false},
      {"palette, one clear entry in a short tRNS", PNG_COLOR_TYPE_PALETTE, 4, 16, shortClear,
       false, false},
      {"palette, a translucent entry", PNG_COLOR_TYPE_PALETTE, 8, 40, translucent, false, false},
      {"palette, two clear entries", PNG_COLOR_TYPE_PALETTE, 2, 4, twoClear, false, false},
      {"palette, tRNS all opaque", PNG_COLOR_TYPE_PALETTE, 8, 40, allOpaque, false, false},
      {"RGB 8 bits, interlaced", PNG_COLOR_TYPE_RGB, 8, 0, {}, false, true},
      {"RGBA 16 bits, interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 16, 0, {}, false, true},
  };
  const std::string dir = makeTempDir();
  for (const PngCase& test : cases) {
    const std::string path = dir + "/image.png";
    writePng(path, test);
    expectSameAsSdlImage(path, test.name);
  }
}

TEST(ImageFile, BmpOfEveryDepthMatchesSdlImage) {
  std::srand(RANDOM_SEED);
  const BmpCase cases[] = {
      {"1 bit", 1, {}, false, 40, 0},
      {"4 bits", 4, {}, false, 40, 0},
      {"8 bits", 8, {}, false, 40, 0},
      {"8 bits, top-down", 8, {}, true, 40, 0},
      {"16 bits, 5-5-5", 16, {}, false, 40, 0},
      {"16 bits, bit fields 5-6-5", 16, {0xf800, 0x07e0, 0x001f, 0}, false, 40, 0},
      {"24 bits", 24, {}, false, 40, 0},
      {"24 bits, top-down", 24, {}, true, 40, 0},
      {"32 bits", 32, {}, false, 40, 0},
      {"32 bits, gap before the pixels", 32, {}, false, 40, 16},
      {"32 bits, bit fields", 32, {0x00ff0000, 0x0000ff00, 0x000000ff, 0}, false, 40, 0},
      {"32 bits, long header, alpha mask", 32, {0x0000ff00, 0x00ff0000, 0xff000000, 0x000000ff},
       true, 108, 0},
      {"24 bits, long header", 24, {}, false, 108, 0},
  };
  const std::string dir = makeTempDir();
  for (const BmpCase& test : cases) {
    const std::string path = dir + "/image.bmp";
    writeBmp(path, test);
    expectSameAsSdlImage(path, test.name);
  }
}

// Files that are not images, or broken ones, give null and a message, as IMG_Load does.
TEST(ImageFile, UnreadableFilesGiveNull) {
  const std::string dir = makeTempDir();
  std::srand(RANDOM_SEED);
  writePng(dir + "/whole.png", {"RGB", PNG_COLOR_TYPE_RGB, 8, 0, {}, false, false});
  FILE* whole = std::fopen((dir + "/whole.png").c_str(), "rb");
  ASSERT_NE(whole, nullptr);
  std::vector<uint8_t> png(4096);
  png.resize(std::fread(png.data(), 1, png.size(), whole));
  std::fclose(whole);

  struct Row {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  const Row rows[] = {
      {"empty file", {}},
      {"text", {'h', 'e', 'l', 'l', 'o'}},
      {"PNG cut after its header", std::vector<uint8_t>(png.begin(), png.begin() + 40)},
      {"PNG cut in its image data", std::vector<uint8_t>(png.begin(), png.end() - 30)},
      {"BMP magic alone", {'B', 'M'}},
  };
  for (const Row& row : rows) {
    const std::string path = dir + "/broken";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    if (!row.bytes.empty()) std::fwrite(row.bytes.data(), 1, row.bytes.size(), file);
    std::fclose(file);
    SDL_Surface* reference = IMG_Load(path.c_str());
    EXPECT_EQ(reference, nullptr) << row.name << " (SDL_image)";
    SDL_FreeSurface(reference);
    SDL_ClearError();
    EXPECT_EQ(loadImageFile(path.c_str()), nullptr) << row.name;
    EXPECT_STRNE(SDL_GetError(), "") << row.name;
  }
  EXPECT_EQ(loadImageFile((dir + "/missing.png").c_str()), nullptr);
}

// The game's own images, as the Windows build will read them.
TEST(ImageFile, GameMediaMatchesSdlImage) {
  const char* const files[] = {
      "Media/Game/ship.bmp",         "Media/Game/enemy1.bmp",   "Media/Game/textbacking1.png",
      "Media/Game/textbacking2.png", "Media/Orvane/Border.png", "Media/Orvane/Button.png",
      "Media/Orvane/Cursor.png",     "Media/Orvane/Font.png",   "Media/Orvane/TopBottomBorder.png",
  };
  for (const char* file : files) expectSameAsSdlImage(sourceDir() + "/" + file, file);
}
