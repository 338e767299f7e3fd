// overlay/keyed_blit.cpp -- cached colour-keyed blits: what SDL writes, found once by blitting onto
// scratch surfaces filled three different ways, then copied run by run.
#include "overlay/keyed_blit.h"

#include "app/screen.h"
#include "platform/pixels.h"
#include "platform/surface_cache.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

bool keyedBlitMayCopy = true;

namespace {

// A scratch pixel that keeps its fill under all three fills was left alone; one that holds the
// same value under all three was written with that value; anything else depends on what was
// there, and the image is left to SDL.
constexpr uint32_t SCRATCH_FILLS[] = {0x00000000u, 0xFFFFFFFFu, 0x5A5AA5A5u};
constexpr int FILL_COUNT = sizeof SCRATCH_FILLS / sizeof SCRATCH_FILLS[0];

// Images drawn through here at once: the border and the band; a third evicts the oldest.
constexpr int CACHE_SLOTS = 4;

// Written pixels of one image row, consecutive, with their values from `firstValue` on.
struct Run {
  int row, column, length;
  size_t firstValue;
};

struct CachedImage {
  SurfaceKey key;
  bool copyable;  // false: SDL draws it
  std::vector<Run> runs;
  std::vector<uint32_t> values;
};

CachedImage cache[CACHE_SLOTS];
int nextSlot;

uint32_t* scratchRow(SDL_Surface* scratch, int y) {
  return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(scratch->pixels) + scratch->pitch * y);
}

void fillScratch(SDL_Surface* scratch, uint32_t value) {
  for (int y = 0; y < scratch->h; ++y) std::fill_n(scratchRow(scratch, y), scratch->w, value);
}

bool blitOntoScratch(SDL_Surface* image, SDL_Surface* scratch, uint32_t fill) {
  fillScratch(scratch, fill);
  SDL_Rect origin{0, 0, 0, 0};
  return SDL_UpperBlit(image, nullptr, scratch, &origin) == 0;
}

// Marks each pixel left alone (0) or written (1) from the first two fills, then checks the
// marks against the third; false when a pixel fits neither.
bool markWrites(SDL_Surface* image, SDL_Surface* first, SDL_Surface* other,
                std::vector<uint8_t>& written) {
  for (int k = 1; k < FILL_COUNT; ++k) {
    if (!blitOntoScratch(image, other, SCRATCH_FILLS[k])) return false;
    for (int y = 0; y < image->h; ++y) {
      const uint32_t* base = scratchRow(first, y);
      const uint32_t* row = scratchRow(other, y);
      uint8_t* marks = written.data() + size_t(y) * size_t(image->w);
      for (int x = 0; x < image->w; ++x) {
        const bool leftAlone = base[x] == SCRATCH_FILLS[0] && row[x] == SCRATCH_FILLS[k];
        const bool sameValue = base[x] == row[x];
        if (k == 1 && (leftAlone || sameValue)) {
          marks[x] = sameValue;
        } else if (k == 1 || !(marks[x] ? sameValue : leftAlone)) {
          return false;
        }
      }
    }
  }
  return true;
}

// The runs of written pixels and their values, as the first fill's result holds them.
bool readRuns(SDL_Surface* image, SDL_Surface* first, SDL_Surface* other, CachedImage& out) {
  std::vector<uint8_t> written(size_t(image->w) * size_t(image->h));
  if (!markWrites(image, first, other, written)) return false;
  for (int y = 0; y < image->h; ++y) {
    const uint32_t* values = scratchRow(first, y);
    const uint8_t* marks = written.data() + size_t(y) * size_t(image->w);
    for (int x = 0; x < image->w;) {
      if (!marks[x]) {
        ++x;
        continue;
      }
      Run run{y, x, 0, out.values.size()};
      for (; x < image->w && marks[x]; ++x) {
        out.values.push_back(values[x]);
        ++run.length;
      }
      out.runs.push_back(run);
    }
  }
  return true;
}

void build(CachedImage& entry, SDL_Surface* image) {
  holdSurfaceKey(entry.key, image, Screen);
  entry.copyable = false;
  entry.runs.clear();
  entry.values.clear();
  if (Screen->flags & SDL_HWSURFACE) return;
  SDL_Surface* first = makeScratchLike(Screen, image->w, image->h);
  SDL_Surface* other = makeScratchLike(Screen, image->w, image->h);
  if (first != nullptr && other != nullptr && blitOntoScratch(image, first, SCRATCH_FILLS[0])) {
    entry.copyable = readRuns(image, first, other, entry);
  }
  if (!entry.copyable) {
    entry.runs = std::vector<Run>();
    entry.values = std::vector<uint32_t>();
  }
  SDL_FreeSurface(first);
  SDL_FreeSurface(other);
}

CachedImage& entryFor(SDL_Surface* image) {
  for (CachedImage& entry : cache) {
    if (surfaceKeyMatches(entry.key, image, Screen)) return entry;
  }
  CachedImage& entry = cache[nextSlot];
  nextSlot = (nextSlot + 1) % CACHE_SLOTS;
  build(entry, image);
  return entry;
}

void copyRuns(const CachedImage& entry, int x, int y) {
  const SDL_Rect& clip = Screen->clip_rect;
  const int top = std::max(int(clip.y), y);
  const int bottom = std::min(clip.y + int(clip.h), y + entry.key.height);
  const int left = clip.x;
  const int right = clip.x + int(clip.w);
  if (top >= bottom) return;
  const SurfacePixelLock lock(Screen);
  if (!lock.ok) return;
  uint8_t* pixels = static_cast<uint8_t*>(Screen->pixels);
  for (const Run& run : entry.runs) {
    const int screenY = y + run.row;
    if (screenY < top || screenY >= bottom) continue;
    const int from = std::max(x + run.column, left);
    const int to = std::min(x + run.column + run.length, right);
    if (from >= to) continue;
    const uint32_t* values = entry.values.data() + run.firstValue + (from - x - run.column);
    std::memcpy(pixels + Screen->pitch * screenY + sizeof(uint32_t) * from, values,
                sizeof(uint32_t) * size_t(to - from));
  }
}

}  // namespace

void blitKeyedImage(SDL_Surface* image, int x, int y) {
  if (image == nullptr || Screen == nullptr) return;
  SDL_Rect destination{Sint16(x), Sint16(y), 0, 0};
  if (!keyedBlitMayCopy || Screen->format->BytesPerPixel != sizeof(uint32_t)) {
    SDL_UpperBlit(image, nullptr, Screen, &destination);
    return;
  }
  const CachedImage& entry = entryFor(image);
  if (!entry.copyable) {
    SDL_UpperBlit(image, nullptr, Screen, &destination);
    return;
  }
  copyRuns(entry, destination.x, destination.y);
}
