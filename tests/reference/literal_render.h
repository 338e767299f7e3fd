// tests/reference/literal_render.h -- the game frame drawn the plain way: one fill loop per
// rectangle into ScreenMask, then one SDL_MapRGB call and one pixel write per screen pixel, with
// the split's clamps worked out for every pixel. The oracle of the render tests and the baseline
// of the benchmark's draw and frame workloads; works on the game's own globals.
#pragma once

// Clears ScreenMask and draws the rock cells in view, the shots with their trails, the ship and
// the enemies into it, each cell or square by its own loop over its clipped pixels. A camera that
// has strayed from the map's middle keeps to the map's cells.
void literalDrawGameMask();

// Copies ScreenMask to Screen's pixels (Screen must be set and its pixels reachable without a
// lock): per pixel the three displaced, clamped mask reads of impactEffect's split, SDL_MapRGB
// and the pixel write of platform/pixels.h.
void literalCopyMaskToScreen();

// literalDrawGameMask, literalCopyMaskToScreen, then the game's own drawHud.
void literalDrawGame();
