# tests/robust/lib.sh -- shared by the robustness scripts: the end-to-end helpers (Xvfb, windows,
# screenshots), the sanitizer options, and what many games in one Xvfb need: a folder per game,
# damaged media, runs to a refusal, clean closes, runs as an unprivileged player.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
source "$SOURCE_DIR/tests/sanitizer/lib.sh"

# These run once, against the sanitized binary; other builds report them skipped (status 77).
if ! grep -q "^ZARAZ_SANITIZE:BOOL=ON" "$BUILD_DIR/CMakeCache.txt" 2>/dev/null; then
  echo "skipped: the robustness scripts run in the sanitizer build (scripts/test's first build)"
  exit 77
fi

# A game folder $WORK/$1 that the unprivileged player may read, Media/ linked in, or copied when
# $2 is "copy" (so that one file can be damaged).
game_folder() {
  local dir="$WORK/$1"
  mkdir -p "$dir"
  chmod 755 "$WORK" "$dir"
  if [ "${2:-}" = copy ]; then cp -r "$SOURCE_DIR/Media" "$dir"
  else ln -s "$SOURCE_DIR/Media" "$dir"; fi
  echo "$dir"
}

# Damages file $2 (a path under Media/) of game folder $1 in manner $3: missing, half (cut to
# half its length), random (as many fixed pseudo-random bytes), directory (one in its place).
damage_media() {
  local file="$1/Media/$2" size
  size=$(stat -c %s "$file")
  case "$3" in
    missing) rm "$file" ;;
    half) truncate -s $((size / 2)) "$file" ;;
    random) python3 -c "import random, sys; random.seed(1); sys.stdout.buffer.write(
random.randbytes($size))" >"$file" ;;
    directory) rm "$file" && mkdir "$file" ;;
  esac
}

# Prefix that runs the game on sdl12-compat. Leaks are checked in the classic runs (SDL2 leaks in
# libraries it unloads, unnamed); its unwinder deadlocks ASan's full traces: the fast way there.
ON_COMPAT=(env ZARAZ_SDL_FLAVOUR=compat
  "ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0:fast_unwind_on_malloc=1"
  "LSAN_OPTIONS=$LSAN_OPTIONS:fast_unwind_on_malloc=1" "$SOURCE_DIR/scripts/sdl-flavour" env)

# Runs the game in folder $1 (extra arguments as for start_game) to its end, for a game that
# must not open a window; sets GAME_STATUS.
run_game() {
  GAME_STATUS=0
  (cd "$1" && exec "${@:2}" "$ZARAZ") >"$WORK/game.out" 2>"$WORK/game.err" || GAME_STATUS=$?
}

# Closes the window of the game in folder $1 and checks that it ends with status 0 and no report.
close_clean() {
  close_window
  wait_game
  [ "$GAME_STATUS" = 0 ] || fail "$1: closing gave $GAME_STATUS: $(head -c 600 "$WORK/game.err")"
  sanitizer_clean "$WORK/game.err"
}

# Escape brings the overlay up over the game in folder $1: the picture changes.
overlay_opens() {
  screenshot "$WORK/before.png"
  press_key Escape
  sleep 1
  screenshot "$WORK/after.png"
  ! cmp -s "$WORK/before.png" "$WORK/after.png" || fail "$(basename "$1"): Escape changed nothing"
}

# Prefix that runs a command as the unprivileged player "nobody" when this script runs as root
# (root reads and writes whatever the permissions say); empty otherwise.
as_player() {
  [ "$(id -u)" = 0 ] && echo "setpriv --reuid=nobody --regid=nogroup --clear-groups --" || true
}

# The names in folder $1, sorted, on one line.
listing() { (cd "$1" && ls -A | sort | tr '\n' ' '); }
