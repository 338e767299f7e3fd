// tools/mediagen/canvas.cpp -- shapes, painting, and the PNG and BMP writers of the generator.
#include "canvas.h"

#include "platform/pixels.h"

#include <SDL.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace art {

namespace {

// zlib's strongest level: the files are written once and read at every start.
constexpr int PNG_COMPRESSION_LEVEL = 9;
constexpr int PNG_BIT_DEPTH = 8;
constexpr int MAX_PALETTE_SIZE = 256;
constexpr int CHANNEL_MAX = 255;
constexpr uint32_t KEY_CYAN = 0x00FFFF;  // 0xRRGGBB of the colour key

uint8_t toByte(float value) {
  const float clamped = std::clamp(value, 0.0f, 1.0f);
  return uint8_t(clamped * CHANNEL_MAX + 0.5f);
}

// Straight (not premultiplied) 8-bit RGBA of a pixel; transparent pixels are all zero.
struct Rgba8 {
  uint8_t red, green, blue, alpha;
};

Rgba8 straightColour(const Paint& paint) {
  const uint8_t alpha = toByte(paint.alpha);
  if (alpha == 0) return {0, 0, 0, 0};
  return {toByte(paint.red / paint.alpha), toByte(paint.green / paint.alpha),
          toByte(paint.blue / paint.alpha), alpha};
}

Paint& paintAt(Canvas& canvas, int x, int y) {
  return canvas.pixels[size_t(y) * size_t(canvas.width) + size_t(x)];
}

const Paint& paintAt(const Canvas& canvas, int x, int y) {
  return canvas.pixels[size_t(y) * size_t(canvas.width) + size_t(x)];
}

// The writing of one PNG, bytes already laid out row by row in the file's own format.
struct PngRows {
  int width;
  int height;
  int colourType;
  int bitDepth;
  std::vector<png_color> palette;
  std::vector<uint8_t> bytes;  // one row after another, bytesPerRow each (before packing)
  int bytesPerRow;
};

// libpng reports errors by longjmp back here; this frame holds nothing that needs unwinding.
bool encodePng(png_structp png, png_infop info, FILE* file, const PngRows& rows,
               png_bytepp rowPointers) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_set_compression_level(png, PNG_COMPRESSION_LEVEL);
  png_set_IHDR(png, info, png_uint_32(rows.width), png_uint_32(rows.height), rows.bitDepth,
               rows.colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!rows.palette.empty()) {
    png_set_PLTE(png, info, rows.palette.data(), int(rows.palette.size()));
  }
  png_write_info(png, info);
  if (rows.bitDepth < PNG_BIT_DEPTH) png_set_packing(png);
  png_write_image(png, rowPointers);
  png_write_end(png, nullptr);
  return true;
}

bool writePng(const std::string& path, const PngRows& rows) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    std::fprintf(stderr, "zaraz-mediagen: cannot write %s\n", path.c_str());
    return false;
  }
  std::vector<png_bytep> rowPointers(size_t(rows.height));
  for (int y = 0; y < rows.height; ++y) {
    rowPointers[size_t(y)] = const_cast<png_bytep>(rows.bytes.data()) + y * rows.bytesPerRow;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool written = info != nullptr && encodePng(png, info, file, rows, rowPointers.data());
  png_destroy_write_struct(&png, &info);
  if (std::fclose(file) != 0) written = false;
  if (!written) std::fprintf(stderr, "zaraz-mediagen: cannot encode %s\n", path.c_str());
  return written;
}

}  // namespace

Canvas makeCanvas(int width, int height) {
  return Canvas{width, height, std::vector<Paint>(size_t(width) * size_t(height), Paint{})};
}

Shape circle(float centreX, float centreY, float radius) {
  return [=](float x, float y) { return std::hypot(x - centreX, y - centreY) - radius; };
}

Shape roundedBox(float left, float top, float right, float bottom, float radius) {
  const float centreX = (left + right) / 2;
  const float centreY = (top + bottom) / 2;
  const float innerHalfW = (right - left) / 2 - radius;
  const float innerHalfH = (bottom - top) / 2 - radius;
  return [=](float x, float y) {
    const float dx = std::fabs(x - centreX) - innerHalfW;
    const float dy = std::fabs(y - centreY) - innerHalfH;
    const float outside = std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f));
    return outside + std::min(std::max(dx, dy), 0.0f) - radius;
  };
}

Shape convexPolygon(std::vector<float> cornersXY) {
  // Each edge becomes a half-plane with an outward unit normal; the distance is the largest.
  struct Edge {
    float normalX, normalY, offset;
  };
  const size_t count = cornersXY.size() / 2;
  float doubledArea = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t next = (i + 1) % count;
    doubledArea += cornersXY[2 * i] * cornersXY[2 * next + 1] -
                   cornersXY[2 * next] * cornersXY[2 * i + 1];
  }
  const float winding = doubledArea > 0 ? 1.0f : -1.0f;
  std::vector<Edge> edges;
  for (size_t i = 0; i < count; ++i) {
    const size_t next = (i + 1) % count;
    const float ax = cornersXY[2 * i], ay = cornersXY[2 * i + 1];
    const float dx = cornersXY[2 * next] - ax, dy = cornersXY[2 * next + 1] - ay;
    const float length = std::hypot(dx, dy);
    const float nx = winding * dy / length, ny = -winding * dx / length;
    edges.push_back({nx, ny, nx * ax + ny * ay});
  }
  return [edges](float x, float y) {
    float distance = -1e9f;
    for (const Edge& edge : edges) {
      distance = std::max(distance, edge.normalX * x + edge.normalY * y - edge.offset);
    }
    return distance;
  };
}

Shape unite(Shape a, Shape b) {
  return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}

Shape grow(Shape shape, float distance) {
  return [=](float x, float y) { return shape(x, y) - distance; };
}

Shape stroke(Shape shape, float width) {
  return [=](float x, float y) { return std::fabs(shape(x, y)) - width / 2; };
}

Shape innerLine(Shape shape, float inset, float width) {
  return stroke(grow(shape, -(inset + width / 2)), width);
}

Shape complement(Shape shape) {
  return [=](float x, float y) { return -shape(x, y); };
}

void paintPixel(Canvas& canvas, int x, int y, Tone tone, float opacity) {
  if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height || opacity <= 0) return;
  Paint& below = paintAt(canvas, x, y);
  const float value = tone == Tone::White ? opacity : 0.0f;
  const float keep = 1.0f - opacity;
  below.red = value + below.red * keep;
  below.green = value + below.green * keep;
  below.blue = value + below.blue * keep;
  below.alpha = opacity + below.alpha * keep;
}

void paintShape(Canvas& canvas, const Shape& shape, Tone tone, float opacity,
                int samplesPerAxis) {
  const float step = 1.0f / float(samplesPerAxis);
  const float samples = float(samplesPerAxis * samplesPerAxis);
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      int inside = 0;
      for (int j = 0; j < samplesPerAxis; ++j) {
        for (int i = 0; i < samplesPerAxis; ++i) {
          const float sampleX = float(x) + (float(i) + 0.5f) * step;
          const float sampleY = float(y) + (float(j) + 0.5f) * step;
          if (shape(sampleX, sampleY) < 0) ++inside;
        }
      }
      if (inside > 0) paintPixel(canvas, x, y, tone, opacity * float(inside) / samples);
    }
  }
}

void copyBlock(const Canvas& from, int fromX, int fromY, int w, int h, Canvas& to, int toX,
               int toY) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      paintAt(to, toX + x, toY + y) = paintAt(from, fromX + x, fromY + y);
    }
  }
}

bool writeAlphaPng(const std::string& path, const Canvas& canvas) {
  std::vector<Rgba8> colours;
  colours.reserve(canvas.pixels.size());
  bool allGrey = true;
  for (const Paint& paint : canvas.pixels) {
    colours.push_back(straightColour(paint));
    const Rgba8& c = colours.back();
    allGrey = allGrey && c.red == c.green && c.green == c.blue;
  }
  const int channels = allGrey ? 2 : 4;
  PngRows rows{canvas.width, canvas.height,
               allGrey ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_BIT_DEPTH, {}, {}, canvas.width * channels};
  for (const Rgba8& c : colours) {
    if (allGrey) {
      rows.bytes.insert(rows.bytes.end(), {c.red, c.alpha});
    } else {
      rows.bytes.insert(rows.bytes.end(), {c.red, c.green, c.blue, c.alpha});
    }
  }
  return writePng(path, rows);
}

bool writeKeyedPng(const std::string& path, const Canvas& canvas) {
  // Palette entries in order of first use, the key first, so the file is the same every run.
  std::map<uint32_t, uint8_t> indexOf{{KEY_CYAN, 0}};
  PngRows rows{canvas.width, canvas.height, PNG_COLOR_TYPE_PALETTE, PNG_BIT_DEPTH, {}, {},
               canvas.width};
  rows.palette.push_back({0, CHANNEL_MAX, CHANNEL_MAX});
  for (const Paint& paint : canvas.pixels) {
    const Rgba8 c = straightColour(paint);
    if (c.alpha != 0 && c.alpha != CHANNEL_MAX) {
      std::fprintf(stderr, "zaraz-mediagen: %s: a keyed image has no partial alpha\n",
                   path.c_str());
      return false;
    }
    const uint32_t rgb = c.alpha == 0 ? KEY_CYAN : uint32_t(c.red) << 16 | c.green << 8 | c.blue;
    if (c.alpha != 0 && rgb == KEY_CYAN) {
      std::fprintf(stderr, "zaraz-mediagen: %s: drawn pixel in the key colour\n", path.c_str());
      return false;
    }
    auto [entry, added] = indexOf.try_emplace(rgb, uint8_t(rows.palette.size()));
    if (added) {
      if (int(rows.palette.size()) == MAX_PALETTE_SIZE) {
        std::fprintf(stderr, "zaraz-mediagen: %s: too many colours\n", path.c_str());
        return false;
      }
      rows.palette.push_back({c.red, c.green, c.blue});
    }
    rows.bytes.push_back(entry->second);
  }
  const size_t colourCount = rows.palette.size();
  rows.bitDepth = colourCount <= 2 ? 1 : colourCount <= 4 ? 2 : colourCount <= 16 ? 4 : 8;
  return writePng(path, rows);
}

bool writeShapeBmp(const std::string& path, const std::vector<uint8_t>& solid, int width,
                   int height) {
  constexpr int BMP_BITS_PER_PIXEL = 8;
  constexpr uint8_t SOLID_INDEX = 0;
  constexpr uint8_t EMPTY_INDEX = 1;
  SDL_Surface* surface =
      SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, BMP_BITS_PER_PIXEL, 0, 0, 0, 0);
  if (surface == nullptr) {
    std::fprintf(stderr, "zaraz-mediagen: cannot make %s: %s\n", path.c_str(), SDL_GetError());
    return false;
  }
  // The fourth byte of each palette entry is written as 255, as sdl12-compat always writes it,
  // so both flavours of SDL 1.2 save the same bytes.
  constexpr Uint8 RESERVED = CHANNEL_MAX;
  std::vector<SDL_Color> palette(MAX_PALETTE_SIZE, SDL_Color{0, 0, 0, RESERVED});
  palette[SOLID_INDEX] = SDL_Color{CHANNEL_MAX, CHANNEL_MAX, CHANNEL_MAX, RESERVED};
  SDL_SetColors(surface, palette.data(), 0, MAX_PALETTE_SIZE);
  const PixelGrid grid(surface);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      grid.write(x, y, solid[size_t(y * width + x)] != 0 ? SOLID_INDEX : EMPTY_INDEX);
    }
  }
  const bool saved = SDL_SaveBMP(surface, path.c_str()) == 0;
  if (!saved) std::fprintf(stderr, "zaraz-mediagen: cannot write %s: %s\n", path.c_str(),
                           SDL_GetError());
  SDL_FreeSurface(surface);
  return saved;
}

}  // namespace art
