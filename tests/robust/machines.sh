# tests/robust/machines.sh -- the real binary on odd machines and under odd input: no sound
# device on either SDL flavour (a driver that cannot open, a sound server that is not there, a
# driver that does not exist), missing music (silence), a burst of thousands of key and mouse
# events, a key released within a burst larger than SDL's queue, and the window closed while the
# overlay is up and while a frame is late (exit status 0).
source "$(dirname "$0")/lib.sh"
start_xvfb
export SDL_AUDIODRIVER=dummy
BURST=600           # typed key pairs in a burst: 1200 events, far beyond SDL's 127
ROCK_SHARE=0.2      # the left half of the picture is mostly rock once the ship has bored away

# Opens a game in a fresh folder named $1 (extra arguments before the binary); sets WID and PID.
open_fresh() {
  local dir="$WORK/$1"
  mkdir -p "$dir"
  ln -sfn "$SOURCE_DIR/Media" "$dir/Media"
  open_game "$dir" "${@:2}"
  WID=$OPENED_WID
  PID=$OPENED_PID
  xdotool mousemove --window "$WID" 320 240
}

# Closes the window and checks a clean exit with status 0.
close_clean() {
  local dir="$WORK/$1"
  "$CLOSE_WINDOW" "$WID"
  wait_exit "$PID"
  [ "$EXIT_STATUS" = 0 ] || fail "$1: closing the window gave $EXIT_STATUS: $(head -c 600 "$dir.err")"
  sanitizer_clean "$dir.err"
}

alive() { kill -0 "$PID" 2>/dev/null || fail "$1: the game died: $(head -c 600 "$WORK/$1.err")"; }

# Escape brings the overlay up: the picture changes.
overlay_opens() {
  screenshot "$WORK/before.png"
  press_key Escape
  sleep 1
  screenshot "$WORK/after.png"
  cmp -s "$WORK/before.png" "$WORK/after.png" && fail "$1: Escape changed nothing"
  return 0
}

# The mean brightness (0..1) of the left half of PNG $1: near 0 while the ship stays in its
# start cave, well above ROCK_SHARE once it has bored out of it (the cave slides away left).
left_half() { "$CONVERT" "$1" -crop 320x480+0+0 +repage -colorspace Gray -format "%[fx:mean]" info:; }

# No sound device, on both flavours: sdl12-compat fails SDL's whole start for want of one. The
# game runs silent, its overlay works, and it closes cleanly.
silent=0
for flavour in classic compat; do
  prefix=(env)
  [ "$flavour" = compat ] && prefix=("${ON_COMPAT[@]}")
  for driver in dsp pulse no-such-driver; do
    label="audio-$flavour-$driver"
    # pulse with no server to reach: a private runtime folder holds no socket of one.
    open_fresh "$label" "${prefix[@]}" SDL_AUDIODRIVER="$driver" PULSE_SERVER="unix:$WORK/none" \
      PULSE_RUNTIME_PATH="$WORK/none"
    sleep 1
    alive "$label"
    overlay_opens "$label"
    close_clean "$label"
    silent=$((silent + 1))
  done
done

# Missing music is silence: SDL's disk driver records what the mixer plays.
dir=$(make_media_copy music-missing)
rm "$dir/Media/Game/SlowDown.ogg"
open_game "$dir" env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/music.raw" SDL_DISKAUDIODELAY=46
WID=$OPENED_WID
PID=$OPENED_PID
sleep 2
alive music-missing
close_clean music-missing
size=$(stat -c %s "$WORK/music.raw")
[ "$size" -gt 0 ] || fail "music-missing: the mixer recorded nothing"
cmp -s -n "$size" "$WORK/music.raw" /dev/zero || fail "sound without the music file"

# A burst of key presses and clicks while the game runs: it keeps running, its overlay still
# answers, and closing the window with the overlay up ends it with status 0.
open_fresh burst
xdotool type --delay 0 "$(printf 'wasd%.0s' $(seq $((BURST / 2))))"
xdotool click --repeat 300 --delay 0 3
alive burst
overlay_opens burst
close_clean burst

# A key released inside a burst larger than SDL's queue: the release is dropped by SDL, yet the
# ship must stop. The game is stopped (SIGSTOP) while the burst piles up, so that one pump meets
# it all, as after a long frame.
open_fresh lost-release
sleep 0.5
xdotool keydown d
sleep 0.3
kill -STOP "$PID"
xdotool type --delay 0 "$(printf 'as%.0s' $(seq "$BURST"))"
xdotool keyup d
kill -CONT "$PID"
sleep 3
screenshot "$WORK/after-burst.png"
share=$(left_half "$WORK/after-burst.png")
awk -v s="$share" -v limit="$ROCK_SHARE" 'BEGIN { exit !(s < limit) }' ||
  fail "the ship kept boring after d was released in a burst (rock share $share)"
alive lost-release
close_clean lost-release

# The window closed while a frame is late: the game is stopped for a second, the close request
# waits in its queue, and the late frame takes it.
open_fresh late-close
sleep 0.5
kill -STOP "$PID"
"$CLOSE_WINDOW" "$WID"
sleep 1
kill -CONT "$PID"
wait_exit "$PID"
[ "$EXIT_STATUS" = 0 ] || fail "closing during a late frame gave $EXIT_STATUS"
sanitizer_clean "$WORK/late-close.err"
echo "machines: $silent games silent without a sound device (classic and sdl12-compat)," \
  "silence without the music, a burst of $((BURST * 2)) events taken, no key held after a" \
  "lost release (rock share $share), status 0 when closed with the overlay up and late"
