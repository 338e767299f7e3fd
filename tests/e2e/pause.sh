# tests/e2e/pause.sh -- the pause overlay in a real window: Escape brings it up over a pale
# backdrop, "Resume game" brings the game back, and "Exit" ends the program with status 0.
source "$(dirname "$0")/lib.sh"
start_xvfb
export SDL_AUDIODRIVER=dummy

# The rectangle below the buttons and above the bottom band, away from the pointer at (600, 60).
PALE_AREA="30 210 500 190"

# Whether a fresh screenshot's pale area is pale (smallest channel at least 100) or dark.
low_now() { screenshot "$WORK/now.png" && LOW=$(min_channel "$WORK/now.png" $PALE_AREA); }
pale() { low_now && [ "$LOW" -ge 100 ]; }
dark() { low_now && [ "$LOW" -lt 100 ]; }

start_game "$(make_game_dir)"
xdotool mousemove --window "$WID" 600 60
sleep 1.5
press_key Escape
sleep 1
wait_for 5 pale || fail "the paused backdrop is not pale: a channel of $LOW"
keep_screenshot "$WORK/now.png" pause

click_at 320 115  # "Resume game", fully shown
xdotool mousemove --window "$WID" 600 60
wait_for 5 dark || fail "the game did not come back after Resume game"

press_key Escape
sleep 1
click_at 320 165  # "Exit"
wait_game
[ "$GAME_STATUS" = 0 ] || fail "Exit gave status $GAME_STATUS"
echo "pause: overlay pale, resume and exit work"
