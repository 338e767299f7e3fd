// tools/mediagen/music_synth.h -- the score and synthesiser of the game's music: one loop of
// stereo samples that repeats without a seam.
//
// music.cpp calls synthesiseMusicLoop once and encodes what it returns.
#pragma once

#include <vector>

// Samples per second per channel: the mixer's own rate, so the game plays it without resampling.
constexpr int kMusicSampleRate = 22050;

// The loudest sample of the loop after normalising, as a fraction of full scale. Kept well below
// 1.0 so the lossy encoder's small overshoots never clip.
constexpr float kMusicPeakLevel = 0.6f;

// One loop of stereo samples, each in -kMusicPeakLevel..kMusicPeakLevel. Both vectors have the
// same length (one element per sample frame).
struct StereoLoop {
  std::vector<float> left;
  std::vector<float> right;
};

// Synthesises the whole piece (a little over 68 seconds). The result is periodic: its last frame
// leads into its first exactly as any frame leads into the next, because every note's tail, every
// echo and the reverb wrap around the end, and every slow modulation completes whole cycles in the
// loop. Deterministic: the same samples on every call (fixed seeds, no clock).
StereoLoop synthesiseMusicLoop();
