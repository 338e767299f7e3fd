// tests/platform/image_file_test.cpp -- our image reader against the real SDL_image on every kind
// of PNG and BMP it tells apart, the game's images and broken files: the same surface, or null.
#include "platform/image_file.h"

#include "tests/support/test_screen.h"

#include <SDL_image.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Odd sizes, so that rows end mid-byte for small samples and surface rows carry padding.
constexpr int W = 13, H = 7;
using Bytes = std::vector<uint8_t>;

// A PNG of random samples; palette alphas in `tRNS`, or with `keyed` a transparent grey or RGB
// value with bits above the low byte (which the key drops), taken by some pixels.
Bytes png(int colourType, int depth, int paletteSize = 0, Bytes tRNS = {}, bool keyed = false,
          bool interlaced = false) {
  Bytes out;
  png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(writer);
  const auto append = [](png_structp w, png_bytep data, png_size_t n) {
    Bytes& to = *static_cast<Bytes*>(png_get_io_ptr(w));
    to.insert(to.end(), data, data + n);
  };
  png_set_write_fn(writer, &out, append, nullptr);
  png_set_IHDR(writer, info, W, H, depth, colourType,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, 0, 0);
  std::vector<png_color> palette(static_cast<size_t>(paletteSize));
  for (png_color& entry : palette) entry = {png_byte(rand()), png_byte(rand()), png_byte(rand())};
  if (paletteSize > 0) png_set_PLTE(writer, info, palette.data(), paletteSize);
  const int max = (1 << depth) - 1;
  png_color_16 key{0, png_uint_16(max & 0x312), png_uint_16(max & 0x234),
                   png_uint_16(max & 0x156), png_uint_16(max & 0x155)};
  if (!tRNS.empty()) png_set_tRNS(writer, info, tRNS.data(), int(tRNS.size()), nullptr);
  if (keyed) png_set_tRNS(writer, info, nullptr, 0, &key);
  png_write_info(writer, info);
  const int channels = png_get_channels(writer, info);
  const int samples = W * channels;
  std::vector<Bytes> rows(H, Bytes((size_t(samples) * size_t(depth) + 7) / 8));
  std::vector<png_bytep> rowPointers;
  for (Bytes& row : rows) {
    for (int s = 0; s < samples; ++s) {
      unsigned sample = unsigned(rand()) & unsigned(max);
      if (paletteSize > 0) sample %= unsigned(paletteSize);
      if (keyed && channels == 1 && s % 5 == 0) sample = key.gray;
      if (depth == 16) row[2 * s] = uint8_t(sample >> 8), row[2 * s + 1] = uint8_t(sample);
      else row[s * depth / 8] |= uint8_t(sample << (8 - depth - s * depth % 8));
    }
    rowPointers.push_back(row.data());
  }
  png_write_image(writer, rowPointers.data());
  png_write_end(writer, nullptr);
  png_destroy_write_struct(&writer, &info);
  return out;
}

// A BMP of random pixels; bit fields (compression 3) when masks are given, which a 108-byte
// header holds inside; `gap` unused bytes between the header (and palette) and the pixels.
Bytes bmp(int bits, std::vector<uint32_t> masks = {}, bool topDown = false,
          uint32_t headerBytes = 40, uint32_t gap = 0) {
  const auto put = [](Bytes& to, uint32_t value, int count) {
    for (int i = 0; i < count; i++) to.push_back(uint8_t(value >> (8 * i)));
  };
  const bool masksInHeader = headerBytes > 40;
  const uint32_t paletteEntries = bits <= 8 ? 1u << bits : 0;
  const uint32_t rowBytes = (uint32_t(W * bits) + 31) / 32 * 4;
  const uint32_t dataOffset = 14 + headerBytes + paletteEntries * 4 +
                              (!masks.empty() && !masksInHeader ? 12 : 0) + gap;
  Bytes out = {'B', 'M'};
  for (const uint32_t field : {dataOffset + rowBytes * H, 0u, dataOffset, headerBytes,
                               uint32_t(W), uint32_t(topDown ? -H : H)})
    put(out, field, 4);
  put(out, 1, 2);
  put(out, uint32_t(bits), 2);
  put(out, masks.empty() ? 0 : 3, 4);
  put(out, rowBytes * H, 4);
  for (int i = 0; i < 4; i++) put(out, 0, 4);  // resolution, colour counts
  for (const uint32_t mask : masks) put(out, mask, 4);
  if (masksInHeader) out.resize(14 + headerBytes);  // colour space fields, all zero
  for (uint32_t i = 0; i < paletteEntries; i++) put(out, uint32_t(rand()) & 0xffffff, 4);
  out.resize(dataOffset, 0x5a);
  for (uint32_t i = 0; i < rowBytes * H; i++) out.push_back(uint8_t(rand()));
  return out;
}

Bytes toBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

// The two surfaces agree in everything a drawer can see: size, format, key, palette, pixels.
void expectSameSurface(SDL_Surface* want, SDL_Surface* got) {
  ASSERT_EQ(got == nullptr, want == nullptr) << SDL_GetError();
  if (want == nullptr) return;
  ASSERT_TRUE(got->w == want->w && got->h == want->h);
  const SDL_PixelFormat &a = *want->format, &b = *got->format;
  ASSERT_EQ(b.BytesPerPixel, a.BytesPerPixel);
  EXPECT_TRUE(b.BitsPerPixel == a.BitsPerPixel && b.Rmask == a.Rmask && b.Gmask == a.Gmask &&
              b.Bmask == a.Bmask && b.Amask == a.Amask && b.alpha == a.alpha);
  EXPECT_EQ(got->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA),
            want->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA));
  EXPECT_TRUE(!(want->flags & SDL_SRCCOLORKEY) || b.colorkey == a.colorkey) << "colour key";
  ASSERT_EQ(b.palette != nullptr, a.palette != nullptr);
  for (int i = 0; a.palette != nullptr && i < a.palette->ncolors; i++) {
    const SDL_Color &p = a.palette->colors[i], &q = b.palette->colors[i];
    EXPECT_TRUE(p.r == q.r && p.g == q.g && p.b == q.b) << "palette entry " << i;
  }
  for (int y = 0; y < want->h; y++)
    EXPECT_EQ(std::memcmp(static_cast<uint8_t*>(got->pixels) + y * got->pitch,
                          static_cast<uint8_t*>(want->pixels) + y * want->pitch,
                          size_t(want->w) * a.BytesPerPixel), 0) << "row " << y;
}

}  // namespace

TEST(ImageFile, ReadsEveryKindOfFileAsSdlImageDoes) {
  std::srand(20240607);
  const Bytes rgb = png(PNG_COLOR_TYPE_RGB, 8);
  struct Row {
    std::string name;
    Bytes bytes;
  };
  std::vector<Row> rows = {
      {"grey 1 bit", png(PNG_COLOR_TYPE_GRAY, 1)},
      {"grey 16 bits", png(PNG_COLOR_TYPE_GRAY, 16)},
      {"grey 2 bits, transparent grey", png(PNG_COLOR_TYPE_GRAY, 2, 0, {}, true)},
      {"grey 16 bits, transparent grey", png(PNG_COLOR_TYPE_GRAY, 16, 0, {}, true)},
      {"grey and alpha 8 bits", png(PNG_COLOR_TYPE_GRAY_ALPHA, 8)},
      {"grey and alpha 16 bits", png(PNG_COLOR_TYPE_GRAY_ALPHA, 16)},
      {"RGB 8 bits", rgb},
      {"RGB 16 bits, transparent colour", png(PNG_COLOR_TYPE_RGB, 16, 0, {}, true)},
      {"RGBA 8 bits", png(PNG_COLOR_TYPE_RGB_ALPHA, 8)},
      {"RGBA 16 bits, interlaced", png(PNG_COLOR_TYPE_RGB_ALPHA, 16, 0, {}, false, true)},
      {"palette 1 bit", png(PNG_COLOR_TYPE_PALETTE, 1, 2)},
      {"palette 8 bits, 200 entries", png(PNG_COLOR_TYPE_PALETTE, 8, 200)},
      {"palette 4 bits, short tRNS, one clear", png(PNG_COLOR_TYPE_PALETTE, 4, 16, {255, 0})},
      {"palette, a translucent entry", png(PNG_COLOR_TYPE_PALETTE, 8, 40, {255, 128, 0, 255})},
      {"palette, two clear entries", png(PNG_COLOR_TYPE_PALETTE, 2, 4, {0, 255, 0})},
      {"palette, tRNS all opaque", png(PNG_COLOR_TYPE_PALETTE, 8, 40, {255, 255})},
      // SDL_LoadBMP_RW reads BMPs; ours differ only in 32-bit ones' alpha mask.
      {"BMP 8 bits, top-down", bmp(8, {}, true)},
      {"BMP 16 bits, bit fields 5-6-5", bmp(16, {0xf800, 0x07e0, 0x001f})},
      {"BMP 24 bits, long header", bmp(24, {}, false, 108)},
      {"BMP 32 bits", bmp(32, {})},
      {"BMP 32 bits, gap before the pixels", bmp(32, {}, false, 40, 16)},
      {"BMP 32 bits, bit fields", bmp(32, {0xff0000, 0xff00, 0xff})},
      {"BMP 32 bits, long header, alpha",
       bmp(32, {0xff00, 0xff0000, 0xff000000, 0xff}, true, 108)},
      {"empty file", {}},
      {"text", {'h', 'e', 'l', 'l', 'o'}},
      {"PNG cut after its header", Bytes(rgb.begin(), rgb.begin() + 40)},
      {"PNG cut in its image data", Bytes(rgb.begin(), rgb.end() - 30)},
      {"BMP magic alone", {'B', 'M'}},
  };
  for (const char* file : {"Game/ship.bmp", "Game/enemy1.bmp", "Game/textbacking1.png",
                           "Game/textbacking2.png", "Orvane/Border.png", "Orvane/Button.png",
                           "Orvane/Cursor.png", "Orvane/Font.png", "Orvane/TopBottomBorder.png"})
    rows.push_back({file, toBytes(readFileBytes(sourceDir() + "/Media/" + file))});

  const std::string path = makeTempDir() + "/image";
  size_t read = 0;  // every row but the five broken files is an image
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    writeFileBytes(path, std::string(row.bytes.begin(), row.bytes.end()));
    SDL_Surface* want = IMG_Load(path.c_str());
    SDL_ClearError();
    SDL_Surface* got = loadImageFile(path.c_str());
    EXPECT_TRUE(got != nullptr || *SDL_GetError() != '\0') << "a failure says why";
    expectSameSurface(want, got);
    read += want != nullptr;
    SDL_FreeSurface(want);
    SDL_FreeSurface(got);
  }
  EXPECT_EQ(read, rows.size() - 5);
  EXPECT_EQ(loadImageFile((path + ".missing").c_str()), nullptr);
}
