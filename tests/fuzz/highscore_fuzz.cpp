// tests/fuzz/highscore_fuzz.cpp -- libFuzzer target: any bytes as "highscore.dat" (in the working
// directory: run-fuzzers starts it in a scratch folder), read by a game reset, must give the best
// score a plain reading gives, and no record set must leave the file unwritten.
#include "game/reset.h"
#include "game/state.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace {

constexpr int32_t SCORE_BEFORE = 777;  // the best score the reset starts from
constexpr size_t MOST_DIGITS = 10;     // of a 32-bit number, leading zeros not counted

[[noreturn]] void fault(const char* what) {
  std::fprintf(stderr, "highscore fuzz: %s\n", what);
  std::abort();
}

// What a careful reader makes of the file: the number at its start, if it has one that fits.
std::optional<int32_t> plainReading(const std::string& bytes) {
  const std::string text = bytes.substr(0, HIGH_SCORE_READ_LIMIT);
  const bool cut = bytes.size() >= HIGH_SCORE_READ_LIMIT;
  size_t at = text.find_first_not_of(" \t\n\v\f\r");
  if (at == std::string::npos) return std::nullopt;
  bool negative = false;
  if (text[at] == '+' || text[at] == '-') negative = text[at++] == '-';
  const size_t end = text.find_first_not_of("0123456789", at);
  const size_t stop = end == std::string::npos ? text.size() : end;
  if (stop == at) return std::nullopt;
  // Digits that run on to the end of a read that stopped short of the file's end may go on.
  if (stop == text.size() && cut) return std::nullopt;
  std::string digits = text.substr(at, stop - at);
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
  if (digits.size() > MOST_DIGITS) return std::nullopt;
  const long long value = std::stoll(digits) * (negative ? -1 : 1);
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return int32_t(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream file(HIGH_SCORE_FILE, std::ios::binary | std::ios::trunc);
    file << bytes;
    if (!file) fault("cannot write the input file");
  }
  score = 0;
  highScore = SCORE_BEFORE;
  highScoreUnsaved = false;
  resetGame();

  const std::optional<int32_t> expected = plainReading(bytes);
  if (highScore != expected.value_or(SCORE_BEFORE)) fault("the reset read another best score");
  std::ifstream after(HIGH_SCORE_FILE, std::ios::binary);
  if (std::string(std::istreambuf_iterator<char>(after), {}) != bytes)
    fault("the reset changed the file, though no record was set");
  if (score != 0 || shotCount != 0 || enemyCount != 0) fault("the reset did not start a game");
  return 0;
}
