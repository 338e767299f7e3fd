// overlay/backdrop.cpp -- the blurred, lightened pause backdrop: captured once when the overlay
// leaves Away, then blended with the unprocessed snapshot by the fade in every visible frame.
//
// In this file, in order: the picture's geometry; pixel formats and their exact conversions; the
// portable kernels (plain loops, any pixel format); the vector kernels, chosen at run time by what
// the processor has (AVX2 transpositions for 32-bit pixels whose colours are whole bytes, and an
// AVX2 or AVX-512 blur); the choice of kernel; the capture's smaller steps; the capture; the blend.
//
// Both buffers are column-major (one step in y is 3 bytes, one step in x is 1,440) while the
// surfaces are row-major, so every conversion between them is a transposition. The vector
// kernels work on tiles of 8 columns by 16 rows: each 128-bit lane carries 16 rows of one column
// (48 bytes), and a 4 by 4 transposition of 32-bit pixels turns four such lanes into rows. The
// tiles go along strips of 16 rows: the surfaces are then read or written row after row, while a
// walk down the columns of a surface would fall into few cache sets (its pitch is 2,560 bytes).
#include "overlay/backdrop.h"

#include "app/screen.h"
#include "overlay/driver.h"
#include "overlay/images.h"
#include "platform/pixels.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define BACKDROP_HAS_AVX2_KERNELS 1
#define AVX2_KERNEL __attribute__((target("avx2")))
#define AVX512_KERNEL __attribute__((target("avx512bw")))
#else
#define BACKDROP_HAS_AVX2_KERNELS 0
#endif

uint8_t backdropPixels[BACKDROP_BYTES];
uint8_t snapshotPixels[BACKDROP_BYTES];

namespace {

// ---- The picture's geometry -------------------------------------------------------------------

constexpr int PICTURE_WIDTH = SCREEN_WIDTH;
constexpr int PICTURE_HEIGHT = SCREEN_HEIGHT;
constexpr int CHANNELS = 3;  // red, green, blue bytes, in that order
constexpr int COLUMN_BYTES = PICTURE_HEIGHT * CHANNELS;
constexpr int BYTE_VALUES = 256;

constexpr int bufferIndex(int x, int y) { return (x * PICTURE_HEIGHT + y) * CHANNELS; }

// One blur pass: each pixel of the region (distance from every edge) becomes, channel by
// channel, the average of its four neighbours at `distance` in the source, rounded down, or
// rounded up from a half in the one pass that adds 1 to the sum before dividing.
struct BlurPass {
  bool fromBackdrop;  // source backdropPixels, destination snapshotPixels; else the reverse
  int distance;
  int sumBias;        // 0 or 1, added to the sum of four before the division by 4
};

constexpr BlurPass BLUR_PASSES[] = {
    {true, 3, 0}, {false, 3, 1}, {true, 1, 0}, {false, 1, 0}, {true, 1, 0}, {false, 1, 0},
};
constexpr int BLUR_PASS_COUNT = sizeof BLUR_PASSES / sizeof BLUR_PASSES[0];
// The first pass rewrites all of snapshotPixels but this margin, so only the margin needs the
// copy of the snapshot that the blur starts from.
constexpr int FIRST_PASS_MARGIN = BLUR_PASSES[0].distance;

// Lightening: every channel raised by 50, then held between 100 and 255.
constexpr int LIGHTEN_RAISE = 50;
constexpr int LIGHTEN_FLOOR = 100;
constexpr int CHANNEL_MAX = 255;

constexpr uint8_t lightened(int channel) {
  return uint8_t(std::min(CHANNEL_MAX, std::max(LIGHTEN_FLOOR, channel + LIGHTEN_RAISE)));
}

// The blend divides by 100 through a multiply and a shift, exact for every sum up to
// 255 * 100: floor(n / 100) == (n * 41944) >> 22 for all n below 43,690.
constexpr int FADE_PARTS = 100;
constexpr uint32_t DIVIDE_BY_PARTS_FACTOR = 41944;
constexpr int DIVIDE_BY_PARTS_SHIFT = 22;
constexpr int HIGH_HALF_SHIFT = 16;  // the vector multiply keeps the high 16 bits of 32

BackdropKernels kernelsAllowed = BackdropKernels::Fastest;

bool pictureSized(const SDL_Surface* surface) {
  return surface != nullptr && surface->w >= PICTURE_WIDTH && surface->h >= PICTURE_HEIGHT;
}

enum class KernelLevel { Portable, Avx2, Avx512 };

// The fastest kernels that the processor runs and the test seam allows.
KernelLevel kernelLevel() {
#if BACKDROP_HAS_AVX2_KERNELS
  if (kernelsAllowed == BackdropKernels::Portable || !__builtin_cpu_supports("avx2"))
    return KernelLevel::Portable;
  if (kernelsAllowed == BackdropKernels::Avx2 || !__builtin_cpu_supports("avx512bw"))
    return KernelLevel::Avx2;
  return KernelLevel::Avx512;
#else
  return KernelLevel::Portable;
#endif
}

bool useAvx2Kernels() { return kernelLevel() != KernelLevel::Portable; }

// ---- Pixel formats ----------------------------------------------------------------------------

struct ChannelLayout {
  uint32_t mask;
  int shift;
  int loss;
};

void channelLayouts(const SDL_PixelFormat* format, ChannelLayout out[CHANNELS]) {
  out[0] = {format->Rmask, format->Rshift, format->Rloss};
  out[1] = {format->Gmask, format->Gshift, format->Gloss};
  out[2] = {format->Bmask, format->Bshift, format->Bloss};
}

// Red, green and blue of a pixel value exactly as SDL_GetRGB gives them, looked up per channel:
// for a palette the value itself indexes all three tables, for true colour each channel's field.
struct PixelDecoder {
  uint32_t mask[CHANNELS];
  int shift[CHANNELS];
  uint8_t table[CHANNELS][BYTE_VALUES];
  bool perPixelCall;  // fields wider than a byte: SDL_GetRGB is asked for every pixel
};

void makeDecoder(const SDL_PixelFormat* format, PixelDecoder& decoder) {
  const bool palette = format->palette != nullptr;
  ChannelLayout layout[CHANNELS];
  channelLayouts(format, layout);
  decoder.perPixelCall = false;
  for (int channel = 0; channel < CHANNELS; ++channel) {
    decoder.mask[channel] = palette ? 0xFFu : layout[channel].mask;
    decoder.shift[channel] = palette ? 0 : layout[channel].shift;
    if ((decoder.mask[channel] >> decoder.shift[channel]) >= uint32_t(BYTE_VALUES))
      decoder.perPixelCall = true;
  }
  if (decoder.perPixelCall) return;
  // Indices past a short palette never occur in its pixels; they read as black.
  const int colours = palette ? format->palette->ncolors : BYTE_VALUES;
  for (int value = 0; value < BYTE_VALUES; ++value) {
    for (int channel = 0; channel < CHANNELS; ++channel) {
      Uint8 rgb[CHANNELS] = {};
      const uint32_t pixel = (uint32_t(value) << decoder.shift[channel]) & decoder.mask[channel];
      if (value < colours) SDL_GetRGB(pixel, format, &rgb[0], &rgb[1], &rgb[2]);
      decoder.table[channel][value] = rgb[channel];
    }
  }
}

inline void decodePixel(const PixelDecoder& decoder, const SDL_PixelFormat* format,
                        uint32_t pixel, uint8_t* rgb) {
  if (decoder.perPixelCall) {
    SDL_GetRGB(pixel, format, &rgb[0], &rgb[1], &rgb[2]);
    return;
  }
  for (int channel = 0; channel < CHANNELS; ++channel)
    rgb[channel] = decoder.table[channel][(pixel & decoder.mask[channel]) >> decoder.shift[channel]];
}

// Pixel values exactly as SDL_MapRGB gives them. True colour is the OR of one table entry per
// channel; a palette asks SDL for each colour, remembering the last one (pictures repeat a lot).
struct PixelEncoder {
  const SDL_PixelFormat* format;
  bool palette;
  uint32_t table[CHANNELS][BYTE_VALUES];
  uint32_t lastColour;  // 0xRRGGBB of lastPixel, or ~0 before the first
  uint32_t lastPixel;
};

void makeEncoder(const SDL_PixelFormat* format, PixelEncoder& encoder) {
  encoder.format = format;
  encoder.palette = format->palette != nullptr;
  encoder.lastColour = ~0u;
  encoder.lastPixel = 0;
  if (encoder.palette) return;
  for (int value = 0; value < BYTE_VALUES; ++value) {
    const Uint8 v = Uint8(value);
    encoder.table[0][value] = SDL_MapRGB(format, v, 0, 0);
    encoder.table[1][value] = SDL_MapRGB(format, 0, v, 0);
    encoder.table[2][value] = SDL_MapRGB(format, 0, 0, v);
  }
}

inline uint32_t encodePixel(PixelEncoder& encoder, const uint8_t* rgb) {
  if (!encoder.palette)
    return encoder.table[0][rgb[0]] | encoder.table[1][rgb[1]] | encoder.table[2][rgb[2]];
  const uint32_t colour = uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2];
  if (colour != encoder.lastColour) {
    encoder.lastColour = colour;
    encoder.lastPixel = SDL_MapRGB(encoder.format, rgb[0], rgb[1], rgb[2]);
  }
  return encoder.lastPixel;
}

// A 32-bit format whose red, green and blue are each one whole byte of the pixel value, so that
// the vector kernels can move bytes. `channelByte` gives the byte of each channel.
bool byteChannelLayout(const SDL_PixelFormat* format, int channelByte[CHANNELS]) {
  if (format->BytesPerPixel != 4 || format->palette != nullptr) return false;
  ChannelLayout layout[CHANNELS];
  channelLayouts(format, layout);
  for (int channel = 0; channel < CHANNELS; ++channel) {
    const ChannelLayout& c = layout[channel];
    if (c.loss != 0 || c.shift % 8 != 0 || c.mask != 0xFFu << c.shift) return false;
    channelByte[channel] = c.shift / 8;
  }
  return true;
}

// The byte layout holds for SDL's own conversions too: checked once per call with one probe
// each way, so that the vector kernels are only used where they give what SDL gives.
bool sdlAgreesWithByteLayout(SDL_PixelFormat* format, const int channelByte[CHANNELS],
                             uint32_t* extraBits) {
  const uint8_t probe[CHANNELS] = {0x12, 0xA7, 0x5C};
  uint32_t packed = 0;
  for (int channel = 0; channel < CHANNELS; ++channel)
    packed |= uint32_t(probe[channel]) << (8 * channelByte[channel]);
  Uint8 rgb[CHANNELS];
  SDL_GetRGB(packed, format, &rgb[0], &rgb[1], &rgb[2]);
  *extraBits = SDL_MapRGB(format, 0, 0, 0);
  return std::memcmp(rgb, probe, CHANNELS) == 0 &&
         SDL_MapRGB(format, probe[0], probe[1], probe[2]) == (packed | *extraBits);
}

// ---- Portable kernels -------------------------------------------------------------------------

// The portable conversions go along strips of rows, like the vector kernels, and down each
// column within a strip, the buffers' own order.
constexpr int STRIP_ROWS = 16;
constexpr int PORTABLE_CHUNK = 16;

void decodePicturePortable(const SDL_Surface* surface, uint8_t* out) {
  PixelDecoder decoder;
  makeDecoder(surface->format, decoder);
  const int bytesPerPixel = surface->format->BytesPerPixel;
  for (int strip = 0; strip < PICTURE_HEIGHT; strip += STRIP_ROWS) {
    for (int x = 0; x < PICTURE_WIDTH; ++x) {
      for (int y = strip; y < strip + STRIP_ROWS; ++y) {
        const uint32_t pixel = readPixelAt(pixelAddress(surface, x, y), bytesPerPixel);
        decodePixel(decoder, surface->format, pixel, out + bufferIndex(x, y));
      }
    }
  }
}

void encodePicturePortable(const uint8_t* picture, SDL_Surface* surface) {
  PixelEncoder encoder;
  makeEncoder(surface->format, encoder);
  const int bytesPerPixel = surface->format->BytesPerPixel;
  for (int strip = 0; strip < PICTURE_HEIGHT; strip += STRIP_ROWS) {
    for (int x = 0; x < PICTURE_WIDTH; ++x) {
      for (int y = strip; y < strip + STRIP_ROWS; ++y) {
        writePixelAt(pixelAddress(surface, x, y), bytesPerPixel,
                     encodePixel(encoder, picture + bufferIndex(x, y)));
      }
    }
  }
}

void blurPassPortable(const uint8_t* source, uint8_t* destination, const BlurPass& pass,
                      bool lightenAfter) {
  const int across = pass.distance * COLUMN_BYTES;
  const int along = pass.distance * CHANNELS;
  const int length = (PICTURE_HEIGHT - 2 * pass.distance) * CHANNELS;
  for (int x = pass.distance; x < PICTURE_WIDTH - pass.distance; ++x) {
    const uint8_t* from = source + bufferIndex(x, pass.distance);
    uint8_t* to = destination + bufferIndex(x, pass.distance);
    // Fixed chunks of 16 bytes, the last one moved back to end at the column's end, give the
    // compiler loops that it turns into vector code on its own.
    for (int start = 0; start < length; start += PORTABLE_CHUNK) {
      const int at = std::min(start, length - PORTABLE_CHUNK);
      uint8_t result[PORTABLE_CHUNK];
      for (int i = 0; i < PORTABLE_CHUNK; ++i) {
        const int j = at + i;
        const int sum = from[j - across] + from[j + across] + from[j - along] + from[j + along];
        result[i] = uint8_t((sum + pass.sumBias) >> 2);
      }
      if (lightenAfter) {
        for (uint8_t& value : result) value = lightened(value);
      }
      std::memcpy(to + at, result, PORTABLE_CHUNK);
    }
  }
}

// The literal inline packing of the blend, for any true-colour format; a palette display maps
// each mixed colour with SDL_MapRGB instead.
struct BlendPacker {
  ChannelLayout layout[CHANNELS];
  bool palette;
  PixelEncoder paletteEncoder;
};

inline uint32_t packMixed(BlendPacker& packer, const uint8_t* mixed) {
  if (packer.palette) return encodePixel(packer.paletteEncoder, mixed);
  uint32_t pixel = 0;
  for (int channel = 0; channel < CHANNELS; ++channel)
    pixel |= uint32_t(mixed[channel] >> packer.layout[channel].loss) << packer.layout[channel].shift;
  return pixel;
}

// Mixes the bytes of one column's strip (a fixed-size loop the compiler turns into vector code),
// then packs and stores them pixel by pixel.
void blendPicturePortable(int weight, SDL_Surface* screen) {
  BlendPacker packer;
  channelLayouts(screen->format, packer.layout);
  packer.palette = screen->format->palette != nullptr;
  if (packer.palette) makeEncoder(screen->format, packer.paletteEncoder);
  const int bytesPerPixel = screen->format->BytesPerPixel;
  constexpr int STRIP_BYTES = STRIP_ROWS * CHANNELS;
  for (int strip = 0; strip < PICTURE_HEIGHT; strip += STRIP_ROWS) {
    for (int x = 0; x < PICTURE_WIDTH; ++x) {
      const int first = bufferIndex(x, strip);
      uint8_t mixed[STRIP_BYTES];
      for (int i = 0; i < STRIP_BYTES; ++i) {
        mixed[i] = uint8_t((backdropPixels[first + i] * weight +
                            snapshotPixels[first + i] * (FADE_PARTS - weight)) / FADE_PARTS);
      }
      for (int row = 0; row < STRIP_ROWS; ++row) {
        writePixelAt(pixelAddress(screen, x, strip + row), bytesPerPixel,
                     packMixed(packer, mixed + CHANNELS * row));
      }
    }
  }
}

// ---- Vector kernels ---------------------------------------------------------------------------

#if BACKDROP_HAS_AVX2_KERNELS

constexpr int TILE_COLUMNS = 8;   // two lanes of four columns
constexpr int TILE_ROWS = 16;     // 48 bytes of a column: three 16-byte vectors per lane
constexpr int LANE_COLUMNS = 4;   // the high lane holds the columns four to the right
constexpr int ZERO_BYTE = 0x80;   // a byte-shuffle index that yields 0

// Byte-shuffle controls for one lane. Unpacking: four pixel values (16 bytes) to their twelve
// colour bytes, red first. Packing: twelve colour bytes to four pixel values, other bytes 0.
AVX2_KERNEL __m256i unpackControl(const int channelByte[CHANNELS]) {
  alignas(32) uint8_t control[32];
  for (int lane = 0; lane < 2; ++lane) {
    for (int i = 0; i < 16; ++i) {
      const int pixel = i / CHANNELS;
      control[16 * lane + i] =
          uint8_t(i < 4 * CHANNELS ? 4 * pixel + channelByte[i % CHANNELS] : ZERO_BYTE);
    }
  }
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(control));
}

AVX2_KERNEL __m256i packControl(const int channelByte[CHANNELS]) {
  alignas(32) uint8_t control[32];
  std::memset(control, ZERO_BYTE, sizeof control);
  for (int lane = 0; lane < 2; ++lane) {
    for (int pixel = 0; pixel < 4; ++pixel) {
      for (int channel = 0; channel < CHANNELS; ++channel)
        control[16 * lane + 4 * pixel + channelByte[channel]] = uint8_t(CHANNELS * pixel + channel);
    }
  }
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(control));
}

// Four vectors of [4 values of A | 4 values of B] become their transposition, lane by lane:
// element j of vector i trades places with element i of vector j.
AVX2_KERNEL inline void transpose4x4(__m256i v[4]) {
  const __m256i t0 = _mm256_unpacklo_epi32(v[0], v[1]);
  const __m256i t1 = _mm256_unpacklo_epi32(v[2], v[3]);
  const __m256i t2 = _mm256_unpackhi_epi32(v[0], v[1]);
  const __m256i t3 = _mm256_unpackhi_epi32(v[2], v[3]);
  v[0] = _mm256_unpacklo_epi64(t0, t1);
  v[1] = _mm256_unpackhi_epi64(t0, t1);
  v[2] = _mm256_unpacklo_epi64(t2, t3);
  v[3] = _mm256_unpackhi_epi64(t2, t3);
}

AVX2_KERNEL inline __m256i load32(const uint8_t* at) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

AVX2_KERNEL inline __m256i loadColumnPair(const uint8_t* low, const uint8_t* high) {
  return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(high),
                             reinterpret_cast<const __m128i*>(low));
}

// Surface rows to the column-major buffer, colours as SDL_GetRGB gives them for this layout.
AVX2_KERNEL void decodePictureAvx2(const SDL_Surface* surface, const int channelByte[CHANNELS],
                                   uint8_t* out) {
  const __m256i control = unpackControl(channelByte);
  const uint8_t* pixels = static_cast<const uint8_t*>(surface->pixels);
  for (int y0 = 0; y0 < PICTURE_HEIGHT; y0 += TILE_ROWS) {
    for (int x0 = 0; x0 < PICTURE_WIDTH; x0 += TILE_COLUMNS) {
      __m256i bytes[LANE_COLUMNS][4];  // [column in lane][group of four rows]: 12 bytes a lane
      #pragma GCC unroll 4
      for (int group = 0; group < 4; ++group) {
        __m256i v[4];
        #pragma GCC unroll 4
        for (int row = 0; row < 4; ++row) {
          const uint8_t* at = pixels + surface->pitch * (y0 + 4 * group + row) + 4 * x0;
          v[row] = load32(at);
        }
        transpose4x4(v);
        #pragma GCC unroll 4
        for (int column = 0; column < LANE_COLUMNS; ++column)
          bytes[column][group] = _mm256_shuffle_epi8(v[column], control);
      }
      #pragma GCC unroll 4
      for (int column = 0; column < LANE_COLUMNS; ++column) {
        const __m256i* g = bytes[column];
        const __m256i part[3] = {
            _mm256_or_si256(g[0], _mm256_bslli_epi128(g[1], 12)),
            _mm256_or_si256(_mm256_bsrli_epi128(g[1], 4), _mm256_bslli_epi128(g[2], 8)),
            _mm256_or_si256(_mm256_bsrli_epi128(g[2], 8), _mm256_bslli_epi128(g[3], 4)),
        };
        uint8_t* low = out + bufferIndex(x0 + column, y0);
        uint8_t* high = out + bufferIndex(x0 + column + LANE_COLUMNS, y0);
        #pragma GCC unroll 4
        for (int k = 0; k < 3; ++k) {
          _mm256_storeu2_m128i(reinterpret_cast<__m128i*>(high + 16 * k),
                               reinterpret_cast<__m128i*>(low + 16 * k), part[k]);
        }
      }
    }
  }
}

// floor((backdrop * weight + snapshot * (100 - weight)) / 100) for 32 bytes of each.
AVX2_KERNEL inline __m256i blendBytes(__m256i backdrop, __m256i snapshot, __m256i weights) {
  const __m256i factor = _mm256_set1_epi16(int16_t(DIVIDE_BY_PARTS_FACTOR));
  const int shift = DIVIDE_BY_PARTS_SHIFT - HIGH_HALF_SHIFT;
  __m256i low = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(backdrop, snapshot), weights);
  __m256i high = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(backdrop, snapshot), weights);
  low = _mm256_srli_epi16(_mm256_mulhi_epu16(low, factor), shift);
  high = _mm256_srli_epi16(_mm256_mulhi_epu16(high, factor), shift);
  return _mm256_packus_epi16(low, high);
}

// The column-major buffer (or, with `blend`, the blend of both buffers by `weight`) into surface
// rows: each pixel value is its channel bytes in their places, ORed with `extraBits`.
AVX2_KERNEL void packPictureAvx2(const uint8_t* backdrop, const uint8_t* snapshot, bool blend,
                                 int weight, SDL_Surface* surface,
                                 const int channelByte[CHANNELS], uint32_t extraBits) {
  const __m256i control = packControl(channelByte);
  const __m256i extra = _mm256_set1_epi32(int32_t(extraBits));
  const __m256i weights = _mm256_set1_epi16(int16_t(weight | (FADE_PARTS - weight) << 8));
  uint8_t* pixels = static_cast<uint8_t*>(surface->pixels);
  for (int y0 = 0; y0 < PICTURE_HEIGHT; y0 += TILE_ROWS) {
    for (int x0 = 0; x0 < PICTURE_WIDTH; x0 += TILE_COLUMNS) {
      __m256i values[4][LANE_COLUMNS];  // [group of four rows][column in lane]
      #pragma GCC unroll 4
      for (int column = 0; column < LANE_COLUMNS; ++column) {
        const int low = bufferIndex(x0 + column, y0);
        const int high = bufferIndex(x0 + column + LANE_COLUMNS, y0);
        __m256i part[3];
        #pragma GCC unroll 4
        for (int k = 0; k < 3; ++k) {
          part[k] = loadColumnPair(backdrop + low + 16 * k, backdrop + high + 16 * k);
          if (blend) {
            const __m256i snap = loadColumnPair(snapshot + low + 16 * k, snapshot + high + 16 * k);
            part[k] = blendBytes(part[k], snap, weights);
          }
        }
        const __m256i group[4] = {
            part[0],
            _mm256_alignr_epi8(part[1], part[0], 12),
            _mm256_alignr_epi8(part[2], part[1], 8),
            _mm256_bsrli_epi128(part[2], 4),
        };
        #pragma GCC unroll 4
        for (int g = 0; g < 4; ++g) values[g][column] = _mm256_shuffle_epi8(group[g], control);
      }
      #pragma GCC unroll 4
      for (int g = 0; g < 4; ++g) {
        transpose4x4(values[g]);
        #pragma GCC unroll 4
        for (int row = 0; row < 4; ++row) {
          uint8_t* at = pixels + surface->pitch * (y0 + 4 * g + row) + 4 * x0;
          _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), _mm256_or_si256(values[g][row], extra));
        }
      }
    }
  }
}

// The blur's rounding from byte averages (avg(p, q) = ceil((p + q) / 2)), exact for every one of
// the 2^32 inputs: with A = avg(a, b), B = avg(c, d) and T = avg(A, B), floor((a + b + c + d) / 4)
// is T less the low bit of (a^b | c^d | A^B), and floor((a + b + c + d + 1) / 4) is T less the
// low bit of ((a^b & c^d) | A^B). Each pass runs down the columns of its region, a whole vector
// at a time; the last vector of a column is moved back to end at the column's end and writes
// some bytes twice with the same values, harmless as a pass never reads its own destination.
template <int SumBias, bool LightenAfter>
AVX2_KERNEL void blurColumnsAvx2(const uint8_t* source, uint8_t* destination, int distance) {
  const int across = distance * COLUMN_BYTES;
  const int along = distance * CHANNELS;
  const int length = (PICTURE_HEIGHT - 2 * distance) * CHANNELS;
  const int step = int(sizeof(__m256i));
  const __m256i lowBit = _mm256_set1_epi8(1);
  const __m256i raise = _mm256_set1_epi8(LIGHTEN_RAISE);
  const __m256i floor = _mm256_set1_epi8(LIGHTEN_FLOOR);
  for (int x = distance; x < PICTURE_WIDTH - distance; ++x) {
    const uint8_t* from = source + bufferIndex(x, distance);
    uint8_t* to = destination + bufferIndex(x, distance);
    for (int start = 0; start < length; start += step) {
      const int i = std::min(start, length - step);
      const __m256i a = load32(from + i - across), b = load32(from + i + across);
      const __m256i c = load32(from + i - along), d = load32(from + i + along);
      const __m256i ab = _mm256_avg_epu8(a, b), cd = _mm256_avg_epu8(c, d);
      const __m256i oddAb = _mm256_xor_si256(a, b), oddCd = _mm256_xor_si256(c, d);
      const __m256i oddMid = _mm256_xor_si256(ab, cd);
      const __m256i odd = SumBias ? _mm256_or_si256(oddMid, _mm256_and_si256(oddAb, oddCd))
                                  : _mm256_or_si256(oddMid, _mm256_or_si256(oddAb, oddCd));
      __m256i result = _mm256_sub_epi8(_mm256_avg_epu8(ab, cd), _mm256_and_si256(odd, lowBit));
      if (LightenAfter) result = _mm256_max_epu8(_mm256_adds_epu8(result, raise), floor);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + i), result);
    }
  }
}

// The same with 64 bytes at a time; one three-way logic operation takes the low bits' OR.
constexpr int TERNARY_A_OR_B_OR_C = 0xFE;
constexpr int TERNARY_A_OR_B_AND_C = 0xF8;

template <int SumBias, bool LightenAfter>
AVX512_KERNEL void blurColumnsAvx512(const uint8_t* source, uint8_t* destination, int distance) {
  const int across = distance * COLUMN_BYTES;
  const int along = distance * CHANNELS;
  const int length = (PICTURE_HEIGHT - 2 * distance) * CHANNELS;
  const int step = int(sizeof(__m512i));
  const __m512i lowBit = _mm512_set1_epi8(1);
  const __m512i raise = _mm512_set1_epi8(LIGHTEN_RAISE);
  const __m512i floor = _mm512_set1_epi8(LIGHTEN_FLOOR);
  for (int x = distance; x < PICTURE_WIDTH - distance; ++x) {
    const uint8_t* from = source + bufferIndex(x, distance);
    uint8_t* to = destination + bufferIndex(x, distance);
    for (int start = 0; start < length; start += step) {
      const int i = std::min(start, length - step);
      const __m512i a = _mm512_loadu_si512(from + i - across);
      const __m512i b = _mm512_loadu_si512(from + i + across);
      const __m512i c = _mm512_loadu_si512(from + i - along);
      const __m512i d = _mm512_loadu_si512(from + i + along);
      const __m512i ab = _mm512_avg_epu8(a, b), cd = _mm512_avg_epu8(c, d);
      const __m512i odd = _mm512_ternarylogic_epi32(
          _mm512_xor_si512(ab, cd), _mm512_xor_si512(a, b), _mm512_xor_si512(c, d),
          SumBias ? TERNARY_A_OR_B_AND_C : TERNARY_A_OR_B_OR_C);
      __m512i result = _mm512_sub_epi8(_mm512_avg_epu8(ab, cd), _mm512_and_si512(odd, lowBit));
      if (LightenAfter) result = _mm512_max_epu8(_mm512_adds_epu8(result, raise), floor);
      _mm512_storeu_si512(to + i, result);
    }
  }
}

// Picks the instantiation for a pass: its rounding, and whether it is the last one.
template <template <int, bool> class Kernel>
void runBlurKernel(const uint8_t* source, uint8_t* destination, const BlurPass& pass,
                   bool lightenAfter) {
  if (pass.sumBias) {
    lightenAfter ? Kernel<1, true>::run(source, destination, pass.distance)
                 : Kernel<1, false>::run(source, destination, pass.distance);
  } else {
    lightenAfter ? Kernel<0, true>::run(source, destination, pass.distance)
                 : Kernel<0, false>::run(source, destination, pass.distance);
  }
}

template <int SumBias, bool LightenAfter>
struct BlurAvx2 {
  static void run(const uint8_t* s, uint8_t* d, int distance) {
    blurColumnsAvx2<SumBias, LightenAfter>(s, d, distance);
  }
};

template <int SumBias, bool LightenAfter>
struct BlurAvx512 {
  static void run(const uint8_t* s, uint8_t* d, int distance) {
    blurColumnsAvx512<SumBias, LightenAfter>(s, d, distance);
  }
};

#endif  // BACKDROP_HAS_AVX2_KERNELS

// ---- Choosing a kernel ------------------------------------------------------------------------

// Whether the vector transpositions serve this surface's format, both ways as SDL converts.
bool vectorConversions(const SDL_Surface* surface, int channelByte[CHANNELS],
                       uint32_t* extraBits) {
  return useAvx2Kernels() && byteChannelLayout(surface->format, channelByte) &&
         sdlAgreesWithByteLayout(surface->format, channelByte, extraBits);
}

void decodePicture(SDL_Surface* surface, uint8_t* out) {
#if BACKDROP_HAS_AVX2_KERNELS
  int channelByte[CHANNELS];
  uint32_t extraBits = 0;
  if (vectorConversions(surface, channelByte, &extraBits)) {
    decodePictureAvx2(surface, channelByte, out);
    return;
  }
#endif
  decodePicturePortable(surface, out);
}

void encodePicture(const uint8_t* picture, SDL_Surface* surface) {
#if BACKDROP_HAS_AVX2_KERNELS
  int channelByte[CHANNELS];
  uint32_t extraBits = 0;
  if (vectorConversions(surface, channelByte, &extraBits)) {
    packPictureAvx2(picture, nullptr, false, FADE_PARTS, surface, channelByte, extraBits);
    return;
  }
#endif
  encodePicturePortable(picture, surface);
}

void blurPass(const BlurPass& pass, bool lightenAfter) {
  const uint8_t* source = pass.fromBackdrop ? backdropPixels : snapshotPixels;
  uint8_t* destination = pass.fromBackdrop ? snapshotPixels : backdropPixels;
#if BACKDROP_HAS_AVX2_KERNELS
  switch (kernelLevel()) {
    case KernelLevel::Avx512:
      runBlurKernel<BlurAvx512>(source, destination, pass, lightenAfter);
      return;
    case KernelLevel::Avx2:
      runBlurKernel<BlurAvx2>(source, destination, pass, lightenAfter);
      return;
    case KernelLevel::Portable:
      break;
  }
#endif
  blurPassPortable(source, destination, pass, lightenAfter);
}

void blendPicture(int weight, SDL_Surface* screen) {
#if BACKDROP_HAS_AVX2_KERNELS
  int channelByte[CHANNELS];
  if (useAvx2Kernels() && byteChannelLayout(screen->format, channelByte)) {
    packPictureAvx2(backdropPixels, snapshotPixels, true, weight, screen, channelByte, 0);
    return;
  }
#endif
  blendPicturePortable(weight, screen);
}

// ---- The capture's smaller steps --------------------------------------------------------------

// What the copy of the snapshot into snapshotPixels must provide before the first pass.
void copyFirstPassMargin() {
  const int edgeBytes = FIRST_PASS_MARGIN * CHANNELS;
  for (int x = 0; x < PICTURE_WIDTH; ++x) {
    const int column = bufferIndex(x, 0);
    if (x < FIRST_PASS_MARGIN || x >= PICTURE_WIDTH - FIRST_PASS_MARGIN) {
      std::memcpy(snapshotPixels + column, backdropPixels + column, COLUMN_BYTES);
    } else {
      std::memcpy(snapshotPixels + column, backdropPixels + column, edgeBytes);
      const int tail = column + COLUMN_BYTES - edgeBytes;
      std::memcpy(snapshotPixels + tail, backdropPixels + tail, edgeBytes);
    }
  }
}

// The last pass lightens what it writes; this lightens the outermost ring that no pass writes.
void lightenOuterRing() {
  for (int x = 0; x < PICTURE_WIDTH; ++x) {
    const bool edgeColumn = x == 0 || x == PICTURE_WIDTH - 1;
    for (int y = 0; y < PICTURE_HEIGHT; y += edgeColumn ? 1 : PICTURE_HEIGHT - 1) {
      uint8_t* rgb = backdropPixels + bufferIndex(x, y);
      for (int channel = 0; channel < CHANNELS; ++channel) rgb[channel] = lightened(rgb[channel]);
    }
  }
}

}  // namespace

void setBackdropKernelsForTests(BackdropKernels kernels) { kernelsAllowed = kernels; }

void capturePauseBackdrop() {
  SDL_Surface* snapshot = overlayMedia.snapshotSurface;
  SDL_Surface* backdrop = overlayMedia.backdropSurface;
  // Without both work surfaces the overlay opens without a backdrop: nothing is touched.
  if (!pictureSized(Screen) || !pictureSized(snapshot) || !pictureSized(backdrop)) return;

  SDL_Rect origin{0, 0, 0, 0};
  SDL_UpperBlit(Screen, nullptr, snapshot, &origin);
  {
    SurfacePixelLock lock(Screen);
    if (!lock.ok) return;
    decodePicture(Screen, backdropPixels);
  }
  copyFirstPassMargin();
  for (int pass = 0; pass < BLUR_PASS_COUNT; ++pass)
    blurPass(BLUR_PASSES[pass], pass == BLUR_PASS_COUNT - 1);
  lightenOuterRing();
  {
    SurfacePixelLock lock(backdrop);
    if (lock.ok) encodePicture(backdropPixels, backdrop);
  }
  SurfacePixelLock lock(snapshot);
  if (lock.ok) decodePicture(snapshot, snapshotPixels);
}

void drawPauseBackdrop() {
  if (overlayFade == 0.0) return;
  if (!pictureSized(Screen) || !pictureSized(overlayMedia.snapshotSurface) ||
      !pictureSized(overlayMedia.backdropSurface))
    return;
  if (overlayFade == 100.0) {
    SDL_Rect origin{0, 0, 0, 0};
    SDL_UpperBlit(overlayMedia.backdropSurface, nullptr, Screen, &origin);
    return;
  }
  // The mixture is chosen by the whole part of the fade only: below 1.0 the snapshot as it was.
  const int weight = std::clamp(int(overlayFade), 0, FADE_PARTS);
  SurfacePixelLock lock(Screen);
  if (lock.ok) blendPicture(weight, Screen);
}
