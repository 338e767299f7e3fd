# tests/e2e/pause.sh -- the pause overlay in a real window: Escape brings it up over a pale
# backdrop and silences the music, "Resume game" brings the game back with its music, and "Exit"
# ends the program with status 0.
source "$(dirname "$0")/lib.sh"
start_xvfb
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/music.raw" SDL_DISKAUDIODELAY=46

# The rectangle below the buttons and above the bottom band, away from the pointer at (600, 60).
PALE_AREA="30 210 500 190"

# Bytes of the mixed sound written since offset $1; prints "total nonzero".
audio_since() {
  local from=$1 size
  size=$(stat -c %s "$WORK/music.raw")
  echo "$size $(tail -c +$((from + 1)) "$WORK/music.raw" | head -c $((size - from)) | tr -d '\0' | wc -c)"
}

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

dir=$(make_game_dir)
start_game "$dir"
xdotool mousemove --window "$WID" 600 60
sleep 1.5
read -r mark playing < <(audio_since 0)
[ "$playing" -gt 1000 ] || fail "the music is silent before the pause ($playing non-zero bytes)"

press_key Escape
sleep 1
low=$(settled_channel pale)
keep_screenshot "$WORK/now.png" pause
[ "$low" -ge 100 ] || fail "the paused backdrop is not pale: a channel of $low"
read -r mark _ < <(audio_since 0)
sleep 1
read -r mark silent < <(audio_since "$mark")
[ "$silent" = 0 ] || fail "the music plays on under the overlay ($silent non-zero bytes)"

click_at 320 115  # "Resume game", fully shown
xdotool mousemove --window "$WID" 600 60
sleep 1.5
low=$(settled_channel dark)
[ "$low" -lt 100 ] || fail "the game did not come back after Resume game"
read -r mark _ < <(audio_since 0)
sleep 1
read -r mark playing < <(audio_since "$mark")
[ "$playing" -gt 1000 ] || fail "the music did not resume ($playing non-zero bytes)"

press_key Escape
sleep 1
click_at 320 165  # "Exit"
wait_game
[ "$GAME_STATUS" = 0 ] || fail "Exit gave status $GAME_STATUS"
echo "pause: overlay pale and silent, resume and exit work"
