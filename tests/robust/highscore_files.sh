# tests/robust/highscore_files.sh -- the real binary with "highscore.dat" files no text can be
# read from: ten megabytes of digits (read only up to a bound), a directory of that name, a file
# the player may not read; the HUD then shows a best score of 0 and nothing else is written. In a
# folder the player cannot write, a writable "highscore.dat" still receives a new record, written
# in place, as digits and CR LF.
#
# Root reads and writes whatever the permissions say, so the unreadable file and the read-only
# folder are tried by a game run as the unprivileged user "nobody" (setpriv), from a folder it
# may read; run by another user, the script runs the game as that user.
source "$(dirname "$0")/lib.sh"
start_xvfb
export SDL_AUDIODRIVER=dummy
chmod 755 "$WORK"

HUD_DIGITS="130x22+152+29"   # the best score's digits, after "HighScore = "

hud_digits() { "$CONVERT" "$1" -crop "$HUD_DIGITS" +repage "$2"; }
same_picture() {
  [ "$("$CONVERT" "$1" "$2" -metric AE -compare -format "%[distortion]" info: 2>/dev/null || true)" = 0 ]
}

# A folder for one case, readable by the unprivileged player, with Media/ linked in.
case_dir() {
  local dir="$WORK/$1"
  mkdir -p "$dir"
  ln -s "$SOURCE_DIR/Media" "$dir/Media"
  chmod 755 "$dir"
  echo "$dir"
}

# Starts the game in folder $1 (extra arguments before the binary), waits for its picture to
# settle and keeps the HUD's digits in $1.digits.png; leaves the game running (OPENED_PID, WID).
start_and_look() {
  local dir=$1
  open_game "$@"
  WID=$OPENED_WID
  xdotool mousemove --window "$WID" 320 240
  sleep 0.5
  screenshot "$dir.png"
  hud_digits "$dir.png" "$dir.digits.png"
}

close_and_check() {
  local dir=$1 label=$2
  "$CLOSE_WINDOW" "$WID"
  wait_exit "$OPENED_PID"
  [ "$EXIT_STATUS" = 0 ] || fail "$label: closing the window gave $EXIT_STATUS"
  sanitizer_clean "$dir.err"
  [ ! -s "$dir.err" ] || fail "$label: the game printed $(head -c 300 "$dir.err")"
  [ "$(listing "$dir")" = "Media highscore.dat " ] || fail "$label: the folder holds $(listing "$dir")"
}

# The picture of a best score of 0: a start with an empty file.
dir=$(case_dir empty)
: >"$dir/highscore.dat"
start_and_look "$dir"
close_and_check "$dir" "an empty file"
ZERO="$dir.digits.png"

shown_zero=0
for row in "digits|ten megabytes of digits" "folder|a directory named highscore.dat" \
  "unreadable|an unreadable file"; do
  name=${row%%|*}
  dir=$(case_dir "$name")
  prefix=()
  case $name in
    digits) head -c 10000000 /dev/zero | tr '\0' '7' >"$dir/highscore.dat" ;;
    folder) mkdir "$dir/highscore.dat" ;;
    unreadable)
      printf '120\r\n' >"$dir/highscore.dat"
      chmod 000 "$dir/highscore.dat"
      prefix=($(as_player))
      ;;
  esac
  start_and_look "$dir" "${prefix[@]}"
  same_picture "$dir.digits.png" "$ZERO" ||
    fail "${row#*|}: the HUD does not show a best score of 0"
  close_and_check "$dir" "${row#*|}"
  shown_zero=$((shown_zero + 1))
done

# A game that ends with score 0 over a best score of -5 sets a record: d is held until the ship
# has bored its health away and the HUD shows the record 0 (at most a minute). The folder is
# read-only to the player, the file is not.
dir=$(case_dir read-only)
printf -- '-5\r\n' >"$dir/highscore.dat"
chmod 666 "$dir/highscore.dat"
chmod 555 "$dir"
start_and_look "$dir" $(as_player)
same_picture "$dir.digits.png" "$ZERO" && fail "-5 shows as 0"
xdotool keydown d
for _ in $(seq 60); do
  sleep 1
  screenshot "$dir.now.png"
  hud_digits "$dir.now.png" "$dir.now.digits.png"
  same_picture "$dir.now.digits.png" "$ZERO" && break
done
xdotool keyup d
same_picture "$dir.now.digits.png" "$ZERO" || fail "read-only folder: no game ended with a record"
close_and_check "$dir" "read-only folder"
[ "$(od -An -c "$dir/highscore.dat" | tr -d ' ')" = '0\r\n' ] ||
  fail "the record in the read-only folder was stored as $(od -An -c "$dir/highscore.dat")"
echo "highscore_files: $shown_zero files with no readable number show 0; a record is stored" \
  "in a read-only folder's writable file"
