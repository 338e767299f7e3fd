# tests/e2e/lib.sh -- shared by the end-to-end scripts (sourced with ZARAZ SOURCE_DIR BUILD_DIR):
# a private Xvfb, the game in a scratch folder, its window, screenshots, and clean-up.
set -euo pipefail

ZARAZ=$(readlink -f "$1")
SOURCE_DIR=$(readlink -f "$2")
BUILD_DIR=$(readlink -f "$3")
CONVERT=/usr/bin/convert
WORK=$(mktemp -d /tmp/zaraz-e2e-XXXXXX)
XVFB_PID=""
GAME_PID=""
WID=""

cleanup() {
  [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Runs command $2... every tenth of a second until it succeeds, for up to $1 seconds.
wait_for() {
  local end=$((SECONDS + $1))
  until "${@:2}" 2>/dev/null; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}

# Starts Xvfb on a display number it picks itself and exports DISPLAY. -noreset: by default an X
# server resets when its last client leaves, refusing clients meanwhile (4 in 600 on a busy
# machine), which SDL's probe-then-open start and Wine's chain of processes met.
start_xvfb() {
  command -v Xvfb >/dev/null || fail "Xvfb is not installed (scripts/test installs it)"
  : >"$WORK/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$WORK/display" \
    2>"$WORK/xvfb.log" &
  XVFB_PID=$!
  wait_for 10 test -s "$WORK/display" || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
  export DISPLAY=":$(head -1 "$WORK/display")"
}

# A working directory for the game: Media/ from the source tree, highscore.dat of its own.
make_game_dir() {
  mkdir -p "$WORK/game"
  ln -sfn "$SOURCE_DIR/Media" "$WORK/game/Media"
  echo "$WORK/game"
}

# Starts the game in directory $1 (arguments $2... before the binary, such as env settings), output
# in $WORK/game.out and game.err; waits for its window "Zaraz"; sets GAME_PID and WID, and puts
# the pointer inside, as focus follows it (no window manager).
start_game() {
  (cd "$1" && exec "${@:2}" "$ZARAZ") >"$WORK/game.out" 2>"$WORK/game.err" &
  GAME_PID=$!
  wait_for 30 window_or_end || true
  [ -n "$WID" ] && { xdotool mousemove --window "$WID" 320 240; return; }
  fail "no window captioned Zaraz appeared; stderr: $(head -c 600 "$WORK/game.err")"
}

# Waits up to 20 seconds for the game to end and sets GAME_STATUS to its exit status.
wait_game() {
  GAME_STATUS=0
  wait_for 20 game_ended || fail "the game did not end"
  wait "$GAME_PID" || GAME_STATUS=$?
  GAME_PID=""
}

game_ended() { ! kill -0 "$GAME_PID"; }
window_or_end() { WID=$(xdotool search --name '^Zaraz$' | head -1) && [ -n "$WID" ] || game_ended; }
close_window() { "$BUILD_DIR/tests/zaraz-close-window" "$WID"; }

# Screenshot of the game's window (640 by 480) into $1 as PNG.
screenshot() { xwd -id "$WID" -silent | "$CONVERT" xwd:- "$1"; }

# Mean colour saturation (0..1) of PNG $1: 0 for a picture of pure greys, above 0 with colour.
saturation() { "$CONVERT" "$1" -colorspace HSL -channel G -separate -format "%[fx:mean]" info:; }

# The smallest channel value (0..255) in the rectangle W x H at (X, Y) of PNG $1.
min_channel() {
  "$CONVERT" "$1" -crop "$4x$5+$2+$3" +repage -separate \
    -format "%[fx:int(255*minima)]\n" info: | sort -n | head -1
}

# Presses key $1 for a quarter of a second: a press and release in one frame leave the key Up
# (downs are applied before ups), so xdotool's instant "key" could go unseen.
press_key() { xdotool keydown "$1" sleep 0.25 keyup "$1"; }

# Moves the pointer to ($1, $2) in window pixels and clicks the left button as a person does.
click_at() {
  xdotool mousemove --window "$WID" "$1" "$2" sleep 0.2 mousedown 1 sleep 0.1 mouseup 1
}

# Keeps screenshot $1 as $2.png in ZARAZ_SCREENSHOT_DIR when set (for scripts/screenshots).
keep_screenshot() {
  [ -z "${ZARAZ_SCREENSHOT_DIR:-}" ] ||
    { mkdir -p "$ZARAZ_SCREENSHOT_DIR" && cp "$1" "$ZARAZ_SCREENSHOT_DIR/$2.png"; }
}
