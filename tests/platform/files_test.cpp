// tests/platform/files_test.cpp -- bounded reads and all-or-nothing replacement of files. (The
// best-score tests read a missing, an empty and a folder's "file", and check the bytes written.)
#include "platform/files.h"

#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
enum class RenameFault { None, Fail, Kill };
RenameFault renameFault = RenameFault::None;
}  // namespace

// The test binary's own rename stands in front of the C library's, so that a test can make a
// store fail, or die, exactly between the write of its temporary file and the rename.
extern "C" int rename(const char* from, const char* to) {
  if (renameFault == RenameFault::Kill) std::raise(SIGKILL);
  if (renameFault == RenameFault::Fail) {
    errno = EIO;
    return -1;
  }
  return renameat(AT_FDCWD, from, AT_FDCWD, to);
}

namespace {

namespace fs = std::filesystem;

class FilesTest : public testing::Test {
 protected:
  void SetUp() override { dir = makeTempDir(); }
  void TearDown() override {
    renameFault = RenameFault::None;
    fs::remove_all(dir);
  }

  std::string path(const std::string& name) const { return dir + "/" + name; }

  // The names in the folder, sorted, joined by spaces.
  std::string listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const auto& name : names) joined += (joined.empty() ? "" : " ") + name;
    return joined;
  }

  std::string dir;
};

TEST_F(FilesTest, ReadFilePrefixReadsAtMostItsCapacityAndRefusesWhatIsNoFile) {
  writeFileBytes(path("small"), "42\r\n");
  writeFileBytes(path("large"), std::string(100000, '7'));
  ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0);
  struct Row {
    const char* name;
    std::string file;
    long result;
  };
  const Row rows[] = {
      {"whole small file", "small", 4},
      {"large file stops at the capacity", "large", 16},
      {"pipe is refused without waiting for a writer", "pipe", -1},
  };
  for (const Row& row : rows) {
    char buffer[16] = {};
    EXPECT_EQ(readFilePrefix(path(row.file).c_str(), buffer, sizeof buffer), row.result)
        << row.name;
  }
  char buffer[16] = {};
  readFilePrefix(path("small").c_str(), buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer), "42\r\n");
}

TEST_F(FilesTest, FailedReplaceKeepsTheOldContentAndRemovesItsTemporaryFile) {
  writeFileBytes(path("plain"), "not a folder");
  // (A folder where the file goes is the best-score tests' unwritable record.)
  struct Row {
    const char* name;
    std::string file;
    RenameFault fault;
  };
  const Row rows[] = {
      {"rename fails after the write", "old", RenameFault::Fail},
      {"a path component is a file", "plain/best", RenameFault::None},
  };
  writeFileBytes(path("old"), "50\r\n");
  for (const Row& row : rows) {
    renameFault = row.fault;
    EXPECT_FALSE(replaceFileContents(path(row.file).c_str(), "80\r\n", 4)) << row.name;
    renameFault = RenameFault::None;
  }
  EXPECT_EQ(readFileBytes(path("old")), "50\r\n");
  EXPECT_EQ(readFileBytes(path("plain")), "not a folder");
  EXPECT_EQ(listing(), "old plain");
}

TEST_F(FilesTest, ProcessKilledBeforeTheRenameLeavesTheOldContent) {
  const std::string file = path("best");
  writeFileBytes(file, "50\r\n");
  EXPECT_EXIT(
      {
        renameFault = RenameFault::Kill;
        replaceFileContents(file.c_str(), "80\r\n", 4);
      },
      testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(readFileBytes(file), "50\r\n");
  // The dead writer's temporary file is left; the next write takes it over, longer than the
  // new content, and leaves exactly the new bytes and no temporary file.
  EXPECT_EQ(readFileBytes(path("best.tmp")), "80\r\n");
  ASSERT_TRUE(replaceFileContents(file.c_str(), "9\r\n", 3));
  EXPECT_EQ(readFileBytes(file), "9\r\n");
  EXPECT_EQ(listing(), "best");
}

}  // namespace
