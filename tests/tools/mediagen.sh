# tests/tools/mediagen.sh -- zaraz-mediagen run into a fresh folder writes exactly the committed
# Media/ and packaging/icons/, byte for byte, and nothing else.
set -u
generator="$3/tools/zaraz-mediagen"
[ -x "$generator" ] || { echo "FAIL: no $generator (configure with ZARAZ_BUILD_TOOLS=ON)"; exit 1; }
work=$(mktemp -d /tmp/zaraz-mediagen-XXXXXX)
trap 'rm -rf "$work"' EXIT
"$generator" "$work/Media" "$work/icons" || { echo "FAIL: the media generator failed"; exit 1; }
# diff -r names each file that differs or is only on one side.
diff -rq "$work/Media" "$2/Media" && diff -rq "$work/icons" "$2/packaging/icons" || {
  echo "FAIL: the committed media differ from what the generator writes (run it and commit)"
  exit 1
}
echo "PASS: $(find "$work" -type f | wc -l) generated files match the committed ones"
