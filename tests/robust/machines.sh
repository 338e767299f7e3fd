# tests/robust/machines.sh -- the real binary on odd machines and under odd input: no sound
# device on either SDL flavour, missing music, bursts of events beyond SDL's queue (one hiding a
# key's release), and the window closed while the overlay is up and while a frame is late.
source "$(dirname "$0")/lib.sh"
start_xvfb
export SDL_AUDIODRIVER=dummy
BURST=600           # typed key pairs in a burst: 1200 events, far beyond SDL's 127
ROCK_SHARE=0.2      # the left half of the picture is mostly rock once the ship has bored away

alive() { kill -0 "$GAME_PID" 2>/dev/null || fail "$1: the game died: $(cat "$WORK/game.err")"; }

# No sound device, on both flavours (sdl12-compat fails SDL's whole start for want of one).
silent=0
for flavour in classic compat; do
  prefix=(env)
  [ "$flavour" = compat ] && prefix=("${ON_COMPAT[@]}")
  for driver in dsp pulse no-such-driver; do
    # pulse with no server to reach: a private runtime folder holds no socket of one.
    dir=$(game_folder "audio-$flavour-$driver")
    start_game "$dir" "${prefix[@]}" SDL_AUDIODRIVER="$driver" PULSE_SERVER="unix:$WORK/none" \
      PULSE_RUNTIME_PATH="$WORK/none"
    sleep 1
    alive "$dir"
    overlay_opens "$dir"
    close_clean "$dir"
    silent=$((silent + 1))
  done
done

# Missing music is silence: SDL's disk driver records what the mixer plays.
dir=$(game_folder music-missing copy)
damage_media "$dir" Game/SlowDown.ogg missing
start_game "$dir" env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/music.raw" SDL_DISKAUDIODELAY=46
sleep 2
alive "$dir"
close_clean "$dir"
size=$(stat -c %s "$WORK/music.raw")
[ "$size" -gt 0 ] || fail "music-missing: the mixer recorded nothing"
cmp -s -n "$size" "$WORK/music.raw" /dev/zero || fail "sound without the music file"

# A burst of key presses and clicks while the game runs: it keeps running, its overlay still
# answers, and closing the window with the overlay up ends it with status 0.
dir=$(game_folder burst)
start_game "$dir"
xdotool type --delay 0 "$(printf 'wasd%.0s' $(seq $((BURST / 2))))"
xdotool click --repeat 300 --delay 0 3
alive "$dir"
overlay_opens "$dir"
close_clean "$dir"

# A key released inside a burst larger than SDL's queue (piled up while the game is stopped, as
# in a long frame): SDL drops the release, yet the ship must stop, leaving the left half dark.
dir=$(game_folder lost-release)
start_game "$dir"
sleep 0.5
xdotool keydown d
sleep 0.3
kill -STOP "$GAME_PID"
xdotool type --delay 0 "$(printf 'as%.0s' $(seq "$BURST"))"
xdotool keyup d
kill -CONT "$GAME_PID"
sleep 3
screenshot "$WORK/after-burst.png"
share=$("$CONVERT" "$WORK/after-burst.png" -crop 320x480+0+0 -colorspace Gray \
  -format "%[fx:mean]" info:)
awk -v s="$share" -v limit="$ROCK_SHARE" 'BEGIN { exit !(s < limit) }' ||
  fail "the ship kept boring after d was released in a burst (rock share $share)"
alive "$dir"
close_clean "$dir"

# The window closed while a frame is late: the late frame takes the waiting close request.
dir=$(game_folder late-close)
start_game "$dir"
sleep 0.5
kill -STOP "$GAME_PID"
close_window
sleep 1
kill -CONT "$GAME_PID"
wait_game
[ "$GAME_STATUS" = 0 ] || fail "closing during a late frame gave $GAME_STATUS"
sanitizer_clean "$WORK/game.err"
echo "machines: $silent games silent without a sound device (classic and sdl12-compat)," \
  "silence without the music, a burst of $((BURST * 2)) events taken, no key held after a" \
  "lost release (rock share $share), status 0 when closed with the overlay up and late"
