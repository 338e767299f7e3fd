// platform/files.h -- the small file operations behind the best-score file: reading the start
// of a file, and replacing a file's whole content so that a crash never leaves it half written.
//
// Used by game/reset.cpp, at start-up and after each game that ends. POSIX calls, or Win32 ones
// on Windows, with the same bytes on disk; nothing here reports or logs: every failure is a
// result the caller may ignore.
#pragma once

#include <cstddef>

// The line end of every text file the game writes, the same on every machine, so that a file
// written on one machine reads the same on another.
constexpr const char* TEXT_LINE_END = "\r\n";

// Reads at most `capacity` bytes from the start of the regular file at `path` into `buffer`.
// Returns the count read (0 for an empty file), or -1 when there is no such regular file or it
// cannot be read: missing, a directory, a pipe or device (refused without waiting on it), no
// permission. Never reads more than `capacity` bytes, however large the file is.
long readFilePrefix(const char* path, char* buffer, size_t capacity);

// Replaces the content of the file at `path` by the `length` bytes at `bytes`, all or nothing:
// the bytes go to the temporary file `path` + ".tmp" in the same directory, are synced to the
// disk, and that file is then renamed over `path`. Whoever reads `path` meanwhile, or after a
// crash at any point, finds either the old content or the new one. Returns true when the new
// content is in place. On failure `path` is left as it was and the temporary file is removed;
// a stale one, left by a process that died mid-write, is replaced by the next call.
// Where the directory refuses the temporary file (no permission) but `path` is an existing
// regular file that may be written, the bytes are written over it in place instead: the record
// is kept, without the guarantee against a crash in the middle of that write.
bool replaceFileContents(const char* path, const char* bytes, size_t length);
