// tools/mediagen/mediagen.h -- the media generator's parts: every file under Media/ is made
// from code here, byte for byte the same on every run.
//
// main.cpp calls each writer with the root folder to write into (it holds Game/ and Orvane/).
#pragma once

#include <string>

// Writes the images: Game/ship.bmp, Game/enemy1.bmp, Game/textbacking1.png,
// Game/textbacking2.png and Orvane/{Font,Button,Border,TopBottomBorder,Cursor}.png, and the
// desktop icon. Returns false after a message on stderr when a file cannot be written.
bool writeImages(const std::string& mediaDir, const std::string& iconDir);

// Writes Game/SlowDown.ogg, the looping music. Returns false after a message on stderr.
bool writeMusic(const std::string& mediaDir);
