// tests/app/music_test.cpp -- the committed music: its size and length, a loop seam as smooth as
// the rest of the piece, even and unclipped levels, and playing and pausing through SDL_mixer.
#include "support/test_screen.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::string musicPath() { return sourceDir() + "/Media/Game/SlowDown.ogg"; }

struct DecodedMusic {
  long rate = 0;
  int channels = 0;
  std::vector<float> left;
  std::vector<float> right;
};

DecodedMusic decodeMusic() {
  constexpr int kReadFrames = 4096;
  DecodedMusic music;
  OggVorbis_File file;
  if (ov_fopen(musicPath().c_str(), &file) != 0) {
    ADD_FAILURE() << "libvorbisfile cannot open " << musicPath();
    return music;
  }
  const vorbis_info* info = ov_info(&file, -1);
  music.rate = info->rate;
  music.channels = info->channels;
  const int last = music.channels - 1;
  float** pcm = nullptr;
  int section = 0;
  long frames = 0;
  while ((frames = ov_read_float(&file, &pcm, kReadFrames, &section)) > 0) {
    music.left.insert(music.left.end(), pcm[0], pcm[0] + frames);
    music.right.insert(music.right.end(), pcm[last], pcm[last] + frames);
  }
  EXPECT_EQ(frames, 0) << "decoding stopped on an error";
  ov_clear(&file);
  return music;
}

// The value that `share` (0..1) of the values do not exceed.
double percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  return values[size_t(share * double(values.size() - 1))];
}

double rms(const DecodedMusic& music, size_t first, size_t count) {
  double sum = 0.0;
  for (size_t i = first; i < first + count; ++i)
    sum += double(music.left[i]) * music.left[i] + double(music.right[i]) * music.right[i];
  return std::sqrt(sum / double(2 * count));
}

double decibels(double level) { return 20.0 * std::log10(level); }

}  // namespace

TEST(Music, FileIsUnderAMegabyteAndLastsHalfAMinuteToAMinuteAndAHalf) {
  EXPECT_LT(std::filesystem::file_size(musicPath()), 1024u * 1024u);
  const DecodedMusic music = decodeMusic();
  EXPECT_EQ(music.channels, 2);
  EXPECT_TRUE(music.rate == 22050 || music.rate == 44100) << music.rate;
  ASSERT_GT(music.rate, 0);
  const double seconds = double(music.left.size()) / double(music.rate);
  EXPECT_GE(seconds, 30.0);
  EXPECT_LE(seconds, 90.0);
}

// The mixer plays the last frame and then the first again. Across that seam the step from one
// frame to the next, and the change of that step (the bend), must be no larger than is usual
// anywhere else in the piece; a loop that ends off its start jumps far beyond both.
TEST(Music, LoopSeamIsAsSmoothAsTheRestOfThePiece) {
  const DecodedMusic music = decodeMusic();
  ASSERT_GT(music.left.size(), 3u);
  struct Row {
    const char* name;
    const std::vector<float>* samples;
  };
  const Row rows[] = {{"left", &music.left}, {"right", &music.right}};
  for (const Row& row : rows) {
    const std::vector<float>& x = *row.samples;
    const size_t n = x.size();
    std::vector<double> steps;
    std::vector<double> bends;
    for (size_t i = 1; i + 1 < n; ++i) {
      steps.push_back(std::fabs(x[i] - x[i - 1]));
      bends.push_back(std::fabs(x[i + 1] - 2.0 * x[i] + x[i - 1]));
    }
    const double usualStep = percentile(steps, 0.9);
    const double usualBend = percentile(bends, 0.9);
    EXPECT_LE(std::fabs(x[0] - x[n - 1]), usualStep) << row.name;
    EXPECT_LE(std::fabs(x[0] - 2.0 * x[n - 1] + x[n - 2]), usualBend) << row.name << " end";
    EXPECT_LE(std::fabs(x[1] - 2.0 * x[0] + x[n - 1]), usualBend) << row.name << " start";
  }
}

// Every second is audible, no second is much louder or softer than the one before (the seam
// included), and the loudest sample stays clear of clipping.
TEST(Music, LevelStaysEvenAndBelowClipping) {
  constexpr double kQuietestDb = -30.0;
  constexpr double kLargestChangeDb = 6.0;
  constexpr float kLoudestSample = 0.9f;
  const DecodedMusic music = decodeMusic();
  ASSERT_GT(music.rate, 0);
  const size_t second = size_t(music.rate);
  ASSERT_GT(music.left.size(), 2 * second);
  std::vector<double> levels;
  for (size_t first = 0; first + second <= music.left.size(); first += second)
    levels.push_back(decibels(rms(music, first, second)));
  const double lastSecond = decibels(rms(music, music.left.size() - second, second));
  for (size_t i = 0; i < levels.size(); ++i) {
    EXPECT_GT(levels[i], kQuietestDb) << "second " << i << " is nearly silent";
    if (i > 0) {
      EXPECT_LT(std::fabs(levels[i] - levels[i - 1]), kLargestChangeDb) << "second " << i;
    }
  }
  EXPECT_LT(std::fabs(levels.front() - lastSecond), kLargestChangeDb) << "across the seam";

  float peak = 0.0f;
  for (size_t i = 0; i < music.left.size(); ++i)
    peak = std::max({peak, std::fabs(music.left[i]), std::fabs(music.right[i])});
  EXPECT_LT(peak, kLoudestSample);
}

// Hiss and glare live above a few kilohertz; a soft piece keeps almost all its energy below.
// A plain DFT of Hann-windowed stretches spread through the piece.
TEST(Music, EnergyStaysBelowTheHarshFrequencies) {
  constexpr size_t kWindow = 1024;
  constexpr size_t kStretches = 16;
  constexpr double kHarshHz = 4000.0;
  constexpr double kLargestHarshShare = 0.01;
  const DecodedMusic music = decodeMusic();
  ASSERT_GT(music.left.size(), kWindow * kStretches);
  const double pi = std::acos(-1.0);
  std::vector<double> cosine(kWindow), sine(kWindow), hann(kWindow);
  for (size_t i = 0; i < kWindow; ++i) {
    cosine[i] = std::cos(2.0 * pi * double(i) / kWindow);
    sine[i] = std::sin(2.0 * pi * double(i) / kWindow);
    hann[i] = 0.5 - 0.5 * cosine[i];
  }
  double harsh = 0.0;
  double total = 0.0;
  const size_t spacing = music.left.size() / kStretches;
  std::vector<double> windowed(kWindow);
  for (size_t stretch = 0; stretch < kStretches; ++stretch) {
    for (size_t i = 0; i < kWindow; ++i) {
      const size_t frame = stretch * spacing + i;
      windowed[i] = hann[i] * 0.5 * (music.left[frame] + music.right[frame]);
    }
    for (size_t bin = 1; bin < kWindow / 2; ++bin) {
      double re = 0.0;
      double im = 0.0;
      for (size_t i = 0; i < kWindow; ++i) {
        re += windowed[i] * cosine[(bin * i) % kWindow];
        im -= windowed[i] * sine[(bin * i) % kWindow];
      }
      const double energy = re * re + im * im;
      total += energy;
      if (double(bin) * double(music.rate) / kWindow >= kHarshHz) harsh += energy;
    }
  }
  ASSERT_GT(total, 0.0);
  EXPECT_LT(harsh / total, kLargestHarshShare);
}

namespace {

constexpr long kBlockBytes = 4096;  // 1024 frames of two 16-bit channels: one mixer buffer
constexpr long kPlayedBlocks = 24;
// Blocks the disk writer may still hold when the pause is made: its stdio buffer and the block
// being mixed, with room to spare.
constexpr long kInFlightBlocks = 8;
constexpr long kPausedBlocks = 16;

long fileSize(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error ? 0 : long(size);
}

// Waits until the disk audio driver has written `bytes`; gives up after a generous while, which
// the caller's checks then report.
void waitForBytes(const std::string& path, long bytes) {
  constexpr int kPolls = 2000;
  constexpr Uint32 kPollMs = 10;
  for (int poll = 0; poll < kPolls && fileSize(path) < bytes; ++poll) SDL_Delay(kPollMs);
}

// RMS of one block of signed 16-bit little-endian samples.
double blockRms(const std::vector<char>& raw, long block) {
  constexpr long kSamples = kBlockBytes / 2;
  const size_t first = size_t(block * kBlockBytes);
  double sum = 0.0;
  for (size_t i = 0; i < size_t(kSamples); ++i) {
    const auto low = static_cast<unsigned char>(raw[first + 2 * i]);
    const auto high = static_cast<unsigned char>(raw[first + 2 * i + 1]);
    const double sample = static_cast<int16_t>(uint16_t(low | (high << 8)));
    sum += sample * sample;
  }
  return std::sqrt(sum / double(kSamples));
}

}  // namespace

// Played through SDL's disk audio driver at the game's volume, the music gives loud blocks; once
// paused, every block written afterwards is exact silence.
TEST(Music, PlaysThroughTheMixerAndPausesToSilence) {
  constexpr int kGameVolume = 75;
  constexpr double kLoudRms = 300.0;  // of 32767
  const std::string raw = makeTempDir() + "/mixed.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "46", 1);
  ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
  ASSERT_EQ(Mix_OpenAudio(0, 0, 0, 0), 0) << Mix_GetError();
  Mix_Music* music = Mix_LoadMUS(musicPath().c_str());
  ASSERT_NE(music, nullptr) << Mix_GetError();
  Mix_VolumeMusic(kGameVolume);
  ASSERT_EQ(Mix_PlayMusic(music, -1), 0) << Mix_GetError();
  waitForBytes(raw, kPlayedBlocks * kBlockBytes);
  Mix_PauseMusic();
  const long pausedAt = fileSize(raw);
  waitForBytes(raw, pausedAt + (kInFlightBlocks + kPausedBlocks) * kBlockBytes);
  Mix_HaltMusic();
  Mix_FreeMusic(music);
  Mix_CloseAudio();
  SDL_Quit();

  std::ifstream file(raw, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
  long loudBlocks = 0;
  for (long block = 0; (block + 1) * kBlockBytes <= pausedAt; ++block)
    loudBlocks += blockRms(bytes, block) > kLoudRms;
  EXPECT_GE(loudBlocks, kPlayedBlocks / 2);

  long silentBlocks = 0;
  const long firstSilent = pausedAt / kBlockBytes + kInFlightBlocks;
  for (long block = firstSilent; (block + 1) * kBlockBytes <= long(bytes.size()); ++block) {
    EXPECT_EQ(blockRms(bytes, block), 0.0) << "block " << block;
    ++silentBlocks;
  }
  EXPECT_GE(silentBlocks, kPausedBlocks);
}
