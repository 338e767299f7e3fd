# tests/packaging/install.sh -- `cmake --install` under a scratch prefix: the installed tree, and
# the launcher, which runs the game in the player's folder under the XDG data home from anywhere.
source "$(dirname "$0")/lib.sh"

PREFIX=$WORK/prefix
cmake --install "$BUILD_DIR" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 ||
  fail "cmake --install failed: $(cat "$WORK/install.log")"
check_installed_tree "$PREFIX"
start_xvfb

# First start: the launcher makes the player's folder; a game that scored nothing writes no file.
play_launcher "$PREFIX/bin/zaraz" "$PREFIX"
[ ! -e "$FOLDER/highscore.dat" ] || fail "a game that scored nothing wrote highscore.dat"

# The best score stays in that folder: a game ending with 0 (bored through the rock) beats -1.
printf -- '-1\n' >"$FOLDER/highscore.dat"
start_launcher "$PREFIX/bin/zaraz"
xdotool keydown d
wait_for 60 grep -qx $'0\r' "$FOLDER/highscore.dat" ||
  fail "after a game ended the folder's highscore.dat holds '$(cat "$FOLDER/highscore.dat")'"
xdotool keyup d
close_window
wait_game
[ "$GAME_STATUS" = 0 ] || fail "closing the window gave exit status $GAME_STATUS"
[ ! -e "$WORK/elsewhere/highscore.dat" ] || fail "the game wrote highscore.dat where it was started"

# The launcher's choices of folder (name, change before it runs, folder expected); without a
# display the game stops at once (status 1) after the launcher has made the folder.
unlink_media() { [ ! -L "$1/Media" ] || rm "$1/Media"; }
own_media() { mkdir -p "$1/Media" && echo mine >"$1/Media/marker"; }
moved_prefix() { mv "$PREFIX" "$WORK/moved" && PREFIX=$WORK/moved; }
rows=(
  "absolute XDG_DATA_HOME|export XDG_DATA_HOME=$WORK/xdg|$WORK/xdg/zaraz"
  "relative XDG_DATA_HOME ignored|unlink_media $FOLDER; export XDG_DATA_HOME=relative|$FOLDER"
  "own Media kept|own_media $WORK/own/zaraz; export XDG_DATA_HOME=$WORK/own|$WORK/own/zaraz"
  "stale link follows a moved installation|unset XDG_DATA_HOME; moved_prefix|$FOLDER"
)
for row in "${rows[@]}"; do
  IFS='|' read -r name setup expected <<<"$row"
  eval "$setup"
  status=0
  (cd "$WORK/elsewhere" && env -u DISPLAY "$PREFIX/bin/zaraz") >"$WORK/row.out" 2>"$WORK/row.err" ||
    status=$?
  [ "$status" = 1 ] && grep -q '^zaraz: no display' "$WORK/row.err" ||
    fail "$name: the game did not start (status $status): $(cat "$WORK/row.err")"
  if [ -e "$expected/Media/marker" ]; then
    [ ! -L "$expected/Media" ] && [ "$(ls -A "$expected/Media")" = marker ] ||
      fail "$name: the player's Media folder was changed"
  else
    [ -L "$expected/Media" ] &&
      [ "$(readlink -f "$expected/Media")" = "$PREFIX/share/zaraz/Media" ] ||
      fail "$name: $expected/Media does not lead to the installed media"
  fi
  [ -z "$(ls -A "$WORK/elsewhere")" ] || fail "$name: the launcher wrote where it was started"
done
grep -qx $'0\r' "$FOLDER/highscore.dat" || fail "a later start lost the best score"

# An installation without its media says so instead of starting a game that shows nothing.
rm -r "$PREFIX/share/zaraz/Media"
status=0
(cd "$WORK/elsewhere" && env -u DISPLAY "$PREFIX/bin/zaraz") 2>"$WORK/broken.err" || status=$?
[ "$status" = 1 ] && grep -q '^zaraz: the installation is incomplete' "$WORK/broken.err" ||
  fail "a launcher without media gave status $status: $(cat "$WORK/broken.err")"
echo "install: launcher ran the game in $FOLDER from another folder; the best score was kept there"
