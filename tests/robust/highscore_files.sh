# tests/robust/highscore_files.sh -- the real binary with odd "highscore.dat" files: empty, binary
# junk, ten megabytes of digits, one past the largest 32-bit number, unreadable, a directory:
# the HUD shows a best score of 0; "-2147483648" shows as it stands. In a read-only working
# directory a game that sets a record cannot store it: the game plays on and shows the record,
# and the file keeps its old value; in a writable one the record is stored. No case writes
# anything but "highscore.dat".
#
# Root reads and writes whatever the permissions say, so the unreadable file and the read-only
# folder are tried by a game run as the unprivileged user "nobody" (setpriv), from a folder it
# may read; run by another user, the script runs the game as that user.
source "$(dirname "$0")/lib.sh"
start_xvfb
export SDL_AUDIODRIVER=dummy
chmod 755 "$WORK"

HUD_DIGITS="130x22+152+29"   # the best score's digits, after "HighScore = "
ELEVENTH_GLYPH="11x22+262+29"  # where an eleven-character number ends
INK=200                       # a channel above this is the white of the text

hud_digits() { "$CONVERT" "$1" -crop "$HUD_DIGITS" +repage "$2"; }
same_picture() {
  [ "$("$CONVERT" "$1" "$2" -metric AE -compare -format "%[distortion]" info: 2>/dev/null || true)" = 0 ]
}
brightest() {
  "$CONVERT" "$1" -crop "$2" +repage -separate -format "%[fx:int(255*maxima)]\n" info: |
    sort -n | tail -1
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
# settle and takes a screenshot into $1.png; leaves the game running (OPENED_PID, WID).
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
  local dir=$1 label=$2 expected_listing=$3
  "$CLOSE_WINDOW" "$WID"
  wait_exit "$OPENED_PID"
  [ "$EXIT_STATUS" = 0 ] || fail "$label: closing the window gave $EXIT_STATUS"
  sanitizer_clean "$dir.err"
  [ ! -s "$dir.err" ] || fail "$label: the game printed $(head -c 300 "$dir.err")"
  [ "$(listing "$dir")" = "$expected_listing" ] || fail "$label: the folder holds $(listing "$dir")"
}

# The picture of a best score of 0: a start with no file.
dir=$(case_dir nofile)
start_and_look "$dir"
close_and_check "$dir" "no file" "Media "
ZERO="$dir.digits.png"

shown_zero=0
check_zero_case() {
  local name=$1 label=$2
  shift 2
  local dir="$WORK/$name"
  start_and_look "$dir" "$@"
  same_picture "$dir.digits.png" "$ZERO" || fail "$label: the HUD does not show a best score of 0"
  close_and_check "$dir" "$label" "Media highscore.dat "
  shown_zero=$((shown_zero + 1))
}

dir=$(case_dir empty)
: >"$dir/highscore.dat"
check_zero_case empty "an empty file"

dir=$(case_dir junk)
printf '\x00\xff\x7f\x80junk\x01\r\n9' >"$dir/highscore.dat"
check_zero_case junk "binary junk"

dir=$(case_dir digits)
head -c 10000000 /dev/zero | tr '\0' '7' >"$dir/highscore.dat"
check_zero_case digits "ten megabytes of digits"

dir=$(case_dir too-large)
printf '2147483648' >"$dir/highscore.dat"
check_zero_case too-large "2147483648"

dir=$(case_dir folder)
mkdir "$dir/highscore.dat"
check_zero_case folder "a directory named highscore.dat"

dir=$(case_dir unreadable)
printf '120\r\n' >"$dir/highscore.dat"
chmod 000 "$dir/highscore.dat"
check_zero_case unreadable "an unreadable file" $(as_player)

# The smallest 32-bit number shows in full: eleven characters of white text.
dir=$(case_dir smallest)
printf -- '-2147483648' >"$dir/highscore.dat"
start_and_look "$dir"
same_picture "$dir.digits.png" "$ZERO" && fail "-2147483648 shows as 0"
[ "$(brightest "$dir.png" "$ELEVENTH_GLYPH")" -gt "$INK" ] || fail "-2147483648 is not shown in full"
close_and_check "$dir" "-2147483648" "Media highscore.dat "

# A game that ends with score 0 over a best score of -5 sets a record. Holds d until the ship
# has bored its health away and the HUD shows the record 0 (at most a minute).
play_until_record() {
  local dir=$1 label=$2
  xdotool keydown d
  for _ in $(seq 60); do
    sleep 1
    screenshot "$dir.now.png"
    hud_digits "$dir.now.png" "$dir.now.digits.png"
    same_picture "$dir.now.digits.png" "$ZERO" && break
  done
  xdotool keyup d
  same_picture "$dir.now.digits.png" "$ZERO" || fail "$label: no game ended with a record"
  kill -0 "$OPENED_PID" 2>/dev/null || fail "$label: the game died"
}

dir=$(case_dir writable)
printf -- '-5\r\n' >"$dir/highscore.dat"
start_and_look "$dir"
same_picture "$dir.digits.png" "$ZERO" && fail "-5 shows as 0"
play_until_record "$dir" "writable folder"
close_and_check "$dir" "writable folder" "Media highscore.dat "
[ "$(od -An -c "$dir/highscore.dat" | tr -d ' ')" = '0\r\n' ] ||
  fail "the record was stored as $(od -An -c "$dir/highscore.dat")"

dir=$(case_dir read-only)
printf -- '-5\r\n' >"$dir/highscore.dat"
chmod 555 "$dir"
start_and_look "$dir" $(as_player)
play_until_record "$dir" "read-only folder"
close_and_check "$dir" "read-only folder" "Media highscore.dat "
[ "$(od -An -c "$dir/highscore.dat" | tr -d ' ')" = '-5\r\n' ] ||
  fail "the read-only folder's file changed to $(od -An -c "$dir/highscore.dat")"
echo "highscore_files: $shown_zero odd files show 0, -2147483648 shows in full, a record is" \
  "stored in a writable folder and kept on screen in a read-only one"
