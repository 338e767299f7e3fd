# tests/robust/media_files.sh -- the real binary with damaged, missing and odd media files, one
# case of each kind. Without a readable ship or enemy bitmap (missing, cut in half, 1 by 1
# pixels) the game says so in one line and exits 1. With random bytes for the music, a directory
# for a button image or a 16-bit enemy bitmap it starts, runs its frames, answers the window's
# close and exits 0, having written nothing. With the font cut in half the pause overlay still
# opens, and the window closes with it up.
source "$(dirname "$0")/lib.sh"
start_xvfb
export SDL_AUDIODRIVER=dummy
RUN_SECONDS=1.5    # frames each game must survive before its window is closed

# A case whose game must refuse to start: status 1, one line naming the bitmap on stderr.
expect_refusal() {
  local label=$1 dir=$2 bitmap=$3
  run_game "$dir"
  [ "$EXIT_STATUS" = 1 ] ||
    fail "$label: exit status $EXIT_STATUS, not 1; stderr: $(head -c 600 "$dir.err")"
  [ "$(wc -l <"$dir.err")" = 1 ] || fail "$label: stderr is not one line: $(head -c 600 "$dir.err")"
  grep -q "^zaraz: Media/$bitmap " "$dir.err" || fail "$label: stderr says $(cat "$dir.err")"
  [ ! -s "$dir.out" ] || fail "$label: the game wrote to stdout"
}

# Opens the game in folder $1, lets it run, brings up the overlay when $3 says so, and closes
# the window: status 0, no sanitizer report, no message, nothing written.
expect_play() {
  local label=$1 dir=$2 overlay=${3:-}
  open_game "$dir"
  WID=$OPENED_WID
  xdotool mousemove --window "$WID" 320 240
  sleep "$RUN_SECONDS"
  kill -0 "$OPENED_PID" 2>/dev/null || fail "$label: the game died: $(cat "$dir.err")"
  if [ -n "$overlay" ]; then
    screenshot "$WORK/before.png"
    press_key Escape
    sleep 1
    screenshot "$WORK/after.png"
    cmp -s "$WORK/before.png" "$WORK/after.png" && fail "$label: Escape changed nothing"
  fi
  "$CLOSE_WINDOW" "$WID"
  wait_exit "$OPENED_PID"
  [ "$EXIT_STATUS" = 0 ] ||
    fail "$label: closing the window gave $EXIT_STATUS: $(head -c 600 "$dir.err")"
  sanitizer_clean "$dir.err"
  ! grep -q "^zaraz:" "$dir.err" || fail "$label: the game reported: $(cat "$dir.err")"
  [ "$(listing "$dir")" = "Media " ] || fail "$label: the game wrote $(listing "$dir")"
}

# Rows: label | file under Media/ | damage (lib.sh's damage_media) | refused or played.
for row in "ship missing|Game/ship.bmp|missing|refused" \
  "enemy cut in half|Game/enemy1.bmp|half|refused" \
  "music of random bytes|Game/SlowDown.ogg|random|played" \
  "a directory for a button|Orvane/Button.png|directory|played" \
  "font cut in half|Orvane/Font.png|half|overlay"; do
  IFS='|' read -r label file damage outcome <<<"$row"
  dir=$(make_media_copy "${label// /-}")
  damage_media "$dir" "$file" "$damage"
  case $outcome in
    refused) expect_refusal "$label" "$dir" "$file" ;;
    played) expect_play "$label" "$dir" ;;
    overlay) expect_play "$label" "$dir" overlay ;;
  esac
done

# Odd bitmaps, made from the committed ones with ImageMagick: a 1 by 1 ship is refused, a 16-bit
# enemy is played.
dir=$(make_media_copy tiny-ship)
"$CONVERT" "$SOURCE_DIR/Media/Game/ship.bmp" -resize '1x1!' -type TrueColor \
  "BMP3:$dir/Media/Game/ship.bmp"
expect_refusal "1 by 1 ship" "$dir" Game/ship.bmp
grep -q "is 1 by 1 pixels" "$dir.err" || fail "1 by 1 ship: stderr says $(cat "$dir.err")"
dir=$(make_media_copy enemy16)
"$CONVERT" "$SOURCE_DIR/Media/Game/enemy1.bmp" -type TrueColor -define bmp:subtype=RGB565 \
  "BMP:$dir/Media/Game/enemy1.bmp"
expect_play "16-bit enemy" "$dir"
echo "media_files: 3 starts refused in one line, 4 games with damaged or odd media played and" \
  "closed, the overlay opened with its font cut in half"
