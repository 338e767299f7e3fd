// overlay/images.cpp -- image loading (keyed and alpha) and the overlay kit's media.
#include "overlay/images.h"

#include "app/screen.h"
#include "platform/pixels.h"

#include <SDL_image.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

OverlayMedia overlayMedia;

namespace {

constexpr const char* FONT_FILE = "Media/Orvane/Font.png";
constexpr const char* BUTTON_FILE = "Media/Orvane/Button.png";
constexpr const char* BORDER_FILE = "Media/Orvane/Border.png";
constexpr const char* BAND_FILE = "Media/Orvane/TopBottomBorder.png";
constexpr const char* CURSOR_FILE = "Media/Orvane/Cursor.png";

// The colour that keyed images leave undrawn: cyan.
constexpr Uint8 KEY_RED = 0;
constexpr Uint8 KEY_GREEN = 255;
constexpr Uint8 KEY_BLUE = 255;

// A PNG file: its signature, then chunks of a 4-byte big-endian data length, a 4-byte type, the
// data and a 4-byte CRC. SDL_image takes any file starting with the first four signature bytes
// for a PNG.
constexpr uint8_t PNG_SIGNATURE[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t PNG_MAGIC_SIZE = 4;
constexpr int PNG_CHUNK_HEADER_SIZE = 8;
constexpr int PNG_CHUNK_OVERHEAD = 12;  // header and CRC
constexpr const char* PNG_END_CHUNK = "IEND";

uint32_t bigEndian32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

// Walks the chunks of a PNG from `at` (just past the signature) to IEND; false when a chunk
// runs past `end` or the bytes end before IEND.
bool pngChunksEndWithin(SDL_RWops* source, int64_t at, int64_t end) {
  for (;;) {
    uint8_t header[PNG_CHUNK_HEADER_SIZE];
    if (end - at < PNG_CHUNK_OVERHEAD || SDL_RWseek(source, int(at), RW_SEEK_SET) != at ||
        SDL_RWread(source, header, 1, sizeof header) != int(sizeof header))
      return false;
    const int64_t length = bigEndian32(header);
    if (length > end - at - PNG_CHUNK_OVERHEAD) return false;
    at += PNG_CHUNK_OVERHEAD + length;
    if (std::memcmp(header + 4, PNG_END_CHUNK, 4) == 0) return true;
  }
}

using Conversion = decltype(&SDL_DisplayFormat);

// loadImage, then the conversion; the loaded surface is freed either way.
SDL_Surface* loadConverted(const char* path, Conversion convert) {
  SDL_Surface* loaded = loadImage(path);
  if (loaded == nullptr) return nullptr;
  SDL_Surface* converted = convert(loaded);
  SDL_FreeSurface(loaded);
  return converted;
}

SDL_Surface* copyOfScreen() { return Screen != nullptr ? SDL_DisplayFormat(Screen) : nullptr; }

}  // namespace

bool safeToDecode(SDL_RWops* source) {
  const int start = SDL_RWtell(source);
  const int end = SDL_RWseek(source, 0, RW_SEEK_END);
  uint8_t signature[sizeof PNG_SIGNATURE] = {};
  bool safe = start >= 0 && end >= 0 && SDL_RWseek(source, start, RW_SEEK_SET) == start;
  if (safe && SDL_RWread(source, signature, 1, sizeof signature) >= int(PNG_MAGIC_SIZE) &&
      std::memcmp(signature, PNG_SIGNATURE, PNG_MAGIC_SIZE) == 0) {
    safe = std::memcmp(signature, PNG_SIGNATURE, sizeof signature) == 0 &&
           pngChunksEndWithin(source, start + int64_t(sizeof signature), end);
  }
  SDL_RWseek(source, start, RW_SEEK_SET);
  return safe;
}

SDL_Surface* loadImage(const char* path) {
  SDL_RWops* file = SDL_RWFromFile(path, "rb");
  if (file == nullptr) return nullptr;
  const bool safe = safeToDecode(file);
  SDL_RWclose(file);
  return safe ? IMG_Load(path) : nullptr;
}

SDL_Surface* loadKeyedImage(const char* path) {
  SDL_Surface* image = loadConverted(path, SDL_DisplayFormat);
  if (image != nullptr)
    SDL_SetColorKey(image, SDL_SRCCOLORKEY,
                    SDL_MapRGB(image->format, KEY_RED, KEY_GREEN, KEY_BLUE));
  return image;
}

SDL_Surface* loadAlphaImage(const char* path) {
  return loadConverted(path, SDL_DisplayFormatAlpha);
}

OpaqueRuns findOpaqueRuns(SDL_Surface* image) {
  OpaqueRuns runs;
  SurfacePixelLock lock(image);
  if (!lock.ok) return runs;
  // The key's colour bits alone: a browser's SDL keeps the key as transparent alpha instead.
  const SDL_PixelFormat* format = image->format;
  const uint32_t colourBits = format->Rmask | format->Gmask | format->Bmask;
  const uint32_t key = SDL_MapRGB(image->format, KEY_RED, KEY_GREEN, KEY_BLUE) & colourBits;
  const PixelGrid grid(image);
  for (int y = 0; y < image->h; ++y) {
    for (int x = 0; x < image->w; ++x) {
      if ((grid.read(x, y) & colourBits) == key) continue;
      if (runs.empty() || runs.back().y != y || runs.back().x + runs.back().length != x)
        runs.push_back(OpaqueRun{x, y, 0});
      ++runs.back().length;
    }
  }
  return runs;
}

void drawImage(SDL_Surface* image, SDL_Rect* part, int x, int y) {
  SDL_Rect at{Sint16(x), Sint16(y), 0, 0};
  SDL_UpperBlit(image, part, Screen, &at);
}

void drawKeyedImage(SDL_Surface* image, const OpaqueRuns& runs, int x, int y) {
  if (image == nullptr || Screen == nullptr) return;
  // An image that must be locked to be read (a browser's canvas) is cheaper blitted by SDL.
  if (!sameTrueColourFormat(image->format, Screen->format) || SDL_MUSTLOCK(image)) {
    drawImage(image, nullptr, x, y);
    return;
  }
  SurfacePixelLock lock(Screen);
  if (!lock.ok) return;
  const SDL_Rect& clip = Screen->clip_rect;
  for (const OpaqueRun& run : runs) {
    const int screenY = y + run.y;
    const int left = std::max(x + run.x, int(clip.x));
    const int right = std::min(x + run.x + run.length, clip.x + int(clip.w));
    if (screenY < clip.y || screenY >= clip.y + clip.h || left >= right) continue;
    std::memcpy(PixelGrid(Screen).at(left, screenY), PixelGrid(image).at(left - x, run.y),
                size_t(right - left) * Screen->format->BytesPerPixel);
  }
}

void loadOverlayMedia() {
  overlayMedia.snapshotSurface = copyOfScreen();
  overlayMedia.backdropSurface = copyOfScreen();
  overlayMedia.fontSurface = loadAlphaImage(FONT_FILE);
  overlayMedia.buttonSurface = loadAlphaImage(BUTTON_FILE);
  overlayMedia.borderSurface = loadKeyedImage(BORDER_FILE);
  overlayMedia.topBottomBorderSurface = loadKeyedImage(BAND_FILE);
  overlayMedia.cursorSurface = loadAlphaImage(CURSOR_FILE);
  overlayMedia.borderRuns = findOpaqueRuns(overlayMedia.borderSurface);
  overlayMedia.bandRuns = findOpaqueRuns(overlayMedia.topBottomBorderSurface);
}
