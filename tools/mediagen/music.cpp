// tools/mediagen/music.cpp -- the game's looping music: synthesised, then encoded as Ogg Vorbis
// from the first frame, near the opening downbeat, at which the encoded loop closes smoothest.
#include "mediagen.h"
#include "music_synth.h"
#include "music_vorbis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <system_error>
#include <vector>

namespace {

// The lossy encoder adds a little noise everywhere. Inside the file that noise flows on from
// frame to frame, but at the loop's seam the noise of the last frames meets that of the first,
// which were encoded far apart, and the two may not meet evenly. Starting the file a few
// milliseconds later changes both, so several first frames just after the opening downbeat are
// encoded and the smoothest seam is kept. The candidates are the frames where both channels are
// nearest zero, so the very first start of the music, out of silence, does not click either.
constexpr size_t kStartSearchFrames = 2205;  // the first 100 ms after the downbeat
constexpr int kStartCandidates = 8;
constexpr size_t kCandidateSpacing = 64;  // apart enough to fall differently into the encoder's blocks

StereoLoop rotated(const StereoLoop& loop, size_t first) {
  StereoLoop out;
  out.left.reserve(loop.left.size());
  out.right.reserve(loop.right.size());
  out.left.insert(out.left.end(), loop.left.begin() + long(first), loop.left.end());
  out.left.insert(out.left.end(), loop.left.begin(), loop.left.begin() + long(first));
  out.right.insert(out.right.end(), loop.right.begin() + long(first), loop.right.end());
  out.right.insert(out.right.end(), loop.right.begin(), loop.right.begin() + long(first));
  return out;
}

std::vector<size_t> quietStartCandidates(const StereoLoop& loop) {
  std::vector<size_t> frames(std::min(kStartSearchFrames, loop.left.size()));
  std::iota(frames.begin(), frames.end(), size_t(0));
  const auto level = [&loop](size_t f) { return std::fabs(loop.left[f]) + std::fabs(loop.right[f]); };
  std::stable_sort(frames.begin(), frames.end(),
                   [&level](size_t a, size_t b) { return level(a) < level(b); });
  std::vector<size_t> chosen;
  for (size_t frame : frames) {
    if (int(chosen.size()) == kStartCandidates) break;
    const bool apart = std::all_of(chosen.begin(), chosen.end(), [frame](size_t other) {
      return (frame > other ? frame - other : other - frame) >= kCandidateSpacing;
    });
    if (apart) chosen.push_back(frame);
  }
  return chosen;
}

// How far the loop's end and start fail to continue each other in a straight line: each side's
// two edge frames predict the other side's edge frame, summed over both channels. 0 for a seam
// as smooth as a straight line.
double seamMismatch(const StereoLoop& loop) {
  double sum = 0.0;
  for (const std::vector<float>* channel : {&loop.left, &loop.right}) {
    const std::vector<float>& x = *channel;
    const size_t n = x.size();
    if (n < 2) return 0.0;
    sum += std::fabs(x[0] - (2.0 * x[n - 1] - x[n - 2])) + std::fabs(x[n - 1] - (2.0 * x[0] - x[1]));
  }
  return sum;
}

// Encodes the loop from each candidate first frame and keeps the bytes with the smoothest seam
// once decoded; the earliest candidate wins a tie. Returns false if no candidate encodes.
bool encodeSmoothestLoop(const StereoLoop& loop, std::vector<unsigned char>& best) {
  double bestMismatch = INFINITY;
  for (size_t first : quietStartCandidates(loop)) {
    std::vector<unsigned char> bytes;
    StereoLoop decoded;
    if (!encodeOggVorbis(rotated(loop, first), bytes) || !decodeOggVorbis(bytes, decoded))
      continue;
    const double mismatch = seamMismatch(decoded);
    if (mismatch < bestMismatch) {
      bestMismatch = mismatch;
      best.swap(bytes);
    }
  }
  return bestMismatch != INFINITY;
}

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

bool writeMusic(const std::string& mediaDir) {
  const std::string folder = mediaDir + "/Game";
  const std::string path = folder + "/SlowDown.ogg";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "zaraz-mediagen: cannot create %s: %s\n", folder.c_str(),
                 error.message().c_str());
    return false;
  }
  std::vector<unsigned char> bytes;
  if (!encodeSmoothestLoop(synthesiseMusicLoop(), bytes)) {
    std::fprintf(stderr, "zaraz-mediagen: the Vorbis encoder could not encode the music\n");
    return false;
  }
  if (!writeFile(path, bytes)) {
    std::fprintf(stderr, "zaraz-mediagen: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}
