// platform/files.cpp -- bounded reads and all-or-nothing replacement of small files (POSIX).
#include "platform/files.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileReplaceFault fileReplaceFault = FileReplaceFault::None;

namespace {

constexpr const char* TEMP_SUFFIX = ".tmp";
constexpr mode_t NEW_FILE_MODE = 0666;  // narrowed by the umask, as any file a program creates

// Retries reads and writes that a signal interrupted.
template <typename Call>
long retryInterrupted(Call call) {
  long result;
  do {
    result = long(call());
  } while (result < 0 && errno == EINTR);
  return result;
}

bool writeAll(int fd, const char* bytes, size_t length) {
  while (length > 0) {
    const long written = retryInterrupted([&] { return ::write(fd, bytes, length); });
    if (written <= 0) return false;
    bytes += written;
    length -= size_t(written);
  }
  return true;
}

// Makes the rename itself durable. Best effort: the new content is already in place whether or
// not the directory can be synced.
void syncDirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string directory =
      slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Writes the temporary file and syncs it; false when any step failed.
bool writeTemporary(const std::string& tempPath, const char* bytes, size_t length) {
  // A stale temporary of a crashed run is replaced; O_EXCL and O_NOFOLLOW keep the write from
  // landing anywhere but in a file of our own.
  ::unlink(tempPath.c_str());
  const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        NEW_FILE_MODE);
  if (fd < 0) return false;
  bool ok = writeAll(fd, bytes, length) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  return ok;
}

}  // namespace

long readFilePrefix(const char* path, char* buffer, size_t capacity) {
  // Non-blocking, so that a pipe of that name is refused rather than waited on.
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  size_t total = 0;
  while (total < capacity) {
    const long got = retryInterrupted([&] { return ::read(fd, buffer + total, capacity - total); });
    if (got < 0) {
      ::close(fd);
      return -1;
    }
    if (got == 0) break;
    total += size_t(got);
  }
  ::close(fd);
  return long(total);
}

bool replaceFileContents(const char* path, const char* bytes, size_t length) {
  const std::string tempPath = std::string(path) + TEMP_SUFFIX;
  bool ok = writeTemporary(tempPath, bytes, length);
  if (ok && fileReplaceFault == FileReplaceFault::KillBeforeRename) std::raise(SIGKILL);
  if (fileReplaceFault == FileReplaceFault::FailBeforeRename) ok = false;
  if (ok) ok = std::rename(tempPath.c_str(), path) == 0;
  if (!ok) {
    ::unlink(tempPath.c_str());
    return false;
  }
  syncDirectoryOf(path);
  return true;
}
