# tests/e2e/play.sh -- the real binary: with no usable display it exits 1 saying why; in a real
# window (640x480, "Zaraz") a stored best score shows, holding d bores into the rock and splits
# the picture into coloured fringes, and closing it ends the game with status 0.
source "$(dirname "$0")/lib.sh"

# No display at all, and none but a driver named: SDL must not fall back to drawing text art.
# The game is refused before SDL is asked, or with the video driver's own error.
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
start_xvfb
export SDL_AUDIODRIVER=dummy

# The HUD's best-score digits start after "HighScore = " (12 characters of 11 pixels from x 20).
HUD_LABEL="120x22+20+29"
HUD_DIGITS="90x22+152+29"
hud_crop() { "$CONVERT" "$1" -crop "$2" +repage "$3"; }
differing() {
  "$CONVERT" "$1" "$2" -metric AE -compare -format "%[distortion]" info: 2>/dev/null || true
}

# Two starts, one with no file and one with a stored record: only the digits may differ.
dir=$(make_game_dir)
start_game "$dir"
geometry=$(xdotool getwindowgeometry "$WID" | awk '/Geometry/ {print $2}')
[ "$geometry" = 640x480 ] || fail "window geometry is $geometry"
sleep 0.5
screenshot "$WORK/nofile.png"
close_window
wait_game
[ "$GAME_STATUS" = 0 ] || fail "closing the window gave exit status $GAME_STATUS"
[ ! -e "$dir/highscore.dat" ] || fail "a game that scored nothing wrote highscore.dat"

printf '98765\r\n' >"$dir/highscore.dat"
start_game "$dir"
sleep 0.5
screenshot "$WORK/stored.png"
for name in nofile stored; do
  hud_crop "$WORK/$name.png" "$HUD_LABEL" "$WORK/$name-label.png"
  hud_crop "$WORK/$name.png" "$HUD_DIGITS" "$WORK/$name-digits.png"
done
label_diff=$(differing "$WORK/nofile-label.png" "$WORK/stored-label.png")
digits_diff=$(differing "$WORK/nofile-digits.png" "$WORK/stored-digits.png")
[ "${label_diff%.*}" = 0 ] || fail "the HUD label changed with the best score ($label_diff pixels)"
[ "${digits_diff%.*}" -gt 50 ] || fail "the stored best score does not show ($digits_diff pixels)"

# At rest the picture is pure black and white (the HUD's backings blend greys, but no colour).
[ "$(saturation "$WORK/stored.png")" = 0 ] || fail "colour in a still picture"

# Hold d: the ship flies right, reaches the cave wall and bores in; the split shows colour.
xdotool keydown d
sleep 2.5
screenshot "$WORK/digging.png"
xdotool keyup d
keep_screenshot "$WORK/stored.png" play
keep_screenshot "$WORK/digging.png" digging
sat=$(saturation "$WORK/digging.png")
awk -v s="$sat" 'BEGIN { exit !(s > 0.001) }' || fail "no colour fringes while digging ($sat)"
cmp -s "$WORK/stored.png" "$WORK/digging.png" && fail "the picture did not change while digging"

close_window
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS"
[ "$(od -An -c "$dir/highscore.dat" | tr -d ' ')" = '98765\r\n' ] ||
  fail "the stored record changed: $(od -An -c "$dir/highscore.dat")"
echo "play: refused without a display, stored best score shown, digging splits the picture" \
  "(saturation $sat)"
