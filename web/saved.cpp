// web/saved.cpp -- the best-score file copied to and from the browser's IndexedDB.
#include "web/saved.h"

#include "game/reset.h"

#include <emscripten.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

namespace {

constexpr size_t COPY_LIMIT = HIGH_SCORE_READ_LIMIT;

// What tells one stored file from the next: the game replaces the file by renaming a new one
// over it, so the inode changes with every store.
struct FileIdentity {
  bool exists;
  ino_t inode;
  off_t size;
  time_t modified;

  bool operator==(const FileIdentity&) const = default;
};

FileIdentity keptIdentity;

FileIdentity identityOf(const char* path) {
  struct stat status {};
  if (stat(path, &status) != 0) return FileIdentity{false, 0, 0, 0};
  return FileIdentity{true, status.st_ino, status.st_size, status.st_mtime};
}

std::string savedPath() { return std::string(SAVED_FOLDER) + "/" + HIGH_SCORE_FILE; }

bool copyFile(const char* from, const char* to) {
  std::FILE* source = std::fopen(from, "rb");
  if (source == nullptr) return false;
  char bytes[COPY_LIMIT];
  const size_t length = std::fread(bytes, 1, sizeof bytes, source);
  std::fclose(source);
  std::FILE* target = std::fopen(to, "wb");
  if (target == nullptr) return false;
  const bool written = std::fwrite(bytes, 1, length, target) == length;
  return std::fclose(target) == 0 && written;
}

}  // namespace

void restoreSavedRecord() {
  copyFile(savedPath().c_str(), HIGH_SCORE_FILE);
  keptIdentity = identityOf(HIGH_SCORE_FILE);
}

void keepRecordIfStored() {
  const FileIdentity now = identityOf(HIGH_SCORE_FILE);
  if (now == keptIdentity) return;
  keptIdentity = now;
  if (!now.exists || !copyFile(HIGH_SCORE_FILE, savedPath().c_str())) return;
  // Writing to IndexedDB finishes later, on its own; a failure leaves the record of this visit.
  EM_ASM({
    FS.syncfs(false, function(error) {
      if (error) err('the best score could not be kept: ' + error);
    });
  });
}
