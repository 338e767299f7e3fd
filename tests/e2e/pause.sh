# tests/e2e/pause.sh -- the pause overlay in a real window: Escape brings it up over a pale
# backdrop, "Resume game" brings the game back, and "Exit" ends the program with status 0.
source "$(dirname "$0")/lib.sh"
start_xvfb
export SDL_AUDIODRIVER=dummy

# The rectangle below the buttons and above the bottom band, away from the pointer at (600, 60).
PALE_AREA="30 210 500 190"

# The smallest channel in the pale area of a fresh screenshot, taken again for up to five
# seconds until it is on side $1 (pale or dark) of 100: a busy machine may draw the fade late.
settled_channel() {
  local low
  for _ in $(seq 10); do
    screenshot "$WORK/now.png"
    low=$(min_channel "$WORK/now.png" $PALE_AREA)
    if [ "$1" = pale ]; then [ "$low" -ge 100 ] && break; else [ "$low" -lt 100 ] && break; fi
    sleep 0.5
  done
  echo "$low"
}

start_game "$(make_game_dir)"
xdotool mousemove --window "$WID" 600 60
sleep 1.5
press_key Escape
sleep 1
low=$(settled_channel pale)
keep_screenshot "$WORK/now.png" pause
[ "$low" -ge 100 ] || fail "the paused backdrop is not pale: a channel of $low"

click_at 320 115  # "Resume game", fully shown
xdotool mousemove --window "$WID" 600 60
low=$(settled_channel dark)
[ "$low" -lt 100 ] || fail "the game did not come back after Resume game"

press_key Escape
sleep 1
click_at 320 165  # "Exit"
wait_game
[ "$GAME_STATUS" = 0 ] || fail "Exit gave status $GAME_STATUS"
echo "pause: overlay pale, resume and exit work"
