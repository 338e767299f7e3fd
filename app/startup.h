// app/startup.h -- bringing the program up: the random seed, SDL, the window, the game and
// overlay media, the first reset and the looping music.
//
// main() calls startUp once, then runs the frame loop (app/frame.h) if it succeeded.
#pragma once

#include <SDL_mixer.h>

#include <cstdint>

// Frames a second of the game; 60 before start-up sets it to 30. Only the pacing reads it.
extern int32_t framesPerSecond;

// The looping music, or null when it could not be loaded (the game then runs silent).
extern Mix_Music* gameMusic;

constexpr int MUSIC_VOLUME = 75;  // of SDL_mixer's 0..128

// Runs the start-up sequence in its fixed order. Returns false, after one line on stderr saying
// what failed, when the program cannot run: SDL or the video mode could not be initialised, or
// the ship or enemy bitmap could not be read. Audio failures are not failures: the game runs
// silent.
bool startUp();
