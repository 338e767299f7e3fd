# tests/e2e/wayland.sh -- on sdl12-compat (only) the game plays in a Wayland session with no X
# display and quits with status 0. Weston runs nested in a private Xvfb: its headless backend has
# no seat, and SDL2 (2.26) crashes starting its video without one.
source "$(dirname "$0")/lib.sh"
[ "${ZARAZ_SDL_FLAVOUR:-classic}" = compat ] ||
  { echo "skipped: only sdl12-compat draws on Wayland (ZARAZ_SDL_FLAVOUR=compat)"; exit 77; }
command -v weston >/dev/null || { echo "skipped: weston is not installed"; exit 77; }
WESTON_PID=""
trap '[ -n "$WESTON_PID" ] && kill "$WESTON_PID" 2>/dev/null; cleanup' EXIT

start_xvfb
export XDG_RUNTIME_DIR="$WORK/runtime" WAYLAND_DISPLAY=zaraz-wayland SDL_AUDIODRIVER=dummy
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=x11-backend.so --socket="$WAYLAND_DISPLAY" --shell=kiosk-shell.so --use-pixman \
  --idle-time=0 --width=800 --height=600 >"$WORK/weston.log" 2>&1 &
WESTON_PID=$!
wait_for 10 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ||
  fail "weston did not start: $(tail -5 "$WORK/weston.log")"

# Without DISPLAY, sdl12-compat has no X11 to fall back on: a game still running after a few
# seconds has a Wayland window (it refuses SDL's windowless drivers with status 1).
(cd "$(make_game_dir)" && exec env -u DISPLAY "$ZARAZ") >"$WORK/game.out" 2>"$WORK/game.err" &
GAME_PID=$!
sleep 3
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended on Wayland: $(head -c 600 "$WORK/game.err")"
# SDL turns SIGTERM into a quit request, as closing the window does.
kill -TERM "$GAME_PID"
wait_game
[ "$GAME_STATUS" = 0 ] || fail "asked to quit on Wayland, the game gave status $GAME_STATUS"
! grep -q "^zaraz:" "$WORK/game.err" || fail "the game reported: $(cat "$WORK/game.err")"
echo "wayland: the game played on sdl12-compat's Wayland driver and quit with status 0"
