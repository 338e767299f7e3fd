// platform/image_file.cpp -- PNG (libpng) and BMP (SDL) files to SDL surfaces, the way
// SDL_image's IMG_Load makes them, so that the Windows build draws the same pixels.
#include "platform/image_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t PNG_SIGNATURE_BYTES = 4;  // IMG_Load also looks at only four
constexpr uint8_t PNG_SIGNATURE[PNG_SIGNATURE_BYTES] = {0x89, 'P', 'N', 'G'};
constexpr int BMP_SIGNATURE_BYTES = 2;
constexpr int GREY_LEVELS = 256;
constexpr int NO_COLOUR_KEY = -1;
constexpr uint8_t FULLY_TRANSPARENT = 0;
constexpr uint8_t FULLY_OPAQUE = 255;

enum class ImageKind { Png, Bmp, Unknown };

// Looks at the first bytes of `source` and rewinds it.
ImageKind kindOf(SDL_RWops* source) {
  uint8_t magic[PNG_SIGNATURE_BYTES] = {};
  const int start = SDL_RWtell(source);
  const int got = SDL_RWread(source, magic, 1, sizeof magic);
  SDL_RWseek(source, start, RW_SEEK_SET);
  if (got == int(sizeof magic) && magic[0] == PNG_SIGNATURE[0] && magic[1] == PNG_SIGNATURE[1] &&
      magic[2] == PNG_SIGNATURE[2] && magic[3] == PNG_SIGNATURE[3]) {
    return ImageKind::Png;
  }
  if (got >= BMP_SIGNATURE_BYTES && magic[0] == 'B' && magic[1] == 'M') return ImageKind::Bmp;
  return ImageKind::Unknown;
}

// libpng's messages would go to stderr; the game prints nothing, and a failure is a null surface.
void stopDecoding(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignoreWarning(png_structp, png_const_charp) {}

void readFromRWops(png_structp png, png_bytep into, png_size_t length) {
  SDL_RWops* source = static_cast<SDL_RWops*>(png_get_io_ptr(png));
  if (SDL_RWread(source, into, 1, int(length)) != int(length)) png_error(png, "file too short");
}

// What the tRNS chunk of a palette image asks for: the transparent index when exactly one entry
// is fully transparent and every other one opaque; NO_COLOUR_KEY when all are opaque;
// NEEDS_ALPHA for several transparent entries or any translucent one.
constexpr int NEEDS_ALPHA = -2;
int paletteTransparency(const png_bytep alphas, int count) {
  int found = NO_COLOUR_KEY;
  for (int i = 0; i < count; i++) {
    if (alphas[i] == FULLY_TRANSPARENT) {
      if (found != NO_COLOUR_KEY) return NEEDS_ALPHA;
      found = i;
    } else if (alphas[i] != FULLY_OPAQUE) {
      return NEEDS_ALPHA;
    }
  }
  return found;
}

// What the transformations set up before decoding decide about the colour key.
struct KeyPlan {
  int colourKey = NO_COLOUR_KEY;  // palette index, or 0 for "map the tRNS colour"
  png_color_16p transparentColour = nullptr;
};

// Asks libpng for 8-bit samples, one a byte, and decides how transparency is kept.
KeyPlan setUpTransformations(png_structp png, png_infop info) {
  int bitDepth, colourType;
  png_uint_32 width, height;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
  png_set_strip_16(png);
  png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_GRAY) png_set_expand(png);

  KeyPlan plan;
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_bytep alphas = nullptr;
    int count = 0;
    png_get_tRNS(png, info, &alphas, &count, &plan.transparentColour);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
      plan.colourKey = paletteTransparency(alphas, count);
      if (plan.colourKey == NEEDS_ALPHA) {
        plan.colourKey = NO_COLOUR_KEY;
        png_set_expand(png);
      }
    } else {
      plan.colourKey = 0;
    }
  }
  if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_read_update_info(png, info);
  return plan;
}

// A surface for the decoded rows: bytes in file order (R, G, B, A) whatever the byte order.
SDL_Surface* surfaceFor(png_structp png, png_infop info) {
  const int channels = png_get_channels(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  Uint32 rmask = 0, gmask = 0, bmask = 0, amask = 0;
  if (png_get_color_type(png, info) != PNG_COLOR_TYPE_PALETTE) {
    constexpr int RGBA_CHANNELS = 4;
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
    rmask = 0x000000ff;
    gmask = 0x0000ff00;
    bmask = 0x00ff0000;
    amask = channels == RGBA_CHANNELS ? 0xff000000 : 0;
#else
    const int shift = channels == RGBA_CHANNELS ? 0 : 8;
    rmask = 0xff000000 >> shift;
    gmask = 0x00ff0000 >> shift;
    bmask = 0x0000ff00 >> shift;
    amask = 0x000000ff >> shift;
#endif
  }
  return SDL_CreateRGBSurface(SDL_SWSURFACE, int(png_get_image_width(png, info)),
                              int(png_get_image_height(png, info)), bitDepth * channels, rmask,
                              gmask, bmask, amask);
}

void copyPalette(png_structp png, png_infop info, int originalColourType, SDL_Palette* palette) {
  if (palette == nullptr) return;
  if (originalColourType == PNG_COLOR_TYPE_GRAY) {
    palette->ncolors = GREY_LEVELS;
    for (int i = 0; i < GREY_LEVELS; i++) {
      palette->colors[i].r = palette->colors[i].g = palette->colors[i].b = Uint8(i);
    }
    return;
  }
  png_colorp entries = nullptr;
  int count = 0;
  if (png_get_PLTE(png, info, &entries, &count) == 0 || count <= 0) return;
  palette->ncolors = count;
  for (int i = 0; i < count; i++) {
    palette->colors[i].r = entries[i].red;
    palette->colors[i].g = entries[i].green;
    palette->colors[i].b = entries[i].blue;
  }
}

// Everything that must be released when decoding stops, normally or by libpng's longjmp. Only
// plain data lives across the setjmp, so that the jump skips no destructor.
struct PngDecode {
  png_structp png = nullptr;
  png_infop info = nullptr;
  SDL_Surface* surface = nullptr;
  png_bytep* rows = nullptr;
};

SDL_Surface* decodePng(SDL_RWops* source, PngDecode& decode) {
  decode.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, stopDecoding, ignoreWarning);
  if (decode.png == nullptr) return nullptr;
  decode.info = png_create_info_struct(decode.png);
  if (decode.info == nullptr) return nullptr;
  if (setjmp(png_jmpbuf(decode.png))) {
    SDL_SetError("Error reading the PNG file.");
    return nullptr;
  }
  png_set_read_fn(decode.png, source, readFromRWops);
  png_read_info(decode.png, decode.info);
  const int originalColourType = png_get_color_type(decode.png, decode.info);
  const KeyPlan plan = setUpTransformations(decode.png, decode.info);

  decode.surface = surfaceFor(decode.png, decode.info);
  if (decode.surface == nullptr) return nullptr;
  if (plan.colourKey != NO_COLOUR_KEY) {
    Uint32 key = Uint32(plan.colourKey);
    if (png_get_color_type(decode.png, decode.info) != PNG_COLOR_TYPE_PALETTE) {
      // The tRNS colour is in the file's sample size; only its low byte is kept, as IMG_Load does.
      key = SDL_MapRGB(decode.surface->format, Uint8(plan.transparentColour->red),
                       Uint8(plan.transparentColour->green), Uint8(plan.transparentColour->blue));
    }
    SDL_SetColorKey(decode.surface, SDL_SRCCOLORKEY, key);
  }

  const int height = decode.surface->h;
  decode.rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * size_t(height)));
  if (decode.rows == nullptr) {
    SDL_SetError("Out of memory");
    return nullptr;
  }
  for (int row = 0; row < height; row++) {
    decode.rows[row] = static_cast<png_bytep>(decode.surface->pixels) + row * decode.surface->pitch;
  }
  png_read_image(decode.png, decode.rows);
  copyPalette(decode.png, decode.info, originalColourType, decode.surface->format->palette);

  SDL_Surface* done = decode.surface;
  decode.surface = nullptr;
  return done;
}

SDL_Surface* loadPng(SDL_RWops* source) {
  PngDecode decode;
  SDL_Surface* surface = decodePng(source, decode);
  if (decode.png != nullptr) {
    png_destroy_read_struct(&decode.png, decode.info != nullptr ? &decode.info : nullptr, nullptr);
  }
  std::free(decode.rows);
  if (decode.surface != nullptr) SDL_FreeSurface(decode.surface);
  return surface;
}

// Where the fields of a BMP file that decide its alpha mask lie, and their values.
constexpr int BMP_DATA_OFFSET_AT = 10;
constexpr int BMP_HEADER_SIZE_AT = 14;
constexpr int BMP_FILE_HEADER_BYTES = 14;
constexpr int BMP_CORE_HEADER_BYTES = 12;  // the old OS/2 header
constexpr int BMP_INFO_HEADER_BYTES = 40;  // as much of longer headers as the readers take
constexpr int BMP_BITS_AT = 28;
constexpr int BMP_COMPRESSION_AT = 30;
constexpr uint32_t BMP_UNCOMPRESSED = 0;
constexpr uint32_t BMP_BIT_FIELDS = 3;
constexpr int BMP_ALPHA_BITS = 32;
constexpr int BMP_COLOUR_MASKS = 3;
constexpr Uint32 BMP_DEFAULT_ALPHA_MASK = 0xff000000;

uint32_t readLittle(SDL_RWops* source, int at, int bytes) {
  uint8_t data[4] = {};
  SDL_RWseek(source, at, RW_SEEK_SET);
  SDL_RWread(source, data, 1, bytes);
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; i--) value = value << 8 | data[i];
  return value;
}

// The alpha mask IMG_Load gives a 32-bit BMP, where SDL_LoadBMP_RW gives none: 0xff000000 for
// an uncompressed file whose pixels follow the header at once; otherwise the fourth mask read
// after the header (after the red, green and blue ones), whether the header has one or not.
Uint32 bmpAlphaMask(SDL_RWops* source) {
  const int start = SDL_RWtell(source);
  const uint32_t dataOffset = readLittle(source, start + BMP_DATA_OFFSET_AT, 4);
  const uint32_t headerSize = readLittle(source, start + BMP_HEADER_SIZE_AT, 4);
  Uint32 alphaMask = 0;
  if (headerSize != BMP_CORE_HEADER_BYTES &&
      readLittle(source, start + BMP_BITS_AT, 2) == BMP_ALPHA_BITS) {
    const uint32_t compression = readLittle(source, start + BMP_COMPRESSION_AT, 4);
    const int masksAt = start + BMP_FILE_HEADER_BYTES + BMP_INFO_HEADER_BYTES;
    if (compression == BMP_UNCOMPRESSED && dataOffset == BMP_FILE_HEADER_BYTES + headerSize) {
      alphaMask = BMP_DEFAULT_ALPHA_MASK;
    } else if (compression == BMP_UNCOMPRESSED || compression == BMP_BIT_FIELDS) {
      alphaMask = readLittle(source, masksAt + BMP_COLOUR_MASKS * 4, 4);
    }
  }
  SDL_RWseek(source, start, RW_SEEK_SET);
  return alphaMask;
}

// SDL reads the pixels; a 32-bit result then gets IMG_Load's alpha mask, pixel values unchanged.
SDL_Surface* loadBmp(SDL_RWops* source) {
  const Uint32 alphaMask = bmpAlphaMask(source);
  SDL_Surface* loaded = SDL_LoadBMP_RW(source, 1);
  if (loaded == nullptr || alphaMask == 0 || loaded->format->BitsPerPixel != BMP_ALPHA_BITS) {
    return loaded;
  }
  const SDL_PixelFormat& format = *loaded->format;
  SDL_Surface* withAlpha = SDL_CreateRGBSurface(SDL_SWSURFACE, loaded->w, loaded->h,
                                                BMP_ALPHA_BITS, format.Rmask, format.Gmask,
                                                format.Bmask, alphaMask);
  if (withAlpha != nullptr) {
    const size_t rowBytes = size_t(loaded->w) * format.BytesPerPixel;
    for (int y = 0; y < loaded->h; y++) {
      std::memcpy(static_cast<uint8_t*>(withAlpha->pixels) + y * withAlpha->pitch,
                  static_cast<const uint8_t*>(loaded->pixels) + y * loaded->pitch, rowBytes);
    }
  }
  SDL_FreeSurface(loaded);
  return withAlpha;
}

}  // namespace

SDL_Surface* loadImageFile(const char* path) {
  SDL_RWops* source = SDL_RWFromFile(path, "rb");
  if (source == nullptr) return nullptr;
  switch (kindOf(source)) {
    case ImageKind::Png: {
      SDL_Surface* surface = loadPng(source);
      SDL_RWclose(source);
      return surface;
    }
    case ImageKind::Bmp:
      return loadBmp(source);
    case ImageKind::Unknown:
      break;
  }
  SDL_RWclose(source);
  SDL_SetError("Unsupported image format");
  return nullptr;
}

#ifdef ZARAZ_OWN_IMG_LOAD
// The Windows cross-build links no SDL_image: this is its IMG_Load.
extern "C" SDL_Surface* IMG_Load(const char* file) { return loadImageFile(file); }
#endif
