// tools/mediagen/canvas.h -- the generator's drawing kit: an RGBA canvas, shapes as signed
// distances, painting with or without anti-aliasing, and the image writers (PNG, BMP).
//
// The art files (sprites.cpp, panels.cpp, font.cpp) build canvases with these and images.cpp
// writes them; everything lives in namespace art. Pixel (x, y) covers the square x..x+1,
// y..y+1 in shape coordinates, so the centre of pixel 48 is 48.5; x grows to the right and y
// downwards. Everything is deterministic: the same calls give the same bytes on every run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace art {

// One premultiplied colour, every channel 0..1.
struct Paint {
  float red;
  float green;
  float blue;
  float alpha;
};

struct Canvas {
  int width;
  int height;
  std::vector<Paint> pixels;  // row after row, width * height, all transparent at first
};

Canvas makeCanvas(int width, int height);

// A shape: the signed distance in pixels from (x, y) to its edge, negative inside. Only the
// sign matters for filling; strokes and offsets need a true distance near the edge.
using Shape = std::function<float(float x, float y)>;

Shape circle(float centreX, float centreY, float radius);
// Axis-aligned box from (left, top) to (right, bottom) with corners rounded by `radius`.
Shape roundedBox(float left, float top, float right, float bottom, float radius);
// A convex polygon, corners in either winding; distances outside are exact along the edges
// and mitred at the corners.
Shape convexPolygon(std::vector<float> cornersXY);
Shape unite(Shape a, Shape b);
// The shape grown by `distance` pixels (shrunk when negative).
Shape grow(Shape shape, float distance);
// The band of `width` pixels centred on the shape's edge.
Shape stroke(Shape shape, float width);
// The band of `width` pixels running `inset` pixels inside the shape's edge.
Shape innerLine(Shape shape, float inset, float width);
// Everything the shape leaves out.
Shape complement(Shape shape);

enum class Tone { Black, White };

// Layers `shape` in `tone` at `opacity` over the canvas (source over). Coverage is counted on
// samplesPerAxis squared points a pixel: 1 gives hard pixel edges (for colour-keyed images),
// 8 smooth ones.
void paintShape(Canvas& canvas, const Shape& shape, Tone tone, float opacity,
                int samplesPerAxis);

// Layers one pixel, coverage 0..1 of `tone` at `opacity`.
void paintPixel(Canvas& canvas, int x, int y, Tone tone, float opacity);

// Copies the w by h block at (fromX, fromY) of `from` to (toX, toY) of `to`, replacing it.
void copyBlock(const Canvas& from, int fromX, int fromY, int w, int h, Canvas& to, int toX,
               int toY);

// Writes a PNG with per-pixel alpha: grey with alpha when every pixel is grey, else RGBA.
bool writeAlphaPng(const std::string& path, const Canvas& canvas);

// Writes a colour-keyed PNG (palette, no alpha): fully transparent pixels become the key cyan
// (0, 255, 255), the rest their colour opaque. Fails, with a message, on any partly transparent
// pixel or on a drawn pixel of the key colour.
bool writeKeyedPng(const std::string& path, const Canvas& canvas);

// Writes an 8-bit palette BMP through SDL_SaveBMP: raw value 0 (drawn white, as the game shows
// it) where `solid` is set, 1 (black) elsewhere. `solid` is row-major, width * height.
bool writeShapeBmp(const std::string& path, const std::vector<uint8_t>& solid, int width,
                   int height);

}  // namespace art
