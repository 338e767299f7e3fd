// web/bitmaps.cpp -- raw BMP pixel values, read from the file, put back into a decoded surface.
#include "web/bitmaps.h"

#include "platform/pixels.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {

constexpr size_t LARGEST_FILE = 1 << 22;  // far more than any shape bitmap
constexpr uint32_t NOT_ZERO = 0xFFFFFFFFu;
constexpr size_t BMP_HEADER_SIZE = 54;  // file header and the smallest info header
constexpr int32_t LARGEST_SIDE = 4096;

// Where the BMP's fields lie (little-endian).
constexpr size_t PIXEL_DATA_OFFSET = 10;
constexpr size_t WIDTH_OFFSET = 18;
constexpr size_t HEIGHT_OFFSET = 22;
constexpr size_t BITS_OFFSET = 28;
constexpr size_t COMPRESSION_OFFSET = 30;
constexpr uint32_t UNCOMPRESSED = 0;

uint32_t littleEndian(const std::vector<uint8_t>& bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[at + size_t(i)];
  return value;
}

std::vector<uint8_t> fileBytes(const char* path) {
  std::vector<uint8_t> bytes;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return bytes;
  bytes.resize(LARGEST_FILE);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  return bytes;
}

// The raw picture of an uncompressed BMP: whether each pixel's value is 0.
struct RawBitmap {
  bool valid = false;
  int width = 0, height = 0;
  std::vector<uint8_t> zero;  // row-major, top row first

  bool zeroAt(int x, int y) const { return zero[size_t(y) * size_t(width) + size_t(x)] != 0; }
};

RawBitmap readRawBitmap(const std::vector<uint8_t>& bytes) {
  RawBitmap raw;
  if (bytes.size() < BMP_HEADER_SIZE || bytes[0] != 'B' || bytes[1] != 'M') return raw;
  const uint32_t bits = littleEndian(bytes, BITS_OFFSET, 2);
  if (littleEndian(bytes, COMPRESSION_OFFSET, 4) != UNCOMPRESSED) return raw;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return raw;
  const int32_t width = int32_t(littleEndian(bytes, WIDTH_OFFSET, 4));
  const int32_t height = int32_t(littleEndian(bytes, HEIGHT_OFFSET, 4));
  const bool bottomUp = height > 0;
  raw.width = width;
  raw.height = bottomUp ? height : -height;
  if (raw.width <= 0 || raw.height <= 0 || std::max(raw.width, raw.height) > LARGEST_SIDE) {
    return raw;
  }
  const size_t stride = (size_t(raw.width) * bits + 31) / 32 * 4;
  const size_t data = littleEndian(bytes, PIXEL_DATA_OFFSET, 4);
  if (data > bytes.size() || stride * size_t(raw.height) > bytes.size() - data) return raw;
  raw.zero.resize(size_t(raw.width) * size_t(raw.height));
  for (int y = 0; y < raw.height; ++y) {
    const uint8_t* row = &bytes[data + stride * size_t(bottomUp ? raw.height - 1 - y : y)];
    for (int x = 0; x < raw.width; ++x) {
      bool zero = true;
      if (bits < 8) {
        const size_t bit = size_t(x) * bits;
        zero = (row[bit / 8] >> (8 - bits - bit % 8) & ((1u << bits) - 1)) == 0;
      } else {
        for (uint32_t b = 0; b < bits / 8; ++b) zero = zero && row[size_t(x) * bits / 8 + b] == 0;
      }
      raw.zero[size_t(y) * size_t(raw.width) + size_t(x)] = zero ? 1 : 0;
    }
  }
  raw.valid = true;
  return raw;
}

}  // namespace

void restoreRawZeros(SDL_Surface* image, const char* path) {
  if (image == nullptr) return;
  const RawBitmap raw = readRawBitmap(fileBytes(path));
  const Uint32 colourBits = ~image->format->Amask;
  const SurfacePixelLock lock(image);
  if (!lock.ok) return;
  const int width = raw.valid ? std::min(raw.width, image->w) : image->w;
  const int height = raw.valid ? std::min(raw.height, image->h) : image->h;
  const PixelGrid grid(image);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool zero = raw.valid ? raw.zeroAt(x, y) : (grid.read(x, y) & colourBits) == 0;
      // Transparent black survives the canvas exactly (0 reads back as 0).
      grid.write(x, y, zero ? 0 : NOT_ZERO);
    }
  }
}

#undef IMG_Load

SDL_Surface* webLoadImage(const char* path) {
  SDL_Surface* image = IMG_Load(path);
  if (std::string_view(path).ends_with(".bmp")) restoreRawZeros(image, path);
  return image;
}
