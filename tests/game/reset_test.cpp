// tests/game/reset_test.cpp -- new games: start values, emptied lists, the carved cave, and
// the best score settled against "highscore.dat" in a folder of the test's own.
#include "game/reset.h"

#include "game/state.h"
#include "game/world.h"
#include "platform/files.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int32_t UNCHANGED = 777;  // a best score that no file in these tests holds

class ResetTest : public testing::Test {
 protected:
  void SetUp() override {
    dir = makeTempDir();
    workingDir = std::make_unique<ScopedWorkingDir>(dir);
  }
  void TearDown() override {
    fileReplaceFault = FileReplaceFault::None;
    workingDir.reset();
    fs::remove_all(dir);
  }

  static void writeFile(const std::string& bytes) {
    std::ofstream(HIGH_SCORE_FILE, std::ios::binary) << bytes;
  }
  static std::string fileBytes() {
    std::ifstream in(HIGH_SCORE_FILE, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Ends a game with `finalScore` against a best of `best`.
  static void endGame(int32_t finalScore, int32_t best) {
    score = finalScore;
    highScore = best;
    resetGame();
  }
  std::string listing() const {
    std::string joined;
    for (const auto& entry : fs::directory_iterator(dir)) {
      joined += (joined.empty() ? "" : " ") + entry.path().filename().string();
    }
    return joined;
  }

  std::string dir;
  std::unique_ptr<ScopedWorkingDir> workingDir;
};

TEST_F(ResetTest, FirstStartWithoutAFileShowsZeroAndCreatesNone) {
  resetGame();
  EXPECT_EQ(highScore, 0);
  EXPECT_FALSE(fs::exists(HIGH_SCORE_FILE));
  endGame(0, 0);
  EXPECT_FALSE(fs::exists(HIGH_SCORE_FILE)) << "a game ending 0 against 0 only reads";
}

TEST_F(ResetTest, ReadingTakesTheLeadingNumberAndIgnoresTheRest) {
  struct Row {
    const char* name;
    std::string bytes;
    int32_t highScore;
  };
  const Row rows[] = {
      {"as written", "120\r\n", 120},
      {"bare line feed", "120\n", 120},
      {"no line end", "120", 120},
      {"spaces before, letter after", "  42x", 42},
      {"every kind of white space first", " \t\r\n\v\f17", 17},
      {"plus sign", "+15", 15},
      {"negative", "-30\r\n", -30},
      {"leading zeros", "000000000000000000000042", 42},
      {"largest", "2147483647", 2147483647},
      {"smallest", "-2147483648", INT32_MIN},
      {"binary after the digits", std::string("99\0\xff\x01junk", 9), 99},
      {"only letters", "abc", UNCHANGED},
      {"empty", "", UNCHANGED},
      {"only white space", "  \r\n", UNCHANGED},
      {"sign alone", "-", UNCHANGED},
      {"space after the sign", "- 5", UNCHANGED},
      {"just above the range", "2147483648", UNCHANGED},
      {"just below the range", "-2147483649", UNCHANGED},
      {"far outside the range", "99999999999999999999", UNCHANGED},
      {"binary first", std::string("\0" "42", 3), UNCHANGED},
      {"10 MB of digits", std::string(10 << 20, '9'), UNCHANGED},
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

TEST_F(ResetTest, BinaryJunkNeverCrashesTheRead) {
  std::srand(1234);
  for (int trial = 0; trial < 50; ++trial) {
    std::string junk(size_t(std::rand() % 9000), '\0');
    for (char& c : junk) c = char(std::rand());
    writeFile(junk);
    endGame(0, UNCHANGED);
    EXPECT_EQ(score, 0);
  }
}

TEST_F(ResetTest, ATieReadsTheFileAndOneMorePointWritesIt) {
  writeFile("500\r\n");
  endGame(490, 490);  // ties the best known in memory; the file's value wins
  EXPECT_EQ(highScore, 500);
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
  EXPECT_EQ(listing(), HIGH_SCORE_FILE) << "nothing else is left in the folder";
}

TEST_F(ResetTest, ANegativeStoredBestIsTakenAndAGameOfZeroBeatsIt) {
  writeFile("-20\r\n");
  resetGame();
  EXPECT_EQ(highScore, -20);
  endGame(0, highScore);
  EXPECT_EQ(highScore, 0);
  EXPECT_EQ(fileBytes(), "0\r\n");
}

TEST_F(ResetTest, ARecordThatCouldNotBeStoredIsKeptAndStoredLater) {
  writeFile("50\r\n");
  fileReplaceFault = FileReplaceFault::FailBeforeRename;
  endGame(80, 50);
  EXPECT_EQ(fileBytes(), "50\r\n") << "the old record survives the failed write";
  EXPECT_EQ(listing(), HIGH_SCORE_FILE) << "the temporary file is gone";
  EXPECT_EQ(highScore, 80);
  EXPECT_TRUE(highScoreUnsaved);

  endGame(0, highScore);
  EXPECT_EQ(highScore, 80) << "the lower stored value must not replace the unsaved record";
  EXPECT_TRUE(highScoreUnsaved);

  fileReplaceFault = FileReplaceFault::None;
  endGame(0, highScore);
  EXPECT_EQ(fileBytes(), "80\r\n") << "the next reset stores it";
  EXPECT_FALSE(highScoreUnsaved);
  endGame(0, highScore);
  EXPECT_EQ(highScore, 80);
}

TEST_F(ResetTest, AnUnsavedRecordGivesWayToAHigherStoredOne) {
  fileReplaceFault = FileReplaceFault::FailBeforeRename;
  endGame(80, 50);
  fileReplaceFault = FileReplaceFault::None;
  writeFile("90\r\n");  // another run of the game stored more meanwhile
  endGame(0, highScore);
  EXPECT_EQ(highScore, 90);
  EXPECT_FALSE(highScoreUnsaved);
  EXPECT_EQ(fileBytes(), "90\r\n");
}

TEST_F(ResetTest, UnwritablePlacesNeitherCrashNorLoseTheRecord) {
  // A folder where the file should be: it can be neither read nor replaced.
  fs::create_directory(HIGH_SCORE_FILE);
  endGame(80, 50);
  EXPECT_EQ(highScore, 80);
  endGame(0, highScore);
  EXPECT_EQ(highScore, 80);
  EXPECT_TRUE(fs::is_directory(HIGH_SCORE_FILE));
  EXPECT_EQ(listing(), HIGH_SCORE_FILE);
  fs::remove(HIGH_SCORE_FILE);
  endGame(0, highScore);
  EXPECT_EQ(fileBytes(), "80\r\n");

  // A working folder that has been removed: nothing can be created in it.
  const std::string gone = dir + "/gone";
  fs::create_directory(gone);
  ScopedWorkingDir inside(gone);
  fs::remove(gone);
  endGame(100, 80);
  EXPECT_EQ(highScore, 100);
  endGame(0, highScore);
  EXPECT_EQ(highScore, 100);
  EXPECT_EQ(health, 250.0) << "the rest of the reset still runs";
}

TEST_F(ResetTest, AWriterKilledBeforeTheRenameLeavesTheOldRecord) {
  writeFile("50\r\n");
  EXPECT_EXIT(
      {
        fileReplaceFault = FileReplaceFault::KillBeforeRename;
        endGame(80, 50);
      },
      testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(fileBytes(), "50\r\n");
  resetGame();
  EXPECT_EQ(highScore, 50);
}

TEST_F(ResetTest, ResetGivesEveryFieldItsStartValueAndEmptiesTheLists) {
  shipX = 12.5, shipY = -3.0, shipVelX = 1.5, shipVelY = -2.5;
  cameraX = 7.0, cameraY = 9.0, mapOriginX = 8.0, mapOriginY = -4.0;
  fireCooldown = 3, spawnTimer = 9, health = -4.0, impactEffect = 2.5, score = 0;
  for (int i = 0; i < 7; ++i) appendListEntry(shots, shotCount, new Shot());
  for (int i = 0; i < 5; ++i) appendListEntry(enemies, enemyCount, new Enemy{0, double(i), 0, 0});
  resetGame();
  const double doubles[] = {shipX, shipY, shipVelX, shipVelY, cameraX, cameraY,
                            mapOriginX, mapOriginY, impactEffect};
  for (double value : doubles) EXPECT_EQ(value, 0.0);
  EXPECT_EQ(health, 250.0);
  EXPECT_EQ(fireCooldown, 0);
  EXPECT_EQ(spawnTimer, 0);
  EXPECT_EQ(score, 0);
  EXPECT_EQ(shotCount, 0);
  EXPECT_EQ(enemyCount, 0);
  for (Shot* slot : shots) ASSERT_EQ(slot, nullptr);
  for (Enemy* slot : enemies) ASSERT_EQ(slot, nullptr);
}

TEST_F(ResetTest, CarveOpensExactlyTheDiscOfRadius75Cells) {
  resetGame();
  int open = 0;
  for (int c = 0; c < MAP_COLUMNS; ++c) {
    for (int r = 0; r < MAP_ROWS; ++r) {
      const double distance = std::sqrt(double((c - 500) * (c - 500) + (r - 500) * (r - 500)));
      const uint8_t expected = distance > 75.0 ? 1 : 0;
      ASSERT_EQ(WorldMap[c * MAP_ROWS + r], expected) << "cell " << c << ", " << r;
      open += expected == 0;
    }
  }
  EXPECT_EQ(open, 17665);
  struct Row {
    int column, row;
    uint8_t cell;
  };
  const Row rows[] = {{425, 500, 0}, {575, 500, 0}, {500, 425, 0}, {500, 575, 0},
                      {424, 500, 1}, {500, 576, 1}, {447, 447, 0}, {446, 447, 1}};
  for (const Row& row : rows) {
    EXPECT_EQ(WorldMap[row.column * MAP_ROWS + row.row], row.cell)
        << "cell " << row.column << ", " << row.row;
  }
}

}  // namespace
