// platform/files.cpp -- bounded reads and all-or-nothing replacement of small files: one
// skeleton over a handful of POSIX or Windows calls.
#include "platform/files.h"

#include <string>

#ifdef _WIN32
// The bytes are written as they stand (the callers' line ends are already CR LF), so the file is
// the same byte for byte as on POSIX.
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr const char* TEMP_SUFFIX = ".tmp";

#ifdef _WIN32

using File = HANDLE;
const File NO_FILE = INVALID_HANDLE_VALUE;
constexpr DWORD LARGEST_TRANSFER = 1u << 30;

DWORD transferSize(size_t length) {
  return DWORD(length < LARGEST_TRANSFER ? length : LARGEST_TRANSFER);
}

// A folder cannot be opened this way; a console, pipe or other device is refused by its type.
File openRegular(const char* path, bool forWriting) {
  const DWORD share = forWriting ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  const HANDLE file = CreateFileA(path, forWriting ? GENERIC_WRITE : GENERIC_READ, share, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == NO_FILE || GetFileType(file) == FILE_TYPE_DISK) return file;
  CloseHandle(file);
  return NO_FILE;
}

// CREATE_NEW keeps the write from landing anywhere but in a file of our own.
File createTemporary(const std::string& tempPath, bool& refused) {
  const HANDLE file = CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  refused = file == NO_FILE && GetLastError() == ERROR_ACCESS_DENIED;
  return file;
}

long readSome(File file, char* buffer, size_t capacity) {
  DWORD got = 0;
  return ReadFile(file, buffer, transferSize(capacity), &got, nullptr) ? long(got) : -1;
}

long writeSome(File file, const char* bytes, size_t length) {
  DWORD written = 0;
  return WriteFile(file, bytes, transferSize(length), &written, nullptr) ? long(written) : -1;
}

bool syncFile(File file) { return FlushFileBuffers(file); }
bool cutFile(File file, size_t) { return SetEndOfFile(file); }
bool closeFile(File file) { return CloseHandle(file); }
void removeFile(const std::string& path) { DeleteFileA(path.c_str()); }

// rename() refuses to replace an existing file on Windows; MoveFileExA replaces it, and with
// write-through returns only once the move is on the disk.
bool moveOver(const std::string& tempPath, const char* path) {
  return MoveFileExA(tempPath.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

#else

using File = int;
constexpr File NO_FILE = -1;
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

// Non-blocking, so that a pipe of that name is refused rather than waited on.
File openRegular(const char* path, bool forWriting) {
  const int fd = ::open(path, (forWriting ? O_WRONLY | O_NOFOLLOW : O_RDONLY) | O_NONBLOCK |
                                  O_CLOEXEC);
  struct stat info;
  if (fd < 0 || (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))) return fd;
  ::close(fd);
  return NO_FILE;
}

// O_EXCL and O_NOFOLLOW keep the write from landing anywhere but in a file of our own.
File createTemporary(const std::string& tempPath, bool& refused) {
  const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        NEW_FILE_MODE);
  refused = fd < 0 && (errno == EACCES || errno == EPERM);
  return fd;
}

long readSome(File fd, char* buffer, size_t capacity) {
  return retryInterrupted([&] { return ::read(fd, buffer, capacity); });
}

long writeSome(File fd, const char* bytes, size_t length) {
  return retryInterrupted([&] { return ::write(fd, bytes, length); });
}

bool syncFile(File fd) { return ::fsync(fd) == 0; }
bool cutFile(File fd, size_t length) { return ::ftruncate(fd, off_t(length)) == 0; }
bool closeFile(File fd) { return ::close(fd) == 0; }
void removeFile(const std::string& path) { ::unlink(path.c_str()); }

// The directory is synced too, so that the rename itself is durable. Best effort: the new
// content is already in place whether or not the directory can be synced.
bool moveOver(const std::string& tempPath, const char* path) {
  if (std::rename(tempPath.c_str(), path) != 0) return false;
  const std::string file = path;
  const size_t slash = file.rfind('/');
  const std::string directory =
      slash == std::string::npos ? std::string(".") : file.substr(0, slash == 0 ? 1 : slash);
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;
  ::fsync(fd);
  ::close(fd);
  return true;
}

#endif

bool writeAll(File file, const char* bytes, size_t length) {
  while (length > 0) {
    const long written = writeSome(file, bytes, length);
    if (written <= 0) return false;
    bytes += written;
    length -= size_t(written);
  }
  return true;
}

enum class TempResult { Written, Refused, Failed };

// Writes the temporary file and syncs it. Refused when the folder does not let us create it (no
// permission); Failed when any other step failed. A stale temporary of a crashed run is replaced.
TempResult writeTemporary(const std::string& tempPath, const char* bytes, size_t length) {
  removeFile(tempPath);
  bool refused = false;
  const File file = createTemporary(tempPath, refused);
  if (file == NO_FILE) return refused ? TempResult::Refused : TempResult::Failed;
  bool ok = writeAll(file, bytes, length) && syncFile(file);
  ok = closeFile(file) && ok;
  return ok ? TempResult::Written : TempResult::Failed;
}

// Overwrites the existing regular file at `path` in place, for a folder that refuses the
// temporary file although the file itself may be written. Not crash-safe, but the record is
// kept: the new bytes go over the old ones before the file is cut to their length, so a failed
// write never leaves the file empty.
bool overwriteInPlace(const char* path, const char* bytes, size_t length) {
  const File file = openRegular(path, true);
  if (file == NO_FILE) return false;
  bool ok = writeAll(file, bytes, length) && cutFile(file, length) && syncFile(file);
  ok = closeFile(file) && ok;
  return ok;
}

}  // namespace

long readFilePrefix(const char* path, char* buffer, size_t capacity) {
  const File file = openRegular(path, false);
  if (file == NO_FILE) return -1;
  size_t total = 0;
  while (total < capacity) {
    const long got = readSome(file, buffer + total, capacity - total);
    if (got < 0) {
      closeFile(file);
      return -1;
    }
    if (got == 0) break;
    total += size_t(got);
  }
  closeFile(file);
  return long(total);
}

bool replaceFileContents(const char* path, const char* bytes, size_t length) {
  const std::string tempPath = std::string(path) + TEMP_SUFFIX;
  const TempResult temp = writeTemporary(tempPath, bytes, length);
  if (temp == TempResult::Refused) return overwriteInPlace(path, bytes, length);
  if (temp == TempResult::Written && moveOver(tempPath, path)) return true;
  removeFile(tempPath);
  return false;
}
