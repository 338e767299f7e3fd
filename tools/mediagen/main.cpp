// tools/mediagen/main.cpp -- writes the game's media: zaraz-mediagen MEDIA_DIR ICON_DIR.
#include "mediagen.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s MEDIA_DIR ICON_DIR\n", argv[0]);
    return 2;
  }
  const bool imagesWritten = writeImages(argv[1], argv[2]);
  const bool musicWritten = writeMusic(argv[1]);
  return imagesWritten && musicWritten ? 0 : 1;
}
