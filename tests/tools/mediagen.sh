#!/bin/bash
# tests/tools/mediagen.sh -- the committed media are exactly what the media generator writes.
#
# Usage: bash mediagen.sh <zaraz binary> <source dir> <build dir>
# Runs <build dir>/tools/zaraz-mediagen into a fresh folder and compares, byte for byte, every
# file it writes with the committed one (Media/... and packaging/icons/...), and checks that
# every committed media file is written. The music file is written by the generator's music
# part; where that part writes nothing yet, the committed music is not required.
set -u

source_dir=$2
build_dir=$3
generator="$build_dir/tools/zaraz-mediagen"
music="Media/Game/SlowDown.ogg"

if [ ! -x "$generator" ]; then
  echo "FAIL: no media generator at $generator (configure with ZARAZ_BUILD_TOOLS=ON)"
  exit 1
fi

work=$(mktemp -d /tmp/zaraz-mediagen-XXXXXX)
trap 'rm -rf "$work"' EXIT

if ! "$generator" "$work/Media" "$work/icons"; then
  echo "FAIL: the media generator failed"
  exit 1
fi

failures=0
fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}

# Every written file is committed, unchanged.
written=0
while IFS= read -r -d '' file; do
  relative=${file#"$work/"}
  case $relative in
    icons/*) committed="$source_dir/packaging/icons/${relative#icons/}" ;;
    *) committed="$source_dir/$relative" ;;
  esac
  written=$((written + 1))
  if [ ! -f "$committed" ]; then
    fail "the generator writes $relative, which is not committed"
  elif ! cmp -s "$file" "$committed"; then
    fail "${committed#"$source_dir/"} differs from what the generator writes (run it and commit)"
  fi
done < <(find "$work" -type f -print0)

# Every committed media file is written.
while IFS= read -r -d '' file; do
  relative=${file#"$source_dir/"}
  if [ ! -f "$work/$relative" ] && [ "$relative" != "$music" ]; then
    fail "$relative is committed but the generator does not write it"
  fi
done < <(find "$source_dir/Media" -type f -print0)
if [ ! -f "$work/icons/zaraz.png" ]; then
  fail "the generator does not write the desktop icon"
fi

if [ "$failures" -ne 0 ]; then
  exit 1
fi
echo "PASS: $written generated files match the committed ones"
