# tests/e2e/startup.sh -- the real binary opens its 640x480 window captioned "Zaraz", closing the
# window ends it with status 0, and with no usable display it exits 1 with one line saying why.
source "$(dirname "$0")/lib.sh"

# No display at all, with and without a driver named: SDL must not fall back to drawing text art,
# the game says why in one line and exits 1: refused before SDL is asked, or with the video
# driver's own error.
for row in "|^zaraz: no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY" \
  "x11|^zaraz: cannot start SDL's video: [^ ]"; do
  driver=${row%%|*}
  status=0
  (cd "$(make_game_dir)" && env -u DISPLAY -u WAYLAND_DISPLAY ${driver:+SDL_VIDEODRIVER=$driver} \
    "$ZARAZ") >"$WORK/nodisplay.out" 2>"$WORK/nodisplay.err" || status=$?
  [ "$status" = 1 ] || fail "without a display (driver '$driver') the exit status was $status"
  [ "$(wc -l <"$WORK/nodisplay.err")" = 1 ] && grep -q "${row#*|}" "$WORK/nodisplay.err" ||
    fail "without a display (driver '$driver') stderr said: $(cat "$WORK/nodisplay.err")"
  [ ! -s "$WORK/nodisplay.out" ] || fail "without a display the game wrote to stdout"
done

start_xvfb
export SDL_AUDIODRIVER=dummy
start_game "$(make_game_dir)"
geometry=$(xdotool getwindowgeometry "$WID" | grep Geometry | awk '{print $2}')
[ "$geometry" = "640x480" ] || fail "window geometry is $geometry"
sleep 1
kill -0 "$GAME_PID" 2>/dev/null || fail "the game died: $(cat "$WORK/game.err")"

close_window
wait_game
[ "$GAME_STATUS" = 0 ] || fail "closing the window gave exit status $GAME_STATUS"
[ ! -e "$WORK/game/highscore.dat" ] || fail "a game that scored nothing wrote highscore.dat"
echo "startup: window opened 640x480, closed with status 0"
