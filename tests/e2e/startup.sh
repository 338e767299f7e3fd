# tests/e2e/startup.sh -- with no usable display the real binary exits 1 with one line saying why
# (play.sh opens its window). SDL must not fall back to drawing text art: without a display, and
# with none but a driver named, the game is refused before SDL is asked, or with the video
# driver's own error.
source "$(dirname "$0")/lib.sh"

for row in "|^zaraz: no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY" \
  "x11|^zaraz: cannot start SDL's video: [^ ]"; do
  driver=${row%%|*}
  status=0
  (cd "$(make_game_dir)" && env -u DISPLAY -u WAYLAND_DISPLAY ${driver:+SDL_VIDEODRIVER=$driver} \
    "$ZARAZ") >"$WORK/nodisplay.out" 2>"$WORK/nodisplay.err" || status=$?
  [ "$status" = 1 ] && [ "$(wc -l <"$WORK/nodisplay.err")" = 1 ] &&
    [ ! -s "$WORK/nodisplay.out" ] && grep -q "${row#*|}" "$WORK/nodisplay.err" ||
    fail "without a display (driver '$driver'): status $status, stderr $(cat "$WORK/nodisplay.err")"
done
echo "startup: without a display, refused in one line with status 1"
