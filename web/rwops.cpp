// web/rwops.cpp -- SDL_RWops over the C library's files, for the game's own reads of its image
// files (Emscripten's SDL_RWFromFile is a handle for its JavaScript loaders only).
#include "web/sdl12.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::FILE* fileOf(SDL_RWops* context) {
  return static_cast<std::FILE*>(context->hidden.unknown.data1);
}

long seekFile(SDL_RWops* context, long offset, int whence) {
  if (std::fseek(fileOf(context), offset, whence) != 0) return -1;
  return std::ftell(fileOf(context));
}

size_t readFile(SDL_RWops* context, void* bytes, size_t size, size_t count) {
  return std::fread(bytes, size, count, fileOf(context));
}

size_t writeFile(SDL_RWops* context, const void* bytes, size_t size, size_t count) {
  return std::fwrite(bytes, size, count, fileOf(context));
}

int closeFile(SDL_RWops* context) {
  const int result = std::fclose(fileOf(context)) == 0 ? 0 : -1;
  std::free(context);
  return result;
}

}  // namespace

SDL_RWops* webRWFromFile(const char* path, const char* mode) {
  std::FILE* file = std::fopen(path, mode);
  if (file == nullptr) return nullptr;
  auto* context = static_cast<SDL_RWops*>(std::calloc(1, sizeof(SDL_RWops)));
  if (context == nullptr) {
    std::fclose(file);
    return nullptr;
  }
  context->seek = seekFile;
  context->read = readFile;
  context->write = writeFile;
  context->close = closeFile;
  context->hidden.unknown.data1 = file;
  return context;
}
