// tools/mediagen/music_vorbis.h -- Ogg Vorbis encoding of the music loop, and the decoding the
// generator uses to judge how the encoded loop's end meets its start.
//
// music.cpp calls both while it picks the loop's first frame.
#pragma once

#include "music_synth.h"

#include <vector>

// Encodes `loop` (kMusicSampleRate, two channels) as one Ogg Vorbis stream whose last page's
// granule position is the loop's exact length. Same bytes for the same samples: the stream
// serial number is fixed and the only comment is the title. Returns false, leaving `out` partly
// written, if the encoder refuses its settings.
bool encodeOggVorbis(const StereoLoop& loop, std::vector<unsigned char>& out);

// Decodes a two-channel stream written by encodeOggVorbis into `out`, trimmed to the length the
// last granule position gives. Returns false if the bytes are not such a stream.
bool decodeOggVorbis(const std::vector<unsigned char>& bytes, StereoLoop& out);
