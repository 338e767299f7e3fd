# tests/packaging/lib.sh -- shared by the packaging tests: what an installed tree must hold, and
# the launcher started as a desktop menu starts it (player's home a scratch folder), checked.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
mkdir -p "$WORK/elsewhere" "$WORK/home"
export HOME=$WORK/home SDL_AUDIODRIVER=dummy
unset XDG_DATA_HOME
FOLDER=$HOME/.local/share/zaraz  # the player's folder the launcher runs the game in

# Checks the tree installed under prefix $1: launcher, game, all media, desktop entry and icon.
check_installed_tree() {
  local prefix=$1
  [ -x "$prefix/bin/zaraz" ] || fail "no launcher at $prefix/bin/zaraz"
  [ -x "$prefix/libexec/zaraz/zaraz" ] || fail "no game at $prefix/libexec/zaraz/zaraz"
  diff -r "$SOURCE_DIR/Media" "$prefix/share/zaraz/Media" >"$WORK/media.diff" ||
    fail "the installed Media/ differs from the tree's: $(head -5 "$WORK/media.diff")"

  local entry=$prefix/share/applications/zaraz.desktop
  [ -f "$entry" ] || fail "no desktop entry at $entry"
  desktop-file-validate "$entry" >"$WORK/desktop.log" 2>&1 ||
    fail "the desktop entry is not valid: $(cat "$WORK/desktop.log")"
  grep -qx 'Exec=zaraz' "$entry" && grep -qx 'Icon=zaraz' "$entry" ||
    fail "the desktop entry does not start the launcher with its icon"

  local icon=$prefix/share/icons/hicolor/64x64/apps/zaraz.png
  cmp -s "$icon" "$SOURCE_DIR/packaging/icons/zaraz.png" &&
    [ "$(/usr/bin/identify -format '%m %w %h' "$icon")" = "PNG 64 64" ] ||
    fail "$icon is not the tree's icon, a PNG of the 64 by 64 its folder says"
}

# Starts the launcher $1 as Exec=zaraz does, by name on PATH through a link (it must find its
# installation from its real place), from $WORK/elsewhere; sets GAME_PID and WID.
start_launcher() {
  mkdir -p "$WORK/path"
  ln -sfn "$1" "$WORK/path/zaraz"
  PATH="$WORK/path:$PATH" ZARAZ=zaraz start_game "$WORK/elsewhere"
}

# Checks the running game is binary $1 in folder $2, Media linked to $3, on the asked SDL flavour.
check_running_game() {
  local exe cwd library
  exe=$(readlink "/proc/$GAME_PID/exe")
  [ "$exe" = "$(readlink -f "$1")" ] || fail "the process is $exe, not the installed game $1"
  cwd=$(readlink "/proc/$GAME_PID/cwd")
  [ "$cwd" = "$(readlink -f "$2")" ] || fail "the game works in $cwd, not in $2"
  [ -L "$2/Media" ] && [ "$(readlink -f "$2/Media")" = "$(readlink -f "$3")" ] ||
    fail "$2/Media does not lead to the installed media $3"

  library=$(grep -o '/[^ ]*/libSDL-1\.2\.so[.0-9]*$' "/proc/$GAME_PID/maps" | head -1)
  [ -n "$library" ] || fail "no SDL 1.2 library in the game's memory map"
  local loaded=classic
  [[ $library == */sdl12-compat/* ]] && loaded=compat
  [ "$loaded" = "${ZARAZ_SDL_FLAVOUR:-classic}" ] ||
    fail "the suite asked for SDL flavour ${ZARAZ_SDL_FLAVOUR:-classic}; the game loaded $library"
}

# Starts launcher $1, checks its game (installed prefix $2) and closes its window: status 0.
play_launcher() {
  start_launcher "$1"
  check_running_game "$2/libexec/zaraz/zaraz" "$FOLDER" "$2/share/zaraz/Media"
  close_window
  wait_game
  [ "$GAME_STATUS" = 0 ] || fail "closing the window of $2's game gave status $GAME_STATUS"
}
