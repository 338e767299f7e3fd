// tools/mediagen/music_synth.cpp -- "SlowDown": a slow D-minor loop of pads, a soft bass pulse, a
// quiet arpeggio and sparse bells, with echoes and a long reverb, all computed around the loop.
//
// Seamlessness comes from three rules: every note is written at its frame modulo the loop length,
// so a tail that rings past the end sounds at the start; every slow modulation completes a whole
// number of cycles in the loop; and every effect with memory runs over the loop twice, keeping the
// second pass, whose state at the start is the state the end of the loop leaves behind.
#include "music_synth.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

constexpr double kPi = 3.14159265358979323846;

// 56 beats a minute, chosen so a beat is a whole number of samples at 22050 Hz.
constexpr int kSamplesPerBeat = 23625;
constexpr int kBeatsPerBar = 4;
constexpr int kBeatsPerChord = 8;
constexpr int kChordCount = 8;
constexpr int kBeatsPerLoop = kBeatsPerChord * kChordCount;
constexpr long kLoopFrames = long(kSamplesPerBeat) * kBeatsPerLoop;

// MIDI note numbers: 69 is A above middle C at 440 Hz, 12 notes an octave.
constexpr double kConcertA = 440.0;
constexpr double kConcertANote = 69.0;
constexpr double kNotesPerOctave = 12.0;
constexpr double kCentsPerNote = 100.0;

// ---------------------------------------------------------------------------------------------
// Small tools

double noteToHz(double note) {
  return kConcertA * std::pow(2.0, (note - kConcertANote) / kNotesPerOctave);
}

long beatToFrame(double beat) { return std::lround(beat * kSamplesPerBeat); }

double secondsToFrames(double seconds) { return seconds * kMusicSampleRate; }

size_t wrapFrame(long frame) {
  long wrapped = frame % kLoopFrames;
  if (wrapped < 0) wrapped += kLoopFrames;
  return size_t(wrapped);
}

// Equal-power pan gains; position 0 is hard left, 1 hard right.
struct PanGains {
  double left;
  double right;
};

PanGains panGains(double position) {
  return {std::cos(position * kPi / 2), std::sin(position * kPi / 2)};
}

// A raised-cosine ramp from 0 at t = 0 to 1 at t = length, flat at both ends, so notes fade in and
// out without clicks.
double smoothRamp(double t, double length) {
  if (t <= 0.0) return 0.0;
  if (t >= length) return 1.0;
  return 0.5 - 0.5 * std::cos(kPi * t / length);
}

// Oscillator phases and bell pans come from this fixed generator, never from the clock.
struct FixedRandom {
  uint32_t state;
};

constexpr uint32_t kRandomSeed = 0x510D0u;

// A number in 0..1 (1 excluded); a plain linear congruential step.
double nextRandom(FixedRandom& random) {
  random.state = random.state * 1664525u + 1013904223u;
  return double(random.state >> 8) / double(1u << 24);
}

StereoLoop silentLoop() {
  StereoLoop loop;
  loop.left.assign(size_t(kLoopFrames), 0.0f);
  loop.right.assign(size_t(kLoopFrames), 0.0f);
  return loop;
}

// Adds a panned sample at a frame that may lie before or after the loop: it wraps around.
void addPanned(StereoLoop& loop, long frame, double sample, PanGains pan) {
  const size_t index = wrapFrame(frame);
  loop.left[index] += float(sample * pan.left);
  loop.right[index] += float(sample * pan.right);
}

// target += gain * source, frame by frame.
void mixInto(StereoLoop& target, const StereoLoop& source, double gain) {
  for (size_t i = 0; i < target.left.size(); ++i) {
    target.left[i] += float(gain * source.left[i]);
    target.right[i] += float(gain * source.right[i]);
  }
}

double rootMeanSquare(const StereoLoop& loop) {
  double sum = 0.0;
  for (size_t i = 0; i < loop.left.size(); ++i)
    sum += double(loop.left[i]) * loop.left[i] + double(loop.right[i]) * loop.right[i];
  return std::sqrt(sum / double(2 * loop.left.size()));
}

// Runs an effect with memory over the loop twice and keeps the second pass: by then its state
// holds the end of the loop, so whatever rings past the end reappears at the start, as it will
// when the game plays the loop again. Every effect here decays far below hearing within one loop.
template <typename State, typename Step>
StereoLoop runAroundLoop(State& state, const StereoLoop& input, Step step) {
  StereoLoop output = silentLoop();
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < input.left.size(); ++i)
      step(state, input.left[i], input.right[i], output.left[i], output.right[i]);
  }
  return output;
}

// ---------------------------------------------------------------------------------------------
// The score

// One chord of the progression, eight beats long: the bass note and the pad's five notes.
constexpr int kPadNotesPerChord = 5;
struct Chord {
  int bass;
  int pad[kPadNotesPerChord];
};

// i9 - VImaj7 - iv9 - V7sus4, then i - iv - VImaj9 - V7, whose C sharp leads back to the start.
constexpr Chord kProgression[kChordCount] = {
    {38, {50, 57, 60, 64, 65}},  // D minor 9
    {34, {46, 53, 57, 62, 65}},  // B flat major 7
    {31, {50, 55, 58, 62, 69}},  // G minor 9
    {33, {52, 57, 62, 64, 67}},  // A 7 sus 4
    {38, {50, 57, 62, 65, 69}},  // D minor
    {31, {50, 55, 58, 65, 70}},  // G minor
    {34, {50, 53, 57, 60, 65}},  // B flat major 9
    {33, {52, 57, 61, 64, 67}},  // A 7
};

// The bass's pulse within each bar: beat and strength.
struct Pulse {
  double beat;
  double velocity;
};
constexpr Pulse kBassPulse[] = {{0.0, 1.0}, {2.0, 0.7}, {3.5, 0.45}};

// The bell melody: beat within the loop, note and strength. Sparse on purpose; the last bell
// rings across the loop's end into the first chord.
struct BellNote {
  double beat;
  int note;
  double velocity;
};
constexpr BellNote kMelody[] = {
    {2.0, 81, 0.9},  {5.0, 77, 0.7},  {6.5, 76, 0.6},  {10.0, 74, 0.8}, {13.0, 77, 0.6},
    {18.0, 79, 0.9}, {21.0, 82, 0.7}, {22.5, 81, 0.6}, {26.0, 76, 0.8}, {29.0, 74, 0.6},
    {34.0, 84, 0.9}, {36.5, 81, 0.6}, {38.0, 77, 0.7}, {42.0, 79, 0.8}, {45.0, 74, 0.6},
    {46.5, 77, 0.6}, {50.0, 81, 0.9}, {53.0, 77, 0.6}, {58.0, 76, 0.8}, {60.5, 73, 0.7},
};

// ---------------------------------------------------------------------------------------------
// Pads: three slightly detuned oscillators per note, spread across the stereo field, whose tone
// slowly opens and closes.

constexpr int kWaveTableSize = 4096;
constexpr int kDarkHarmonics = 3;
constexpr double kDarkWave[kDarkHarmonics] = {1.0, 0.25, 0.08};
constexpr int kBrightHarmonics = 7;
constexpr double kBrightRolloff = 1.1;  // harmonic k has strength 1 / k^rolloff

constexpr int kPadVoices = 3;
constexpr double kPadDetuneCents[kPadVoices] = {-7.0, 0.0, 7.0};
constexpr double kPadPans[kPadVoices] = {0.15, 0.5, 0.85};
constexpr double kPadLevel = 0.05;
constexpr double kPadLeadInBeats = 1.0;  // a chord enters under the end of the one before
constexpr double kPadAttackBeats = 3.0;
constexpr double kPadReleaseBeats = 4.0;  // and fades out under the one after

// The tone sweep between the dark and the bright wave: whole cycles per loop, and its range.
constexpr int kToneSweepCycles = 4;
constexpr double kToneSweepMiddle = 0.35;
constexpr double kToneSweepDepth = 0.3;

struct PadWaves {
  std::vector<float> dark;
  std::vector<float> bright;
  std::vector<float> brightness;  // per frame of the loop, 0 all dark .. 1 all bright
};

PadWaves makePadWaves() {
  PadWaves waves;
  waves.dark.resize(kWaveTableSize);
  waves.bright.resize(kWaveTableSize);
  for (int i = 0; i < kWaveTableSize; ++i) {
    const double phase = 2.0 * kPi * i / kWaveTableSize;
    double dark = 0.0;
    for (int k = 1; k <= kDarkHarmonics; ++k) dark += kDarkWave[k - 1] * std::sin(k * phase);
    double bright = 0.0;
    for (int k = 1; k <= kBrightHarmonics; ++k)
      bright += std::sin(k * phase) / std::pow(double(k), kBrightRolloff);
    waves.dark[size_t(i)] = float(dark);
    waves.bright[size_t(i)] = float(bright);
  }
  waves.brightness.resize(size_t(kLoopFrames));
  for (long frame = 0; frame < kLoopFrames; ++frame) {
    const double angle = 2.0 * kPi * kToneSweepCycles * double(frame) / double(kLoopFrames);
    waves.brightness[size_t(frame)] = float(kToneSweepMiddle - kToneSweepDepth * std::cos(angle));
  }
  return waves;
}

// The wave at `phase` (0..1), read between table entries by linear interpolation.
double readWave(const std::vector<float>& table, double phase) {
  const double position = phase * kWaveTableSize;
  const int index = int(position);
  const double fraction = position - index;
  const float here = table[size_t(index)];
  const float next = table[size_t((index + 1) % kWaveTableSize)];
  return here + fraction * (next - here);
}

void addPadNote(StereoLoop& out, const PadWaves& waves, int note, double startBeat,
                FixedRandom& random) {
  const long start = beatToFrame(startBeat - kPadLeadInBeats);
  const long length = beatToFrame(kPadLeadInBeats + kBeatsPerChord + kPadReleaseBeats);
  const double attack = kPadAttackBeats * kSamplesPerBeat;
  const double release = kPadReleaseBeats * kSamplesPerBeat;
  for (int voice = 0; voice < kPadVoices; ++voice) {
    const double step = noteToHz(note + kPadDetuneCents[voice] / kCentsPerNote) / kMusicSampleRate;
    const PanGains pan = panGains(kPadPans[voice]);
    double phase = nextRandom(random);
    for (long i = 0; i < length; ++i) {
      const double envelope = smoothRamp(double(i), attack) * smoothRamp(double(length - i), release);
      const double bright = waves.brightness[wrapFrame(start + i)];
      const double sample =
          (1.0 - bright) * readWave(waves.dark, phase) + bright * readWave(waves.bright, phase);
      addPanned(out, start + i, kPadLevel * envelope * sample, pan);
      phase += step;
      if (phase >= 1.0) phase -= 1.0;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Plucked tones: the bass and the arpeggio. A short rise, an exponential die-away and a brief fade
// at the end, over a few harmonics.

constexpr int kPluckHarmonics = 3;
struct Pluck {
  double attackSeconds;
  double decaySeconds;
  double lengthSeconds;
  double endFadeSeconds;
  double harmonics[kPluckHarmonics];  // strength of the 1st, 2nd and 3rd harmonic
};

void addPluck(StereoLoop& out, const Pluck& pluck, int note, double startBeat, double gain,
              double pan) {
  const long start = beatToFrame(startBeat);
  const long length = std::lround(secondsToFrames(pluck.lengthSeconds));
  const double omega = 2.0 * kPi * noteToHz(note) / kMusicSampleRate;
  const PanGains gains = panGains(pan);
  for (long i = 0; i < length; ++i) {
    const double t = double(i) / kMusicSampleRate;
    const double envelope = smoothRamp(t, pluck.attackSeconds) * std::exp(-t / pluck.decaySeconds) *
                            smoothRamp(pluck.lengthSeconds - t, pluck.endFadeSeconds);
    double sample = 0.0;
    for (int k = 0; k < kPluckHarmonics; ++k)
      sample += pluck.harmonics[k] * std::sin((k + 1) * omega * double(i));
    addPanned(out, start + i, gain * envelope * sample, gains);
  }
}

// The bass: a soft, round pulse in the middle, felt more than heard.
constexpr Pluck kBassPluck = {0.04, 0.9, 2.4, 0.3, {1.0, 0.3, 0.1}};
constexpr double kBassLevel = 0.3;
constexpr double kCentrePan = 0.5;

// The arpeggio: soft plucks of the pad's notes an octave up, in eighth notes, swelling in and out.
constexpr Pluck kArpPluck = {0.01, 0.3, 1.5, 0.2, {1.0, 0.0, 0.15}};
constexpr int kArpStepsPerBar = 8;
constexpr double kArpStepBeats = 0.5;
constexpr int kArpPattern[kArpStepsPerBar] = {0, 2, 4, 3, 1, 3, 2, 4};  // indexes into the pad
constexpr int kArpOctaveUp = 12;
constexpr double kArpLevel = 0.07;
constexpr double kArpPans[2] = {0.3, 0.7};
constexpr int kArpSwellCycles = 2;  // whole swells per loop
constexpr double kArpSwellFloor = 0.15;

// The arpeggio's loudness at a beat of the loop.
double arpSwell(double beat) {
  const double angle = 2.0 * kPi * kArpSwellCycles * beat / kBeatsPerLoop;
  return kArpSwellFloor + (1.0 - kArpSwellFloor) * (0.5 - 0.5 * std::cos(angle));
}

// ---------------------------------------------------------------------------------------------
// Bells: a few inharmonic partials, the higher ones dying away faster.

struct Partial {
  double ratio;  // to the note's pitch
  double strength;
  double decaySeconds;
};
constexpr Partial kBellPartials[] = {
    {0.5, 0.25, 5.0}, {1.0, 1.0, 3.5}, {2.0, 0.3, 2.0}, {2.76, 0.35, 1.2}, {5.4, 0.1, 0.5},
};
constexpr double kBellLevel = 0.1;
constexpr double kBellAttackSeconds = 0.006;
constexpr double kBellLengthSeconds = 9.0;
constexpr double kBellEndFadeSeconds = 1.5;
constexpr double kBellPanMin = 0.3;
constexpr double kBellPanRange = 0.4;

void addBellNote(StereoLoop& out, const BellNote& bell, FixedRandom& random) {
  const long start = beatToFrame(bell.beat);
  const long length = std::lround(secondsToFrames(kBellLengthSeconds));
  const double hz = noteToHz(bell.note);
  const PanGains pan = panGains(kBellPanMin + kBellPanRange * nextRandom(random));
  for (long i = 0; i < length; ++i) {
    const double t = double(i) / kMusicSampleRate;
    double sample = 0.0;
    for (const Partial& partial : kBellPartials)
      sample += partial.strength * std::exp(-t / partial.decaySeconds) *
                std::sin(2.0 * kPi * hz * partial.ratio * t);
    const double envelope =
        smoothRamp(t, kBellAttackSeconds) * smoothRamp(kBellLengthSeconds - t, kBellEndFadeSeconds);
    addPanned(out, start + i, kBellLevel * bell.velocity * envelope * sample, pan);
  }
}

// ---------------------------------------------------------------------------------------------
// Echoes: the bells bounce between the speakers, each echo softer and darker than the last.

constexpr double kEchoBeats = 0.75;
constexpr double kEchoFeedback = 0.45;
constexpr double kEchoDarkening = 0.4;  // share of the old tone kept by the echo's low-pass

struct EchoState {
  std::vector<float> leftLine;
  std::vector<float> rightLine;
  size_t position = 0;
  double leftTone = 0.0;
  double rightTone = 0.0;
};

void stepEcho(EchoState& echo, float inLeft, float inRight, float& outLeft, float& outRight) {
  const float fromLeft = echo.leftLine[echo.position];
  const float fromRight = echo.rightLine[echo.position];
  echo.leftTone = kEchoDarkening * echo.leftTone + (1.0 - kEchoDarkening) * fromLeft;
  echo.rightTone = kEchoDarkening * echo.rightTone + (1.0 - kEchoDarkening) * fromRight;
  echo.leftLine[echo.position] = float(0.5 * (inLeft + inRight) + kEchoFeedback * echo.rightTone);
  echo.rightLine[echo.position] = float(kEchoFeedback * echo.leftTone);
  outLeft = fromLeft;
  outRight = fromRight;
  echo.position = (echo.position + 1) % echo.leftLine.size();
}

StereoLoop echoesOf(const StereoLoop& input) {
  EchoState echo;
  const size_t delay = size_t(beatToFrame(kEchoBeats));
  echo.leftLine.assign(delay, 0.0f);
  echo.rightLine.assign(delay, 0.0f);
  return runAroundLoop(echo, input, stepEcho);
}

// ---------------------------------------------------------------------------------------------
// Reverb: eight damped comb filters in parallel and four all-passes in series per side.

constexpr int kCombCount = 8;
constexpr int kAllPassCount = 4;
// Lengths in samples, mutually prime so their echoes do not pile up; the right side's are a few
// samples longer, which widens the sound.
constexpr int kCombLengths[kCombCount] = {557, 593, 641, 677, 709, 743, 787, 811};
constexpr int kAllPassLengths[kAllPassCount] = {277, 223, 173, 113};
constexpr int kStereoSpread = 13;
constexpr double kReverbSeconds = 5.0;  // time for the tail to fall by 60 dB
constexpr double kSixtyDecibels = 1000.0;
constexpr double kReverbDamping = 0.35;
constexpr double kAllPassFeedback = 0.5;

struct Comb {
  std::vector<float> line;
  size_t position = 0;
  double feedback = 0.0;
  double tone = 0.0;
};

struct AllPass {
  std::vector<float> line;
  size_t position = 0;
};

struct ReverbSide {
  Comb combs[kCombCount];
  AllPass allPasses[kAllPassCount];
};

struct ReverbState {
  ReverbSide left;
  ReverbSide right;
};

void initReverbSide(ReverbSide& side, int spread) {
  for (int i = 0; i < kCombCount; ++i) {
    const int length = kCombLengths[i] + spread;
    side.combs[i].line.assign(size_t(length), 0.0f);
    side.combs[i].feedback =
        std::pow(kSixtyDecibels, -double(length) / secondsToFrames(kReverbSeconds));
  }
  for (int i = 0; i < kAllPassCount; ++i)
    side.allPasses[i].line.assign(size_t(kAllPassLengths[i] + spread), 0.0f);
}

double stepComb(Comb& comb, double in) {
  const double out = comb.line[comb.position];
  comb.tone = out * (1.0 - kReverbDamping) + comb.tone * kReverbDamping;
  comb.line[comb.position] = float(in + comb.tone * comb.feedback);
  comb.position = (comb.position + 1) % comb.line.size();
  return out;
}

double stepAllPass(AllPass& allPass, double in) {
  const double stored = allPass.line[allPass.position];
  allPass.line[allPass.position] = float(in + stored * kAllPassFeedback);
  allPass.position = (allPass.position + 1) % allPass.line.size();
  return stored - in;
}

double stepReverbSide(ReverbSide& side, double in) {
  double sum = 0.0;
  for (Comb& comb : side.combs) sum += stepComb(comb, in);
  for (AllPass& allPass : side.allPasses) sum = stepAllPass(allPass, sum);
  return sum;
}

void stepReverb(ReverbState& reverb, float inLeft, float inRight, float& outLeft, float& outRight) {
  const double in = 0.5 * (inLeft + inRight);
  outLeft = float(stepReverbSide(reverb.left, in));
  outRight = float(stepReverbSide(reverb.right, in));
}

StereoLoop reverbOf(const StereoLoop& input) {
  ReverbState reverb;
  initReverbSide(reverb.left, 0);
  initReverbSide(reverb.right, kStereoSpread);
  return runAroundLoop(reverb, input, stepReverb);
}

// ---------------------------------------------------------------------------------------------
// The mix

// How much of each part goes to the reverb, and how loud the reverb comes back relative to the
// dry mix (by RMS), and how loud the echoes are.
constexpr double kPadSend = 0.35;
constexpr double kBassSend = 0.1;
constexpr double kArpSend = 0.5;
constexpr double kBellSend = 0.7;
constexpr double kEchoSend = 0.6;
constexpr double kEchoLevel = 0.7;
constexpr double kReverbToDry = 0.6;

// A high-pass at about 2 Hz that takes out any offset the envelopes leave.
constexpr double kDcPole = 0.9995;

struct DcState {
  double lastInLeft = 0.0, lastOutLeft = 0.0;
  double lastInRight = 0.0, lastOutRight = 0.0;
};

void stepDcBlock(DcState& dc, float inLeft, float inRight, float& outLeft, float& outRight) {
  dc.lastOutLeft = inLeft - dc.lastInLeft + kDcPole * dc.lastOutLeft;
  dc.lastOutRight = inRight - dc.lastInRight + kDcPole * dc.lastOutRight;
  dc.lastInLeft = inLeft;
  dc.lastInRight = inRight;
  outLeft = float(dc.lastOutLeft);
  outRight = float(dc.lastOutRight);
}

void normalisePeak(StereoLoop& loop) {
  float peak = 0.0f;
  for (size_t i = 0; i < loop.left.size(); ++i)
    peak = std::max({peak, std::fabs(loop.left[i]), std::fabs(loop.right[i])});
  if (peak == 0.0f) return;
  const float gain = kMusicPeakLevel / peak;
  for (size_t i = 0; i < loop.left.size(); ++i) {
    loop.left[i] *= gain;
    loop.right[i] *= gain;
  }
}

}  // namespace

StereoLoop synthesiseMusicLoop() {
  FixedRandom random{kRandomSeed};
  const PadWaves waves = makePadWaves();
  StereoLoop pads = silentLoop();
  StereoLoop bass = silentLoop();
  StereoLoop arp = silentLoop();
  StereoLoop bells = silentLoop();
  for (int c = 0; c < kChordCount; ++c) {
    const Chord& chord = kProgression[c];
    const double chordBeat = double(c * kBeatsPerChord);
    for (int note : chord.pad) addPadNote(pads, waves, note, chordBeat, random);
    for (int bar = 0; bar < kBeatsPerChord / kBeatsPerBar; ++bar) {
      const double barBeat = chordBeat + bar * kBeatsPerBar;
      for (const Pulse& pulse : kBassPulse)
        addPluck(bass, kBassPluck, chord.bass, barBeat + pulse.beat, kBassLevel * pulse.velocity,
                 kCentrePan);
      for (int step = 0; step < kArpStepsPerBar; ++step) {
        const double beat = barBeat + step * kArpStepBeats;
        addPluck(arp, kArpPluck, chord.pad[kArpPattern[step]] + kArpOctaveUp, beat,
                 kArpLevel * arpSwell(beat), kArpPans[step % 2]);
      }
    }
  }
  for (const BellNote& bell : kMelody) addBellNote(bells, bell, random);
  const StereoLoop echoes = echoesOf(bells);

  StereoLoop dry = silentLoop();
  mixInto(dry, pads, 1.0);
  mixInto(dry, bass, 1.0);
  mixInto(dry, arp, 1.0);
  mixInto(dry, bells, 1.0);
  mixInto(dry, echoes, kEchoLevel);

  StereoLoop send = silentLoop();
  mixInto(send, pads, kPadSend);
  mixInto(send, bass, kBassSend);
  mixInto(send, arp, kArpSend);
  mixInto(send, bells, kBellSend);
  mixInto(send, echoes, kEchoSend);
  const StereoLoop wet = reverbOf(send);
  const double wetRms = rootMeanSquare(wet);
  if (wetRms > 0.0) mixInto(dry, wet, kReverbToDry * rootMeanSquare(dry) / wetRms);

  DcState dc;
  StereoLoop mix = runAroundLoop(dc, dry, stepDcBlock);
  normalisePeak(mix);
  return mix;
}
