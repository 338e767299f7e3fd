// tests/robust/record_writer.cpp -- stores ever higher best scores through the game's own reset,
// for record_kill.sh to kill at random moments.
// Usage: zaraz-record-writer FOLDER [kill-before-rename]. Says "read N", then for ever "storing N"
// and "stored N" around each store, each line one unbuffered write, so a killed writer has said
// how far it got. kill-before-rename: SIGKILL in its own rename(), in front of the C library's.
// A failed store says "unsaved N" (status 1); a FOLDER that cannot be entered gives status 2.
#include "game/reset.h"
#include "game/state.h"

#include <csignal>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool killBeforeRename = false;

void say(const char* what, int32_t value) {
  char line[64];
  const int length = std::snprintf(line, sizeof line, "%s %d\n", what, int(value));
  if (::write(STDOUT_FILENO, line, size_t(length)) != length) _exit(3);
}

}  // namespace

extern "C" int rename(const char* from, const char* to) {
  if (killBeforeRename) std::raise(SIGKILL);
  return renameat(AT_FDCWD, from, AT_FDCWD, to);
}

int main(int argc, char** argv) {
  if (argc < 2 || chdir(argv[1]) != 0) return 2;
  killBeforeRename = argc > 2 && std::strcmp(argv[2], "kill-before-rename") == 0;
  resetGame();
  say("read", highScore);
  for (;;) {
    score = highScore + 1;
    say("storing", score);
    resetGame();
    if (highScoreUnsaved) {
      say("unsaved", highScore);
      return 1;
    }
    say("stored", highScore);
  }
}
