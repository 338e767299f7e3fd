// app/screen.h -- the display surface that every drawing goes onto, its size and its centre.
//
// Start-up (app/startup.cpp) sets Screen once from SDL_SetVideoMode; the game's drawing and the
// overlay draw on it during a frame, and the frame loop presents it with SDL_Flip. Tests set it
// to a surface of their own before they run frames.
#pragma once

#include <SDL.h>

constexpr int SCREEN_WIDTH = 640;
constexpr int SCREEN_HEIGHT = 480;
// The camera's world point is drawn here.
constexpr int SCREEN_CENTRE_X = SCREEN_WIDTH / 2;
constexpr int SCREEN_CENTRE_Y = SCREEN_HEIGHT / 2;

// The 640 by 480 display surface; never replaced or freed once set. Null before start-up.
extern SDL_Surface* Screen;
