# tests/robust/lib.sh -- shared by the robustness scripts: the end-to-end helpers (Xvfb, game
# folders, windows, screenshots), the sanitizer options, and what many game starts in one Xvfb
# need: games found by process, damaged media, runs as an unprivileged player.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
source "$SOURCE_DIR/tests/sanitizer/lib.sh"

# These scripts run once, against the sanitized binary, where a fault shows as a report and not
# only as a wrong picture; other builds report them skipped (CTest's SKIP_RETURN_CODE 77).
if ! grep -q "^ZARAZ_SANITIZE:BOOL=ON" "$BUILD_DIR/CMakeCache.txt" 2>/dev/null; then
  echo "skipped: the robustness scripts run in the sanitizer build (scripts/test's first build)"
  exit 77
fi

PLAYER=nobody  # the unprivileged account that root's runs use where permissions must hold

# A game folder $1 under $WORK holding its own copy of Media/, so that one file can be damaged.
make_media_copy() {
  local dir="$WORK/$1"
  mkdir -p "$dir"
  cp -r "$SOURCE_DIR/Media" "$dir/Media"
  echo "$dir"
}

# Damages file $2 (a path under Media/) of game folder $1 in manner $3: missing, half (cut to
# half its length), random (as many random bytes), directory (a directory in its place).
damage_media() {
  local file="$1/Media/$2" size
  size=$(stat -c %s "$file")
  case "$3" in
    missing) rm "$file" ;;
    half) truncate -s $((size / 2)) "$file" ;;
    random) fill_with_random_bytes "$file" ;;
    directory) rm "$file" && mkdir "$file" ;;
    *) fail "unknown damage $3" ;;
  esac
}

# The X server of a loaded machine now and then resets a connection made right after another
# was closed, which SDL's X11 start-up does (it opens a display, closes it and opens it again).
# The game then exits 1, saying so, or, where classic SDL fell back to its text-art driver,
# refusing that; the helpers below start it again, up to X_RETRIES times.
X_RETRIES=10
x_reset() { grep -qE "Couldn't open X11 display|SDL found only its" "$1" && sleep 0.2; }

# Prefix that runs the game on sdl12-compat (scripts/sdl-flavour). SDL2 under it leaks inside
# D-Bus and in libraries it unloads before exit, where no report can name a frame of ours; leaks
# are checked in the classic runs. Its unwinder also deadlocks AddressSanitizer's full stack
# traces at allocations, so those are taken the fast way there.
ON_COMPAT=(env ZARAZ_SDL_FLAVOUR=compat
  "ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0:fast_unwind_on_malloc=1"
  "LSAN_OPTIONS=$LSAN_OPTIONS:fast_unwind_on_malloc=1" "$SOURCE_DIR/scripts/sdl-flavour" env)

# Starts the game in folder $1 as a background process of this shell, its output in $1.out and
# $1.err; extra arguments are put before the binary (env settings, or a command such as
# setpriv). Sets LAUNCHED_PID.
launch_game() {
  local dir=$1
  shift
  (cd "$dir" && exec "$@" "$ZARAZ") >"$dir.out" 2>"$dir.err" &
  LAUNCHED_PID=$!
}

# The id of the window of game process $1, waiting up to 30 seconds for it; empty when none
# came or the process ended first.
window_of() {
  local pid=$1 wid
  for _ in $(seq 300); do
    wid=$(xdotool search --all --pid "$pid" --name '^Zaraz$' 2>/dev/null | head -1 || true)
    [ -n "$wid" ] && { echo "$wid"; return; }
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
}

# Starts the game in folder $1 (extra arguments as for launch_game) and waits for its window;
# sets OPENED_PID and OPENED_WID, or fails naming $1.
open_game() {
  local dir=$1
  for _ in $(seq "$X_RETRIES"); do
    launch_game "$@"
    OPENED_PID=$LAUNCHED_PID
    OPENED_WID=$(window_of "$OPENED_PID")
    [ -n "$OPENED_WID" ] && return
    wait "$OPENED_PID" 2>/dev/null || true
    x_reset "$dir.err" || break
  done
  fail "$(basename "$dir"): no window; stderr: $(head -c 600 "$dir.err")"
}

# Runs the game in folder $1 (extra arguments as for launch_game) to its end, for a game that
# must not open a window; sets EXIT_STATUS.
run_game() {
  local dir=$1
  for _ in $(seq "$X_RETRIES"); do
    EXIT_STATUS=0
    (cd "$dir" && exec "${@:2}" "$ZARAZ") >"$dir.out" 2>"$dir.err" || EXIT_STATUS=$?
    x_reset "$dir.err" || break
  done
}

# Waits up to 20 seconds for process $1, a child of this shell, to end; sets EXIT_STATUS to its
# exit status, or to "hung" after killing it.
wait_exit() {
  local pid=$1
  EXIT_STATUS=0
  for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
    EXIT_STATUS=hung
    return
  fi
  wait "$pid" 2>/dev/null || EXIT_STATUS=$?
}

# Prefix that runs a command as the unprivileged player when this script runs as root (root
# reads and writes whatever the permissions say); empty otherwise.
as_player() {
  [ "$(id -u)" = 0 ] && echo "setpriv --reuid=$PLAYER --regid=nogroup --clear-groups --" || true
}

# The names in folder $1, sorted, on one line.
listing() { (cd "$1" && ls -A | sort | tr '\n' ' '); }

# Replaces file $1 by as many bytes as it holds, made by a fixed pseudo-random sequence.
fill_with_random_bytes() {
  local file=$1 size block="$WORK/random.block" i octal
  size=$(stat -c %s "$file")
  if [ ! -s "$block" ]; then
    RANDOM=20240601
    for ((i = 0; i < 4096; i++)); do
      printf -v octal '%03o' $((RANDOM % 256))
      printf "\\$octal"
    done >"$block"
  fi
  : >"$file"
  while [ "$(stat -c %s "$file")" -lt "$size" ]; do cat "$block" >>"$file"; done
  truncate -s "$size" "$file"
}
