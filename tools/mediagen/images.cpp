// tools/mediagen/images.cpp -- writes every image of the game and the desktop icon from the
// artwork in art.h.
#include "art.h"
#include "mediagen.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

bool makeFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error) {
    std::fprintf(stderr, "zaraz-mediagen: cannot make %s: %s\n", path.c_str(),
                 error.message().c_str());
    return false;
  }
  return true;
}

bool writeSprite(const std::string& path, const art::Sprite& sprite) {
  return art::writeShapeBmp(path, sprite.solid, sprite.width, sprite.height);
}

}  // namespace

bool writeImages(const std::string& mediaDir, const std::string& iconDir) {
  const std::string game = mediaDir + "/Game/";
  const std::string kit = mediaDir + "/Orvane/";
  if (!makeFolder(game) || !makeFolder(kit) || !makeFolder(iconDir)) return false;

  art::Canvas font;
  bool written = art::drawFontSheet(font) && art::writeAlphaPng(kit + "Font.png", font);
  written = writeSprite(game + "ship.bmp", art::shipSprite()) && written;
  written = writeSprite(game + "enemy1.bmp", art::enemySprite()) && written;
  written = art::writeAlphaPng(game + "textbacking1.png", art::drawScoreBacking()) && written;
  written = art::writeAlphaPng(game + "textbacking2.png", art::drawHealthBacking()) && written;
  written = art::writeAlphaPng(kit + "Button.png", art::drawButtonSheet()) && written;
  written = art::writeKeyedPng(kit + "Border.png", art::drawScreenFrame()) && written;
  written = art::writeKeyedPng(kit + "TopBottomBorder.png", art::drawBandSheet()) && written;
  written = art::writeAlphaPng(kit + "Cursor.png", art::drawCursorSheet()) && written;
  written = art::writeAlphaPng(iconDir + "/zaraz.png", art::drawIcon()) && written;
  return written;
}
