// tests/game/reset_test.cpp -- the best score settled against "highscore.dat": its bytes and odd
// contents. (The start cave is in every replay checkpoint's map hash.)
#include "game/reset.h"

#include "game/state.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int32_t UNCHANGED = 777;  // a best score that no file in these tests holds

class ResetTest : public testing::Test {
 protected:
  void SetUp() override { highScore = 0; highScoreUnsaved = false; }  // as at start-up

  static void writeFile(const std::string& bytes) { writeFileBytes(HIGH_SCORE_FILE, bytes); }
  static std::string fileBytes() { return readFileBytes(HIGH_SCORE_FILE); }
  // Ends a game with `finalScore` against a best of `best`.
  static void endGame(int32_t finalScore, int32_t best) {
    score = finalScore;
    highScore = best;
    resetGame();
  }

  const ScopedWorkingDir scratch;
};

TEST_F(ResetTest, ReadingTakesTheLeadingNumberAndIgnoresTheRest) {
  struct Row {
    const char* name;
    std::string bytes;
    int32_t highScore;
  };
  const Row rows[] = {
      {"as written", "120\r\n", 120},
      {"spaces before, letter after", "  42x", 42},
      {"every kind of white space first", " \t\r\n\v\f17", 17},
      {"plus sign", "+15", 15},
      {"negative", "-30\r\n", -30},
      {"leading zeros", "000000000000000000000042", 42},
      {"largest", "2147483647", INT32_MAX},
      {"smallest", "-2147483648", INT32_MIN},
      {"only letters", "abc", UNCHANGED},
      {"empty", "", UNCHANGED},
      {"only white space", "  \r\n", UNCHANGED},
      {"sign alone", "-", UNCHANGED},
      {"space after the sign", "- 5", UNCHANGED},
      {"just above the range", "2147483648", UNCHANGED},
      {"just below the range", "-2147483649", UNCHANGED},
      {"binary first", std::string("\0" "42", 3), UNCHANGED},
      {"number running past the part that is read",
       std::string(HIGH_SCORE_READ_LIMIT - 3, ' ') + "1234", UNCHANGED},
      {"number ending inside the part that is read",
       std::string(HIGH_SCORE_READ_LIMIT - 4, ' ') + "123 ", 123},
  };
  for (const Row& row : rows) {
    writeFile(row.bytes);
    endGame(0, UNCHANGED);
    EXPECT_EQ(highScore, row.highScore) << row.name;
    EXPECT_EQ(fileBytes(), row.bytes) << row.name << ": reading must not write";
  }
}

TEST_F(ResetTest, NoFileAtStartShowsZeroAndATieOnlyReads) {
  resetGame();
  EXPECT_EQ(highScore, 0);
  endGame(0, UNCHANGED);
  EXPECT_EQ(highScore, UNCHANGED) << "a missing file leaves the best score in memory";
  endGame(0, 0);
  EXPECT_FALSE(fs::exists(HIGH_SCORE_FILE)) << "a game ending 0 against 0 only reads";
  writeFile("500\r\n");
  endGame(490, 490);
  EXPECT_EQ(highScore, 500) << "the file's value wins over the one in memory";
  endGame(500, 500);
  EXPECT_EQ(fileBytes(), "500\r\n");
  endGame(501, 500);
  EXPECT_EQ(highScore, 501);
  EXPECT_EQ(fileBytes(), "501\r\n");
  EXPECT_EQ(score, 0);
}

TEST_F(ResetTest, ARecordIsWrittenAsDigitsAndCarriageReturnLineFeed) {
  endGame(120, 0);
  EXPECT_EQ(fileBytes(), std::string("\x31\x32\x30\x0D\x0A"));
  writeFile("-20\r\n");
  endGame(-40, 0);
  EXPECT_EQ(highScore, -20) << "a negative stored best is taken";
  endGame(0, highScore);
  EXPECT_EQ(fileBytes(), "0\r\n") << "and a game of 0 beats it";
}

TEST_F(ResetTest, ARecordThatCannotBeStoredIsKeptAndStoredLater) {
  fs::create_directory(HIGH_SCORE_FILE);  // neither readable nor replaceable as a file
  endGame(80, 50);
  EXPECT_EQ(highScore, 80);
  EXPECT_TRUE(highScoreUnsaved);
  endGame(0, highScore);
  EXPECT_EQ(highScore, 80) << "kept while the file cannot be read";
  fs::remove(HIGH_SCORE_FILE);
  writeFile("60\r\n");
  endGame(0, highScore);
  EXPECT_EQ(highScore, 80) << "a lower stored value does not replace it";
  EXPECT_EQ(fileBytes(), "80\r\n") << "it is offered to the file again";
  EXPECT_FALSE(highScoreUnsaved);
  highScoreUnsaved = true;
  writeFile("90\r\n");
  endGame(0, highScore);
  EXPECT_EQ(highScore, 90) << "a higher stored value replaces an unsaved record";
  EXPECT_FALSE(highScoreUnsaved);
}

}  // namespace
