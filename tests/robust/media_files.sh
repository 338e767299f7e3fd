# tests/robust/media_files.sh -- the real binary with damaged, missing and odd media files. Each
# of the ten files in turn is missing, cut to half its length, replaced by random bytes or by a
# directory: without a readable ship or enemy bitmap the game says so in one line and exits 1;
# without any other file it starts, runs its frames, answers the window's close and exits 0,
# having written nothing. Odd bitmaps: a 1 by 1 ship (refused), an enemy of 8 grey bits, of 16
# and of 24 bits and a ship of 32 bits (played). Last, with each overlay image missing, the pause
# overlay still opens and the window closes with it up.
source "$(dirname "$0")/lib.sh"
start_xvfb
export SDL_AUDIODRIVER=dummy
BATCH=6            # games run side by side in the one Xvfb
RUN_SECONDS=1.5    # frames each game must survive before its window is closed

refused=0
played=0
overlays=0
play_queue=()  # "label|folder" of the games still to play

# A case whose game must refuse to start: status 1, one line naming the bitmap on stderr.
expect_refusal() {
  local label=$1 dir=$2 bitmap=$3
  run_game "$dir"
  [ "$EXIT_STATUS" = 1 ] ||
    fail "$label: exit status $EXIT_STATUS, not 1; stderr: $(head -c 600 "$dir.err")"
  [ "$(wc -l <"$dir.err")" = 1 ] || fail "$label: stderr is not one line: $(head -c 600 "$dir.err")"
  grep -q "^zaraz: Media/$bitmap " "$dir.err" || fail "$label: stderr says $(cat "$dir.err")"
  [ ! -s "$dir.out" ] || fail "$label: the game wrote to stdout"
  refused=$((refused + 1))
}

# Plays the queued games, BATCH at a time: each must open its window, run, and end with status 0
# when its window is closed, with no sanitizer report and no file written.
play_queued() {
  local i entry label dir pid
  for ((i = 0; i < ${#play_queue[@]}; i += BATCH)); do
    local labels=() dirs=() pids=() wids=()
    for entry in "${play_queue[@]:i:BATCH}"; do
      labels+=("${entry%%|*}")
      dirs+=("${entry#*|}")
      open_game "${entry#*|}"
      pids+=("$OPENED_PID")
      wids+=("$OPENED_WID")
    done
    sleep "$RUN_SECONDS"
    for pid in "${!pids[@]}"; do
      kill -0 "${pids[pid]}" 2>/dev/null || fail "${labels[pid]}: the game died: $(cat "${dirs[pid]}.err")"
      "$CLOSE_WINDOW" "${wids[pid]}"
    done
    for pid in "${!pids[@]}"; do
      label=${labels[pid]}
      dir=${dirs[pid]}
      wait_exit "${pids[pid]}"
      [ "$EXIT_STATUS" = 0 ] ||
        fail "$label: closing the window gave $EXIT_STATUS: $(head -c 600 "$dir.err")"
      sanitizer_clean "$dir.err"
      ! grep -q "^zaraz:" "$dir.err" || fail "$label: the game reported: $(cat "$dir.err")"
      [ "$(listing "$dir")" = "Media " ] || fail "$label: the game wrote $(listing "$dir")"
      played=$((played + 1))
    done
  done
  play_queue=()
}

n=0
for file in "${MEDIA_FILES[@]}"; do
  for damage in missing half random directory; do
    n=$((n + 1))
    dir=$(make_media_copy "case$n")
    damage_media "$dir" "$file" "$damage"
    case "$file" in
      Game/ship.bmp | Game/enemy1.bmp) expect_refusal "$file $damage" "$dir" "$file" ;;
      *) play_queue+=("$file $damage|$dir") ;;
    esac
  done
done

# Odd bitmaps, made from the committed ones: folder $1, file $2, ImageMagick format $3, options.
odd_bitmap() {
  local dir file=$2 format=$3
  dir=$(make_media_copy "$1")
  shift 3
  "$CONVERT" "$SOURCE_DIR/Media/$file" "$@" "$format:$dir/Media/$file"
  echo "$dir"
}
dir=$(odd_bitmap tiny-ship Game/ship.bmp BMP3 -resize '1x1!' -type TrueColor)
expect_refusal "1 by 1 ship" "$dir" Game/ship.bmp
grep -q "is 1 by 1 pixels" "$dir.err" || fail "1 by 1 ship: stderr says $(cat "$dir.err")"
play_queue+=("8-bit grey enemy|$(odd_bitmap grey-enemy Game/enemy1.bmp BMP3 -type Grayscale)")
play_queue+=("16-bit enemy|$(odd_bitmap enemy16 Game/enemy1.bmp BMP -type TrueColor \
  -define bmp:subtype=RGB565)")
play_queue+=("24-bit enemy|$(odd_bitmap enemy24 Game/enemy1.bmp BMP3 -type TrueColor)")
play_queue+=("32-bit ship|$(odd_bitmap ship32 Game/ship.bmp BMP -type TrueColorAlpha)")
play_queued

# Each overlay image missing: Escape still brings the overlay up (the picture changes), and
# closing the window while it is up ends the game with status 0.
for file in Orvane/Font.png Orvane/Button.png Orvane/Border.png Orvane/TopBottomBorder.png \
  Orvane/Cursor.png; do
  n=$((n + 1))
  dir=$(make_media_copy "case$n")
  damage_media "$dir" "$file" missing
  open_game "$dir"
  pid=$OPENED_PID
  WID=$OPENED_WID
  xdotool mousemove --window "$WID" 320 240
  sleep 0.5
  screenshot "$WORK/before.png"
  press_key Escape
  sleep 1
  screenshot "$WORK/after.png"
  cmp -s "$WORK/before.png" "$WORK/after.png" && fail "$file missing: Escape changed nothing"
  "$CLOSE_WINDOW" "$WID"
  wait_exit "$pid"
  [ "$EXIT_STATUS" = 0 ] || fail "$file missing: closing with the overlay up gave $EXIT_STATUS"
  sanitizer_clean "$dir.err"
  overlays=$((overlays + 1))
done
echo "media_files: $refused starts refused in one line, $played games played and closed," \
  "$overlays overlays opened with an image missing"
