// scripts/windows/platform_check.cpp -- prints what the platform layer gives on this system, so
// that the Windows build (run under Wine) can be compared line for line with Linux:
// platform_check MEDIA_DIR. Built twice by scripts/windows/build-and-check: for Windows, where
// IMG_Load is platform/image_file.cpp, and for Linux, where it is the real SDL_image.
//
// Lines: "image FILE W H BITS MASKS FLAGS KEY PALETTE-HASH PIXEL-HASH" for each of the game's
// images; "time SECONDS" (now) and "local YYYY-MM-DD HH:MM:SS WDAY YDAY" for a fixed instant;
// "file STEP RESULT BYTES" for the best-score file's operations, run in the working directory
// (which must be empty), leaving highscore.dat there.
#include <SDL.h>
#include <SDL_image.h>

#include "platform/clock.h"
#include "platform/files.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr const char* GAME_IMAGES[] = {
    "Game/ship.bmp",      "Game/enemy1.bmp",  "Game/textbacking1.png", "Game/textbacking2.png",
    "Orvane/Border.png",  "Orvane/Button.png", "Orvane/Cursor.png",    "Orvane/Font.png",
    "Orvane/TopBottomBorder.png",
};
constexpr int64_t FIXED_INSTANT = 1700000000;  // 2023-11-14 22:13:20 UTC
constexpr uint32_t FNV_OFFSET = 2166136261u;
constexpr uint32_t FNV_PRIME = 16777619u;

constexpr const char* SCORE_FILE = "highscore.dat";
constexpr const char* BLOCKED_FILE = "blocked.dat";
constexpr const char* BLOCKED_TEMP_FILE = "blocked.dat.tmp";
#ifdef _WIN32
constexpr const char* DEVICE = "NUL";
#else
constexpr const char* DEVICE = "/dev/null";
#endif
constexpr size_t READ_CAPACITY = 64;
constexpr size_t SHORT_CAPACITY = 3;

uint32_t hashBytes(const uint8_t* bytes, size_t count, uint32_t hash) {
  for (size_t i = 0; i < count; i++) hash = (hash ^ bytes[i]) * FNV_PRIME;
  return hash;
}

void printImage(const std::string& mediaDir, const char* name) {
  SDL_Surface* image = IMG_Load((mediaDir + "/" + name).c_str());
  if (image == nullptr) {
    std::printf("image %s missing\n", name);
    return;
  }
  const SDL_PixelFormat& format = *image->format;
  uint32_t paletteHash = FNV_OFFSET;
  if (format.palette != nullptr) {
    for (int i = 0; i < format.palette->ncolors; i++) {
      const SDL_Color& c = format.palette->colors[i];
      const uint8_t rgb[] = {c.r, c.g, c.b};
      paletteHash = hashBytes(rgb, sizeof rgb, paletteHash);
    }
  }
  uint32_t pixelHash = FNV_OFFSET;
  for (int y = 0; y < image->h; y++) {
    pixelHash = hashBytes(static_cast<const uint8_t*>(image->pixels) + y * image->pitch,
                          size_t(image->w) * format.BytesPerPixel, pixelHash);
  }
  std::printf("image %s %d %d %d %08x %08x %08x %08x %08x %08x %08x %08x\n", name, image->w,
              image->h, format.BitsPerPixel, format.Rmask, format.Gmask, format.Bmask,
              format.Amask, image->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA),
              (image->flags & SDL_SRCCOLORKEY) ? format.colorkey : 0, paletteHash, pixelHash);
  SDL_FreeSurface(image);
}

// "file STEP RESULT BYTES": a step's result and what reading the score file then gives, in hex.
void printFileStep(const char* step, long result) {
  char bytes[READ_CAPACITY];
  const long length = readFilePrefix(SCORE_FILE, bytes, sizeof bytes);
  std::printf("file %s %ld", step, result);
  for (long i = 0; i < length; i++) std::printf(" %02x", unsigned(uint8_t(bytes[i])));
  std::printf("%s\n", length < 0 ? " unreadable" : "");
}

void printFileOperations() {
  char bytes[READ_CAPACITY];
  printFileStep("missing", readFilePrefix(SCORE_FILE, bytes, sizeof bytes));
  const std::string first = std::string("1234") + TEXT_LINE_END;
  const std::string second = std::string("56789") + TEXT_LINE_END;
  printFileStep("new", replaceFileContents(SCORE_FILE, first.data(), first.size()));
  printFileStep("over", replaceFileContents(SCORE_FILE, second.data(), second.size()));
  // A folder in the file's place: the temporary file is written, the rename fails.
  std::filesystem::create_directory(BLOCKED_FILE);
  printFileStep("failed", replaceFileContents(BLOCKED_FILE, first.data(), first.size()));
  printFileStep("temporary", readFilePrefix(BLOCKED_TEMP_FILE, bytes, sizeof bytes));
  printFileStep("short", readFilePrefix(SCORE_FILE, bytes, SHORT_CAPACITY));
  printFileStep("folder", readFilePrefix(".", bytes, sizeof bytes));
  printFileStep("device", readFilePrefix(DEVICE, bytes, sizeof bytes));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: platform_check MEDIA_DIR\n");
    return 2;
  }
  for (const char* name : GAME_IMAGES) printImage(argv[1], name);

  std::printf("time %lld\n", static_cast<long long>(currentCalendarTime()));
  const std::tm* local = localTimeOf(FIXED_INSTANT);
  if (local == nullptr) {
    std::printf("local none\n");
  } else {
    std::printf("local %04d-%02d-%02d %02d:%02d:%02d %d %d\n", local->tm_year + 1900,
                local->tm_mon + 1, local->tm_mday, local->tm_hour, local->tm_min, local->tm_sec,
                local->tm_wday, local->tm_yday);
  }
  printFileOperations();
  return 0;
}
