# tests/robust/highscore_files.sh -- the real binary with "highscore.dat" files no number can be
# read from (the HUD shows 0, nothing is written), and a writable one in a read-only folder,
# which still receives a new record in place; the permission cases run as "nobody" (as_player).
source "$(dirname "$0")/lib.sh"
start_xvfb
export SDL_AUDIODRIVER=dummy
HUD_DIGITS="130x22+152+29"   # the best score's digits, after "HighScore = "

# Whether the HUD's digits in a fresh screenshot of the game in folder $1 match those of $ZERO,
# the picture of a best score of 0 that the first row, an empty file, gives.
shows_zero() {
  screenshot "$1.png"
  "$CONVERT" "$1.png" -crop "$HUD_DIGITS" +repage "$1.digits.png"
  [ "$("$CONVERT" "$1.digits.png" "${ZERO:-$1.digits.png}" -metric AE -compare \
    -format "%[distortion]" info: 2>/dev/null || true)" = 0 ]
}

# Closes the game in folder $1: status 0, no message, nothing written but highscore.dat.
close_and_check() {
  close_clean "$1"
  [ ! -s "$WORK/game.err" ] || fail "$1: the game printed $(head -c 300 "$WORK/game.err")"
  [ "$(listing "$1")" = "Media highscore.dat " ] || fail "$1 holds $(listing "$1")"
}

shown_zero=0
for name in empty ten-megabytes-of-digits directory unreadable; do
  dir=$(game_folder "$name")
  prefix=()
  case $name in
    empty) : >"$dir/highscore.dat" ;;
    ten-*) head -c 10000000 /dev/zero | tr '\0' '7' >"$dir/highscore.dat" ;;
    directory) mkdir "$dir/highscore.dat" ;;
    unreadable) printf '120\r\n' >"$dir/highscore.dat" && chmod 000 "$dir/highscore.dat"
      prefix=($(as_player)) ;;
  esac
  start_game "$dir" "${prefix[@]}"
  sleep 0.5
  shows_zero "$dir" || fail "$name: the HUD does not show a best score of 0"
  ZERO=${ZERO:-$dir.digits.png}
  close_and_check "$dir"
  shown_zero=$((shown_zero + 1))
done

# A game ending with 0 over a best of -5 sets a record: d is held until the ship has bored its
# health away and the HUD shows 0. The folder is read-only to the player, the file is not.
dir=$(game_folder read-only)
printf -- '-5\r\n' >"$dir/highscore.dat"
chmod 666 "$dir/highscore.dat"
chmod 555 "$dir"
start_game "$dir" $(as_player)
sleep 0.5
shows_zero "$dir" && fail "-5 shows as 0"
xdotool keydown d
wait_for 60 shows_zero "$dir" || fail "read-only folder: no game ended with a record"
xdotool keyup d
close_and_check "$dir"
[ "$(od -An -c "$dir/highscore.dat" | tr -d ' ')" = '0\r\n' ] ||
  fail "the record in the read-only folder was stored as $(od -An -c "$dir/highscore.dat")"
echo "highscore_files: $shown_zero files with no readable number show 0; a record is stored" \
  "in a read-only folder's writable file"
