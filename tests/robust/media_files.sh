# tests/robust/media_files.sh -- the real binary with damaged, missing and odd media files: an
# unusable ship or enemy bitmap is refused in one line (status 1); other damage still plays, writes
# nothing and closes with status 0, the overlay opening even with the font cut in half.
source "$(dirname "$0")/lib.sh"
start_xvfb
export SDL_AUDIODRIVER=dummy

# Rows: folder | file under Media/ | damage (lib.sh's damage_media, or a bitmap's ImageMagick
# conversion) | refused (status 1, one line naming the file), played or overlay.
for row in "ship-missing|Game/ship.bmp|missing|refused" \
  "enemy-cut-in-half|Game/enemy1.bmp|half|refused" \
  "ship-1-by-1|Game/ship.bmp|-resize 1x1! -type TrueColor BMP3|refused" \
  "music-of-random-bytes|Game/SlowDown.ogg|random|played" \
  "directory-for-a-button|Orvane/Button.png|directory|played" \
  "enemy-16-bit|Game/enemy1.bmp|-type TrueColor -define bmp:subtype=RGB565 BMP|played" \
  "font-cut-in-half|Orvane/Font.png|half|overlay"; do
  IFS='|' read -r label file damage outcome <<<"$row"
  dir=$(game_folder "$label" copy)
  if [[ $damage == -* ]]; then
    "$CONVERT" "$SOURCE_DIR/Media/$file" ${damage% *} "${damage##* }:$dir/Media/$file"
  else
    damage_media "$dir" "$file" "$damage"
  fi
  if [ "$outcome" = refused ]; then
    run_game "$dir"
    [ "$GAME_STATUS" = 1 ] && [ "$(wc -l <"$WORK/game.err")" = 1 ] &&
      [ ! -s "$WORK/game.out" ] && grep -q "^zaraz: Media/$file " "$WORK/game.err" ||
      fail "$label: status $GAME_STATUS, stderr: $(head -c 600 "$WORK/game.err")"
    continue
  fi
  start_game "$dir"
  sleep 1.5
  kill -0 "$GAME_PID" 2>/dev/null || fail "$label: the game died: $(cat "$WORK/game.err")"
  [ "$outcome" = overlay ] && overlay_opens "$dir"
  close_clean "$dir"
  ! grep -q "^zaraz:" "$WORK/game.err" || fail "$label: the game reported: $(cat "$WORK/game.err")"
  [ "$(listing "$dir")" = "Media " ] || fail "$label: the game wrote $(listing "$dir")"
done
echo "media_files: 3 starts refused in one line, 4 games with damaged or odd media played and" \
  "closed, the overlay opened with its font cut in half"
