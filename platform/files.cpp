// platform/files.cpp -- bounded reads and all-or-nothing replacement of small files (POSIX and
// Windows).
#include "platform/files.h"

#include <string>

#ifdef _WIN32

// Windows: the same contract through the Win32 file calls. The bytes are written as they stand
// (the callers' line ends are already CR LF), so the file is the same byte for byte as on POSIX.
#include <windows.h>

namespace {

constexpr const char* TEMP_SUFFIX = ".tmp";
constexpr DWORD LARGEST_TRANSFER = 1u << 30;

bool writeAll(HANDLE file, const char* bytes, size_t length) {
  while (length > 0) {
    DWORD written = 0;
    const DWORD chunk = DWORD(length < LARGEST_TRANSFER ? length : LARGEST_TRANSFER);
    if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0) return false;
    bytes += written;
    length -= written;
  }
  return true;
}

enum class TempResult { Written, Refused, Failed };

// Writes the temporary file and flushes it to the disk. Refused when the folder does not let us
// create it (access denied); Failed when any other step failed.
TempResult writeTemporary(const std::string& tempPath, const char* bytes, size_t length) {
  // A stale temporary of a crashed run is replaced; CREATE_NEW keeps the write from landing
  // anywhere but in a file of our own.
  DeleteFileA(tempPath.c_str());
  const HANDLE file = CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_ACCESS_DENIED ? TempResult::Refused : TempResult::Failed;
  }
  bool ok = writeAll(file, bytes, length) && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  return ok ? TempResult::Written : TempResult::Failed;
}

// Overwrites the existing file at `path` in place, for a folder that refuses the temporary file
// although the file itself may be written: the new bytes go over the old ones before the file is
// cut to their length, so a failed write never leaves it empty.
bool overwriteInPlace(const char* path, const char* bytes, size_t length) {
  const HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = GetFileType(file) == FILE_TYPE_DISK && writeAll(file, bytes, length) &&
            SetEndOfFile(file) && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  return ok;
}

}  // namespace

long readFilePrefix(const char* path, char* buffer, size_t capacity) {
  // A folder cannot be opened this way; a console, pipe or other device is refused by its type.
  const HANDLE file = CreateFileA(path, GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return -1;
  }
  size_t total = 0;
  while (total < capacity) {
    const size_t left = capacity - total;
    DWORD got = 0;
    if (!ReadFile(file, buffer + total, DWORD(left < LARGEST_TRANSFER ? left : LARGEST_TRANSFER),
                  &got, nullptr)) {
      CloseHandle(file);
      return -1;
    }
    if (got == 0) break;
    total += got;
  }
  CloseHandle(file);
  return long(total);
}

bool replaceFileContents(const char* path, const char* bytes, size_t length) {
  const std::string tempPath = std::string(path) + TEMP_SUFFIX;
  const TempResult temp = writeTemporary(tempPath, bytes, length);
  if (temp == TempResult::Refused) return overwriteInPlace(path, bytes, length);
  bool ok = temp == TempResult::Written;
  // rename() refuses to replace an existing file on Windows; MoveFileExA replaces it, and with
  // write-through returns only once the move is on the disk.
  if (ok) {
    ok = MoveFileExA(tempPath.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  }
  if (!ok) {
    DeleteFileA(tempPath.c_str());
    return false;
  }
  return true;
}

#else

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

enum class TempResult { Written, Refused, Failed };

// Writes the temporary file and syncs it. Refused when the folder does not let us create it
// (no permission); Failed when any other step failed.
TempResult writeTemporary(const std::string& tempPath, const char* bytes, size_t length) {
  // A stale temporary of a crashed run is replaced; O_EXCL and O_NOFOLLOW keep the write from
  // landing anywhere but in a file of our own.
  ::unlink(tempPath.c_str());
  const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        NEW_FILE_MODE);
  if (fd < 0) return errno == EACCES || errno == EPERM ? TempResult::Refused : TempResult::Failed;
  bool ok = writeAll(fd, bytes, length) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  return ok ? TempResult::Written : TempResult::Failed;
}

// Overwrites the existing regular file at `path` in place, for a folder that refuses the
// temporary file although the file itself may be written. Not crash-safe, but the record is
// kept: the new bytes go over the old ones before the file is cut to their length, so a failed
// write never leaves the file empty.
bool overwriteInPlace(const char* path, const char* bytes, size_t length) {
  const int fd = ::open(path, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && writeAll(fd, bytes, length) &&
            ::ftruncate(fd, off_t(length)) == 0 && ::fsync(fd) == 0;
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
  const TempResult temp = writeTemporary(tempPath, bytes, length);
  if (temp == TempResult::Refused) return overwriteInPlace(path, bytes, length);
  bool ok = temp == TempResult::Written;
  if (ok) ok = std::rename(tempPath.c_str(), path) == 0;
  if (!ok) {
    ::unlink(tempPath.c_str());
    return false;
  }
  syncDirectoryOf(path);
  return true;
}

#endif
