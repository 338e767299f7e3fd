// tools/mediagen/music_vorbis.cpp -- encodes the music loop as Ogg Vorbis with libvorbisenc, and
// decodes it again with plain libvorbis.
#include "music_vorbis.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstring>

namespace {

// Variable-bit-rate quality (libvorbis scale, -0.1 to 1.0): plenty for a soft, slow piece, and
// well under a megabyte.
constexpr float kVorbisQuality = 0.3f;
constexpr int kChannels = 2;
// A fixed stream serial number, so every run writes the same bytes.
constexpr int kOggSerial = 0x534C4F57;
constexpr int kEncodeChunkFrames = 1024;
constexpr int kHeaderPackets = 3;

void appendPage(const ogg_page& page, std::vector<unsigned char>& out) {
  out.insert(out.end(), page.header, page.header + page.header_len);
  out.insert(out.end(), page.body, page.body + page.body_len);
}

// The libvorbis and libogg state of one encoding run.
struct Encoder {
  vorbis_info info;
  vorbis_comment comment;
  vorbis_dsp_state dsp;
  vorbis_block block;
  ogg_stream_state stream;
};

// Hands every block the analyser has ready to the stream and appends every full page.
void drainBlocks(Encoder& encoder, std::vector<unsigned char>& out) {
  ogg_page page;
  ogg_packet packet;
  while (vorbis_analysis_blockout(&encoder.dsp, &encoder.block) == 1) {
    vorbis_analysis(&encoder.block, nullptr);
    vorbis_bitrate_addblock(&encoder.block);
    while (vorbis_bitrate_flushpacket(&encoder.dsp, &packet) == 1) {
      ogg_stream_packetin(&encoder.stream, &packet);
      while (ogg_stream_pageout(&encoder.stream, &page) != 0) appendPage(page, out);
    }
  }
}

void writeHeaders(Encoder& encoder, std::vector<unsigned char>& out) {
  ogg_packet identification;
  ogg_packet comments;
  ogg_packet codebooks;
  vorbis_analysis_headerout(&encoder.dsp, &encoder.comment, &identification, &comments,
                            &codebooks);
  ogg_stream_packetin(&encoder.stream, &identification);
  ogg_stream_packetin(&encoder.stream, &comments);
  ogg_stream_packetin(&encoder.stream, &codebooks);
  // The audio starts on a fresh page, as decoders expect.
  ogg_page page;
  while (ogg_stream_flush(&encoder.stream, &page) != 0) appendPage(page, out);
}

// The libvorbis and libogg state of one decoding run.
struct Decoder {
  ogg_sync_state sync;
  ogg_stream_state stream;
  vorbis_info info;
  vorbis_comment comment;
  vorbis_dsp_state dsp;
  vorbis_block block;
  bool streamStarted = false;
  int headersRead = 0;
  ogg_int64_t lastGranule = -1;
};

// Takes one packet: a header while the three headers are not all read, else audio whose
// finished samples go to `out`. Returns false on a packet that cannot be a header.
bool decodePacket(Decoder& decoder, ogg_packet& packet, StereoLoop& out) {
  if (decoder.headersRead < kHeaderPackets) {
    if (vorbis_synthesis_headerin(&decoder.info, &decoder.comment, &packet) != 0) return false;
    if (++decoder.headersRead == kHeaderPackets) {
      if (decoder.info.channels != kChannels) return false;
      vorbis_synthesis_init(&decoder.dsp, &decoder.info);
      vorbis_block_init(&decoder.dsp, &decoder.block);
    }
    return true;
  }
  if (vorbis_synthesis(&decoder.block, &packet) == 0)
    vorbis_synthesis_blockin(&decoder.dsp, &decoder.block);
  float** pcm = nullptr;
  int frames = 0;
  while ((frames = vorbis_synthesis_pcmout(&decoder.dsp, &pcm)) > 0) {
    out.left.insert(out.left.end(), pcm[0], pcm[0] + frames);
    out.right.insert(out.right.end(), pcm[1], pcm[1] + frames);
    vorbis_synthesis_read(&decoder.dsp, frames);
  }
  return true;
}

}  // namespace

bool encodeOggVorbis(const StereoLoop& loop, std::vector<unsigned char>& out) {
  Encoder encoder;
  vorbis_info_init(&encoder.info);
  if (vorbis_encode_init_vbr(&encoder.info, kChannels, kMusicSampleRate, kVorbisQuality) != 0) {
    vorbis_info_clear(&encoder.info);
    return false;
  }
  vorbis_comment_init(&encoder.comment);
  vorbis_comment_add_tag(&encoder.comment, "TITLE", "SlowDown");
  vorbis_analysis_init(&encoder.dsp, &encoder.info);
  vorbis_block_init(&encoder.dsp, &encoder.block);
  ogg_stream_init(&encoder.stream, kOggSerial);
  writeHeaders(encoder, out);

  const size_t frames = loop.left.size();
  for (size_t done = 0; done < frames;) {
    const size_t count = std::min(frames - done, size_t(kEncodeChunkFrames));
    float** buffer = vorbis_analysis_buffer(&encoder.dsp, int(count));
    std::copy_n(loop.left.begin() + long(done), count, buffer[0]);
    std::copy_n(loop.right.begin() + long(done), count, buffer[1]);
    vorbis_analysis_wrote(&encoder.dsp, int(count));
    drainBlocks(encoder, out);
    done += count;
  }
  vorbis_analysis_wrote(&encoder.dsp, 0);
  drainBlocks(encoder, out);
  ogg_page page;
  while (ogg_stream_flush(&encoder.stream, &page) != 0) appendPage(page, out);

  ogg_stream_clear(&encoder.stream);
  vorbis_block_clear(&encoder.block);
  vorbis_dsp_clear(&encoder.dsp);
  vorbis_comment_clear(&encoder.comment);
  vorbis_info_clear(&encoder.info);
  return true;
}

bool decodeOggVorbis(const std::vector<unsigned char>& bytes, StereoLoop& out) {
  out.left.clear();
  out.right.clear();
  Decoder decoder;
  ogg_sync_init(&decoder.sync);
  vorbis_info_init(&decoder.info);
  vorbis_comment_init(&decoder.comment);
  char* input = ogg_sync_buffer(&decoder.sync, long(bytes.size()));
  std::memcpy(input, bytes.data(), bytes.size());
  ogg_sync_wrote(&decoder.sync, long(bytes.size()));

  bool ok = true;
  ogg_page page;
  ogg_packet packet;
  while (ok && ogg_sync_pageout(&decoder.sync, &page) == 1) {
    if (!decoder.streamStarted) {
      ogg_stream_init(&decoder.stream, ogg_page_serialno(&page));
      decoder.streamStarted = true;
    }
    ogg_stream_pagein(&decoder.stream, &page);
    if (ogg_page_granulepos(&page) >= 0) decoder.lastGranule = ogg_page_granulepos(&page);
    while (ok && ogg_stream_packetout(&decoder.stream, &packet) == 1)
      ok = decodePacket(decoder, packet, out);
  }
  ok = ok && decoder.headersRead == kHeaderPackets && decoder.lastGranule >= 0 &&
       size_t(decoder.lastGranule) <= out.left.size();
  if (ok) {
    out.left.resize(size_t(decoder.lastGranule));
    out.right.resize(size_t(decoder.lastGranule));
  }

  if (decoder.headersRead == kHeaderPackets) {
    vorbis_block_clear(&decoder.block);
    vorbis_dsp_clear(&decoder.dsp);
  }
  if (decoder.streamStarted) ogg_stream_clear(&decoder.stream);
  vorbis_comment_clear(&decoder.comment);
  vorbis_info_clear(&decoder.info);
  ogg_sync_clear(&decoder.sync);
  return ok;
}
