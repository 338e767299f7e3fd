// platform/alpha_blit.cpp -- per-pixel alpha blits onto Screen by a vector loop, checked once per
// image against SDL on every colour of the image and every value of each screen channel.
#include "platform/alpha_blit.h"

#include "app/screen.h"
#include "platform/pixels.h"
#include "platform/surface_cache.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define HAVE_AVX2_BLEND 1
#else
#define HAVE_AVX2_BLEND 0
#endif

bool alphaBlitMayBlend = true;

namespace {

constexpr uint32_t ALPHA_MASK = 0xFF000000u;
constexpr uint32_t COLOUR_MASK = 0x00FFFFFFu;
constexpr int ALPHA_SHIFT = 24;
constexpr uint32_t OPAQUE = 255;
constexpr int BYTE_VALUES = 256;
constexpr int CHANNEL_BITS = 8;
constexpr uint32_t CHANNEL_MASK = 0xFF;
constexpr int BLEND_SHIFT = 8;  // the blend divides by 256
constexpr int CACHE_SLOTS = 8;

// The screen value of probe column v: a different walk through all 256 values in each byte, so
// that each channel meets every value whatever the others hold; the unused top byte too.
constexpr uint32_t PROBE_STEPS[4] = {1, 7, 255, 13};  // odd: each walk visits every value

uint32_t probeScreenValue(int v) {
  uint32_t value = 0;
  for (int byte = 0; byte < 4; ++byte) {
    value |= (uint32_t(v) * PROBE_STEPS[byte] & CHANNEL_MASK) << (CHANNEL_BITS * byte);
  }
  return value;
}

uint32_t blendChannel(uint32_t colour, uint32_t screen, uint32_t alpha) {
  return (colour * alpha + screen * (BYTE_VALUES - alpha)) >> BLEND_SHIFT;
}

// The program's blend of one pixel: what SDL has to agree with.
uint32_t blendPixel(uint32_t source, uint32_t screen) {
  const uint32_t alpha = source >> ALPHA_SHIFT;
  if (alpha == OPAQUE) return (screen & ALPHA_MASK) | (source & COLOUR_MASK);
  uint32_t result = screen & ALPHA_MASK;
  for (int shift = 0; shift < ALPHA_SHIFT; shift += CHANNEL_BITS) {
    result |= blendChannel(source >> shift & CHANNEL_MASK, screen >> shift & CHANNEL_MASK, alpha)
              << shift;
  }
  return result;
}

struct CheckedImage {
  SurfaceKey key;
  bool blendable;
};

CheckedImage cache[CACHE_SLOTS];
int nextSlot;

uint32_t* rowOf(SDL_Surface* surface, int y) {
  return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) + surface->pitch * y);
}

// Byte-sized red, green and blue where the screen has them, alpha in the top byte.
bool formatsFit(const SDL_Surface* image) {
  const SDL_PixelFormat* f = image->format;
  const SDL_PixelFormat* s = Screen->format;
  return f->BytesPerPixel == 4 && s->BytesPerPixel == 4 && f->Amask == ALPHA_MASK &&
         s->Amask == 0 && f->Rmask == s->Rmask && f->Gmask == s->Gmask && f->Bmask == s->Bmask &&
         (f->Rmask | f->Gmask | f->Bmask) == COLOUR_MASK && f->Rloss == 0 && f->Gloss == 0 &&
         f->Bloss == 0 && (image->flags & SDL_SRCALPHA) && !(image->flags & SDL_SRCCOLORKEY) &&
         !(image->flags & (SDL_RLEACCEL | SDL_RLEACCELOK)) &&
         !(Screen->flags & SDL_HWSURFACE);
}

std::vector<uint32_t> distinctColours(SDL_Surface* image) {
  std::vector<uint32_t> colours;
  const SurfacePixelLock lock(image);
  if (!lock.ok) return colours;
  for (int y = 0; y < image->h; ++y) {
    const uint32_t* row = rowOf(image, y);
    colours.insert(colours.end(), row, row + image->w);
  }
  std::sort(colours.begin(), colours.end());
  colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
  return colours;
}

// SDL blits a probe image, one row per colour of `image` and one column per screen value, onto
// a scratch surface of Screen's format; true when every result is blendPixel's.
bool sdlBlendsLikeUs(SDL_Surface* image) {
  const std::vector<uint32_t> colours = distinctColours(image);
  if (colours.empty()) return false;
  const SDL_PixelFormat* f = image->format;
  SDL_Surface* probe = SDL_CreateRGBSurface(SDL_SWSURFACE, BYTE_VALUES,
                                            int(colours.size()), 32, f->Rmask, f->Gmask,
                                            f->Bmask, f->Amask);
  SDL_Surface* scratch = makeScratchLike(Screen, BYTE_VALUES, int(colours.size()));
  bool same = probe != nullptr && scratch != nullptr &&
              SDL_SetAlpha(probe, image->flags & SDL_SRCALPHA, image->format->alpha) == 0;
  if (same) {
    for (int y = 0; y < probe->h; ++y) {
      std::fill_n(rowOf(probe, y), BYTE_VALUES, colours[size_t(y)]);
      for (int v = 0; v < BYTE_VALUES; ++v) rowOf(scratch, y)[v] = probeScreenValue(v);
    }
    SDL_Rect origin{0, 0, 0, 0};
    same = SDL_UpperBlit(probe, nullptr, scratch, &origin) == 0;
  }
  for (int y = 0; same && y < int(colours.size()); ++y) {
    const uint32_t* row = rowOf(scratch, y);
    for (int v = 0; v < BYTE_VALUES && same; ++v) {
      same = row[v] == blendPixel(colours[size_t(y)], probeScreenValue(v));
    }
  }
  SDL_FreeSurface(probe);
  SDL_FreeSurface(scratch);
  return same;
}

const CheckedImage& entryFor(SDL_Surface* image) {
  for (const CheckedImage& entry : cache) {
    if (surfaceKeyMatches(entry.key, image, Screen)) return entry;
  }
  CheckedImage& entry = cache[nextSlot];
  nextSlot = (nextSlot + 1) % CACHE_SLOTS;
  holdSurfaceKey(entry.key, image, Screen);
  entry.blendable = formatsFit(image) && sdlBlendsLikeUs(image);
  return entry;
}

// SDL_UpperBlit's clipping along one axis: the part to the image's extent, then the place to
// the clip rectangle's. `source` and `place` are the first pixel in the image and on the screen.
struct AxisSpan {
  int source, place, length;
};

AxisSpan clipAxis(AxisSpan span, int imageExtent, bool clipToImage, int clipStart,
                  int clipLength) {
  if (clipToImage) {
    if (span.source < 0) {
      span.length += span.source;
      span.place -= span.source;
      span.source = 0;
    }
    span.length = std::min(span.length, imageExtent - span.source);
  }
  if (const int cut = clipStart - span.place; cut > 0) {
    span.length -= cut;
    span.place += cut;
    span.source += cut;
  }
  if (const int cut = span.place + span.length - clipStart - clipLength; cut > 0) {
    span.length -= cut;
  }
  return span;
}

struct Span {
  AxisSpan x, y;
};

Span clipLikeSdl(const SDL_Surface* image, const SDL_Rect* part, int x, int y) {
  const SDL_Rect whole{0, 0, Uint16(image->w), Uint16(image->h)};
  const SDL_Rect& from = part != nullptr ? *part : whole;
  const SDL_Rect& clip = Screen->clip_rect;
  return Span{clipAxis({from.x, x, from.w}, image->w, part != nullptr, clip.x, clip.w),
              clipAxis({from.y, y, from.h}, image->h, part != nullptr, clip.y, clip.h)};
}

void blendRowPlain(const uint32_t* source, uint32_t* screen, int count) {
  for (int i = 0; i < count; ++i) screen[i] = blendPixel(source[i], screen[i]);
}

#if HAVE_AVX2_BLEND
constexpr int AVX2_PIXELS = 8;

// Eight pixels: per channel (colour * alpha + screen * (256 - alpha)) >> 8 in 16-bit lanes (at
// most 255 * 256, so nothing overflows), the colour itself where alpha is 255, and the screen's
// top byte kept.
__attribute__((target("avx2"))) inline __m256i blendEight(__m256i s, __m256i d) {
  const __m256i alphaToChannels = _mm256_setr_epi8(
      3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15,
      3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i whole = _mm256_set1_epi16(BYTE_VALUES);
  const __m256i topByte = _mm256_set1_epi32(int32_t(ALPHA_MASK));
  const __m256i alpha = _mm256_shuffle_epi8(s, alphaToChannels);
  const __m256i alphaLow = _mm256_unpacklo_epi8(alpha, zero);
  const __m256i alphaHigh = _mm256_unpackhi_epi8(alpha, zero);
  const __m256i low = _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), alphaLow),
                       _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero),
                                          _mm256_sub_epi16(whole, alphaLow))),
      BLEND_SHIFT);
  const __m256i high = _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), alphaHigh),
                       _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero),
                                          _mm256_sub_epi16(whole, alphaHigh))),
      BLEND_SHIFT);
  const __m256i blended = _mm256_packus_epi16(low, high);
  const __m256i isOpaque = _mm256_cmpeq_epi32(_mm256_and_si256(s, topByte), topByte);
  const __m256i colour = _mm256_blendv_epi8(blended, s, isOpaque);
  return _mm256_or_si256(_mm256_andnot_si256(topByte, colour), _mm256_and_si256(topByte, d));
}

// A row eight pixels at a time. A row of eight or more ends with eight that overlap the ones
// before, blended from the screen as it was before any of the row was stored; a shorter row goes
// under a lane mask, which neither reads nor writes the lanes past it.
__attribute__((target("avx2"))) void blendRowAvx2(const uint32_t* source, uint32_t* screen,
                                                  int count) {
  if (count < AVX2_PIXELS) {
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i inRow = _mm256_cmpgt_epi32(_mm256_set1_epi32(count), lanes);
    const __m256i s = _mm256_maskload_epi32(reinterpret_cast<const int*>(source), inRow);
    const __m256i d = _mm256_maskload_epi32(reinterpret_cast<const int*>(screen), inRow);
    _mm256_maskstore_epi32(reinterpret_cast<int*>(screen), inRow, blendEight(s, d));
    return;
  }
  const int last = count - AVX2_PIXELS;
  const __m256i lastResult = blendEight(
      _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + last)),
      _mm256_loadu_si256(reinterpret_cast<const __m256i*>(screen + last)));
  for (int i = 0; i < last; i += AVX2_PIXELS) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(screen + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(screen + i), blendEight(s, d));
  }
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(screen + last), lastResult);
}
#endif

void blendSpan(SDL_Surface* image, const Span& span) {
  const SurfacePixelLock screenLock(Screen);
  const SurfacePixelLock imageLock(image);
  if (!screenLock.ok || !imageLock.ok) return;
#if HAVE_AVX2_BLEND
  const bool wide = __builtin_cpu_supports("avx2");
#endif
  for (int row = 0; row < span.y.length; ++row) {
    const uint32_t* source = rowOf(image, span.y.source + row) + span.x.source;
    uint32_t* screen = rowOf(Screen, span.y.place + row) + span.x.place;
#if HAVE_AVX2_BLEND
    if (wide) {
      blendRowAvx2(source, screen, span.x.length);
      continue;
    }
#endif
    blendRowPlain(source, screen, span.x.length);
  }
}

}  // namespace

void blitAlphaImage(SDL_Surface* image, const SDL_Rect* part, int x, int y) {
  if (image == nullptr || Screen == nullptr) return;
  SDL_Rect place{Sint16(x), Sint16(y), 0, 0};
  if (!alphaBlitMayBlend || !entryFor(image).blendable) {
    SDL_Rect source = part != nullptr ? *part : SDL_Rect{};
    SDL_UpperBlit(image, part != nullptr ? &source : nullptr, Screen, &place);
    return;
  }
  const Span span = clipLikeSdl(image, part, place.x, place.y);
  if (span.x.length > 0 && span.y.length > 0) blendSpan(image, span);
}
