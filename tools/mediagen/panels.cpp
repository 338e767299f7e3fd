// tools/mediagen/panels.cpp -- the HUD backings, the menu button tiles, the screen frame, the
// clock bands and the aiming reticle: black and white, grey only where alpha blends.
#include "art.h"

namespace art {

namespace {

constexpr int SMOOTH = 8;  // samples per axis for anti-aliased edges
constexpr int HARD = 1;    // one sample at the pixel centre: the hard edges of keyed images
constexpr float OPAQUE = 1.0f;
constexpr float HAIRLINE = 1.0f;

// HUD panels: translucent black with a thin white rim and rounded corners.
constexpr float PANEL_FILL_OPACITY = 0.7f;
constexpr float PANEL_RIM_OPACITY = 0.9f;
constexpr float PANEL_RADIUS = 5.0f;

// A HUD panel whose outer edge is the box (left, top)..(right, bottom) of the canvas.
void paintPanel(Canvas& canvas, float left, float top, float right, float bottom) {
  const Shape panel = roundedBox(left, top, right, bottom, PANEL_RADIUS);
  paintShape(canvas, panel, Tone::Black, PANEL_FILL_OPACITY, SMOOTH);
  paintShape(canvas, innerLine(panel, 0, HAIRLINE), Tone::White, PANEL_RIM_OPACITY, SMOOTH);
}

}  // namespace

Canvas drawScoreBacking() {
  // Screen (2, 27) is the canvas origin. The text's 23 cells run from x 20 to 276 and its
  // capitals from y 34 to 65; the panel spans screen x 8 to 288 and y 27 to 72, leaving about
  // 12 pixels beside the text and 7 above and below it.
  constexpr int WIDTH = 287;
  constexpr int HEIGHT = 46;
  constexpr float PANEL_LEFT = 6;  // screen x 8
  Canvas canvas = makeCanvas(WIDTH, HEIGHT);
  paintPanel(canvas, PANEL_LEFT, 0, WIDTH, HEIGHT);
  return canvas;
}

Canvas drawHealthBacking() {
  // Screen (288, 430) is the canvas origin. "Health = 250" runs from x 488 to 620, capitals
  // from y 436 to 447; the panel spans screen x 476 to 631 and y 430 to 453.
  constexpr int WIDTH = 344;
  constexpr int HEIGHT = 24;
  constexpr float PANEL_LEFT = 188;  // screen x 476
  Canvas canvas = makeCanvas(WIDTH, HEIGHT);
  paintPanel(canvas, PANEL_LEFT, 0, WIDTH, HEIGHT);
  return canvas;
}

namespace {

// The whole button as the tiles assemble it: 342 by 57 pixels around an inner bar of 300 by 15
// at (21, 21). The body fills the hover area, 8 pixels inside the frame on every side.
constexpr int TILE = 21;
constexpr int FRAME_WIDTH = 342;
constexpr int FRAME_HEIGHT = 57;
constexpr float BODY_INSET = 8;
constexpr float BODY_RADIUS = 7;
constexpr float HALO_OPACITY = 0.55f;  // dark line around the body, so the rim shows on white

struct ButtonLook {
  float fillOpacity;
  float rimWidth;
  float innerLineOpacity;  // a second, fainter line inside the rim; 0 for none
  bool markers;            // arrowheads pointing at the label from both ends
};

constexpr ButtonLook NORMAL_LOOK = {0.8f, 1.0f, 0.0f, false};
constexpr ButtonLook HIGHLIGHT_LOOK = {0.55f, 2.0f, 0.6f, true};
constexpr float INNER_LINE_GAP = 2;  // pixels between the rim and the inner line

// The highlighted button's arrowheads point at it from outside, on the bar's centre line, in
// the 8 pixels between the frame's outer edge and the body; outlined so they show on white.
constexpr float MARKER_FROM_EDGE = 1;  // the base, pixels from the frame's outer edge
constexpr float MARKER_LENGTH = 5;
constexpr float MARKER_HALF_HEIGHT = 5;

Canvas drawButtonFrame(const ButtonLook& look) {
  Canvas frame = makeCanvas(FRAME_WIDTH, FRAME_HEIGHT);
  const float right = FRAME_WIDTH - BODY_INSET;
  const float bottom = FRAME_HEIGHT - BODY_INSET;
  const Shape body = roundedBox(BODY_INSET, BODY_INSET, right, bottom, BODY_RADIUS);
  paintShape(frame, stroke(grow(body, HAIRLINE / 2), HAIRLINE), Tone::Black, HALO_OPACITY,
             SMOOTH);
  paintShape(frame, body, Tone::Black, look.fillOpacity, SMOOTH);
  paintShape(frame, innerLine(body, 0, look.rimWidth), Tone::White, OPAQUE, SMOOTH);
  if (look.innerLineOpacity > 0) {
    paintShape(frame, innerLine(body, look.rimWidth + INNER_LINE_GAP, HAIRLINE), Tone::White,
               look.innerLineOpacity, SMOOTH);
  }
  if (look.markers) {
    const float centreY = FRAME_HEIGHT / 2.0f;
    const float base = MARKER_FROM_EDGE;
    const float tip = MARKER_FROM_EDGE + MARKER_LENGTH;
    const Shape leftMarker = convexPolygon({base, centreY - MARKER_HALF_HEIGHT, tip, centreY,
                                            base, centreY + MARKER_HALF_HEIGHT});
    const Shape rightMarker = convexPolygon({FRAME_WIDTH - base, centreY - MARKER_HALF_HEIGHT,
                                             FRAME_WIDTH - tip, centreY, FRAME_WIDTH - base,
                                             centreY + MARKER_HALF_HEIGHT});
    const Shape markers = unite(leftMarker, rightMarker);
    paintShape(frame, grow(markers, HAIRLINE), Tone::Black, OPAQUE, SMOOTH);
    paintShape(frame, markers, Tone::White, OPAQUE, SMOOTH);
  }
  return frame;
}

// Where each of the nine columns of a row is cut from the whole frame. Edges and fill are
// uniform along the bar, so any 21-pixel stretch of it serves; the left and right edges and
// the fill use only their top 15 rows, and their last 6 rows repeat the bar's last ones.
struct TileSource {
  int x, y, height;
};

constexpr int BAR = 15;
constexpr TileSource TILE_SOURCES[9] = {
    {0, 0, TILE},                                      // top-left corner
    {0, FRAME_HEIGHT - TILE, TILE},                    // bottom-left corner
    {FRAME_WIDTH - TILE, 0, TILE},                     // top-right corner
    {FRAME_WIDTH - TILE, FRAME_HEIGHT - TILE, TILE},   // bottom-right corner
    {TILE, FRAME_HEIGHT - TILE, TILE},                 // bottom edge
    {FRAME_WIDTH - TILE, TILE, BAR},                   // right edge
    {TILE, 0, TILE},                                   // top edge
    {0, TILE, BAR},                                    // left edge
    {TILE, TILE, BAR},                                 // fill
};

}  // namespace

Canvas drawButtonSheet() {
  constexpr int COLUMNS = 9;
  const ButtonLook looks[] = {NORMAL_LOOK, HIGHLIGHT_LOOK};
  Canvas sheet = makeCanvas(COLUMNS * TILE, 2 * TILE);
  for (int row = 0; row < 2; ++row) {
    const Canvas frame = drawButtonFrame(looks[row]);
    for (int column = 0; column < COLUMNS; ++column) {
      const TileSource& source = TILE_SOURCES[column];
      copyBlock(frame, source.x, source.y, TILE, source.height, sheet, column * TILE,
                row * TILE);
      if (source.height < TILE) {
        const int rest = TILE - source.height;
        copyBlock(frame, source.x, source.y + source.height - rest, TILE, rest, sheet,
                  column * TILE, row * TILE + source.height);
      }
    }
  }
  return sheet;
}

namespace {

constexpr int SCREEN_WIDTH_PX = 640;
constexpr int SCREEN_HEIGHT_PX = 480;

// The screen frame: 2 pixels of black, a white line, 1 more of black, around rounded corners.
constexpr float FRAME_LINE_INSET = 2;
constexpr float FRAME_INNER_INSET = 4;
constexpr float SCREEN_CORNER_RADIUS = 10;

}  // namespace

Canvas drawScreenFrame() {
  Canvas canvas = makeCanvas(SCREEN_WIDTH_PX, SCREEN_HEIGHT_PX);
  const Shape screen =
      roundedBox(0, 0, SCREEN_WIDTH_PX, SCREEN_HEIGHT_PX, SCREEN_CORNER_RADIUS);
  paintShape(canvas, complement(grow(screen, -FRAME_INNER_INSET)), Tone::Black, OPAQUE, HARD);
  paintShape(canvas, innerLine(screen, FRAME_LINE_INSET, HAIRLINE), Tone::White, OPAQUE, HARD);
  return canvas;
}

namespace {

// The clock bands. Both are black with a white line 2 pixels inside their edge; each is a slim
// strip along its screen edge and a tab with a 45-degree end that holds the text.
constexpr int BAND_SHEET_HEIGHT = 143;
constexpr int TOP_BAND_SHIFT = 70;    // the sheet is drawn at y -70 at the top
constexpr int BOTTOM_BAND_SHIFT = 419;  // and at y 419 at the bottom
constexpr float BAND_LINE_INSET = 2;
constexpr float OFF_SHEET = 40;  // how far shapes run past the screen's sides

// Top band, screen coordinates: the strip reaches y 12; the tab, under the date (which may
// start at x 301) and the time, reaches y 72 and begins at x 260 on the strip.
constexpr float TOP_STRIP_BOTTOM = 12;
constexpr float TOP_TAB_BOTTOM = 72;
constexpr float TOP_TAB_SLANT_X = 260;
// Its shapes start 3 rows below the sheet's row 66: rows 66 to 69 never show in either use.
constexpr float TOP_BAND_SHEET_TOP = 67;

// Bottom band: the strip from y 468; the tab from y 429 holds the credit line (from x 20, room
// for 33 characters, whose cells end at x 386) and slants down from x 384.
constexpr float BOTTOM_STRIP_TOP = 468;
constexpr float BOTTOM_TAB_TOP = 429;
constexpr float BOTTOM_TAB_SLANT_X = 384;
constexpr float BOTTOM_BAND_SHEET_BOTTOM = 64;

// The band's black body and its inner white line, in sheet coordinates.
void paintBand(Canvas& canvas, const Shape& band) {
  paintShape(canvas, band, Tone::Black, OPAQUE, HARD);
  paintShape(canvas, innerLine(band, BAND_LINE_INSET, HAIRLINE), Tone::White, OPAQUE, HARD);
}

}  // namespace

Canvas drawBandSheet() {
  Canvas canvas = makeCanvas(SCREEN_WIDTH_PX, BAND_SHEET_HEIGHT);
  const float left = -OFF_SHEET;
  const float right = SCREEN_WIDTH_PX + OFF_SHEET;

  // Top band: screen y + 70 is sheet y.
  const float topShift = TOP_BAND_SHIFT;
  const float stripBottom = TOP_STRIP_BOTTOM + topShift;
  const float tabBottom = TOP_TAB_BOTTOM + topShift;
  const float slantDrop = tabBottom - stripBottom;
  const Shape topStrip = convexPolygon(
      {left, TOP_BAND_SHEET_TOP, right, TOP_BAND_SHEET_TOP, right, stripBottom, left, stripBottom});
  const Shape topTab = convexPolygon({TOP_TAB_SLANT_X, TOP_BAND_SHEET_TOP, right,
                                      TOP_BAND_SHEET_TOP, right, tabBottom,
                                      TOP_TAB_SLANT_X + slantDrop, tabBottom,
                                      TOP_TAB_SLANT_X, stripBottom});
  paintBand(canvas, unite(topStrip, topTab));

  // Bottom band: screen y - 419 is sheet y.
  const float bottomShift = BOTTOM_BAND_SHIFT;
  const float stripTop = BOTTOM_STRIP_TOP - bottomShift;
  const float tabTop = BOTTOM_TAB_TOP - bottomShift;
  const float slantRise = stripTop - tabTop;
  const Shape bottomStrip = convexPolygon({left, stripTop, right, stripTop, right,
                                           BOTTOM_BAND_SHEET_BOTTOM, left,
                                           BOTTOM_BAND_SHEET_BOTTOM});
  const Shape bottomTab = convexPolygon(
      {left, tabTop, BOTTOM_TAB_SLANT_X, tabTop, BOTTOM_TAB_SLANT_X + slantRise, stripTop,
       BOTTOM_TAB_SLANT_X + slantRise, BOTTOM_BAND_SHEET_BOTTOM, left,
       BOTTOM_BAND_SHEET_BOTTOM});
  paintBand(canvas, unite(bottomStrip, bottomTab));
  return canvas;
}

Canvas drawCursorSheet() {
  constexpr int CELL = 96;
  constexpr int CELLS = 4;
  constexpr int POINTER_CELL = 3;
  // The hot spot is pixel (48, 48) of the cell; shapes are centred on that pixel's centre.
  constexpr float CENTRE = CELL / 2 + 0.5f;
  constexpr float RING_RADIUS = 12;
  constexpr float RING_WIDTH = 2;
  constexpr float TICK_FROM = 7;   // distance of the cross-hair ticks' inner ends
  constexpr float TICK_TO = 20;
  constexpr float TICK_HALF_WIDTH = 0.5f;
  constexpr float OUTLINE = 1;
  Canvas canvas = makeCanvas(CELL * CELLS, CELL);
  const float cx = POINTER_CELL * CELL + CENTRE;
  const float cy = CENTRE;

  const Shape ring = stroke(circle(cx, cy, RING_RADIUS), RING_WIDTH);
  const float w = TICK_HALF_WIDTH;
  Shape ticks = roundedBox(cx - w, cy - w, cx + w, cy + w, 0);  // the centre dot
  ticks = unite(ticks, roundedBox(cx - w, cy - TICK_TO, cx + w, cy - TICK_FROM, 0));
  ticks = unite(ticks, roundedBox(cx - w, cy + TICK_FROM, cx + w, cy + TICK_TO, 0));
  ticks = unite(ticks, roundedBox(cx - TICK_TO, cy - w, cx - TICK_FROM, cy + w, 0));
  ticks = unite(ticks, roundedBox(cx + TICK_FROM, cy - w, cx + TICK_TO, cy + w, 0));
  const Shape reticle = unite(ring, ticks);

  paintShape(canvas, grow(reticle, OUTLINE), Tone::Black, OPAQUE, SMOOTH);
  paintShape(canvas, reticle, Tone::White, OPAQUE, SMOOTH);
  return canvas;
}

}  // namespace art
