# tests/packaging/deb.sh -- the Debian package CPack builds: its fields, dependencies and files;
# and, as root, installed, started by name under Xvfb, then purged, leaving the system as it was.
source "$(dirname "$0")/lib.sh"

SDL_RUNTIME_PACKAGES=(libsdl1.2debian libsdl-image1.2 libsdl-mixer1.2)
LOCK_FILE=/tmp/zaraz-package-test.lock

(cd "$BUILD_DIR" && cpack -G DEB -B "$WORK/package") >"$WORK/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -20 "$WORK/cpack.log")"
shopt -s nullglob
debs=("$WORK"/package/zaraz_*.deb)
[ ${#debs[@]} = 1 ] || fail "cpack made ${#debs[@]} packages: $(ls "$WORK/package")"
DEB=${debs[0]}
echo "deb: $(basename "$DEB") is $(stat -c %s "$DEB") bytes"

field() { dpkg-deb -f "$DEB" "$1"; }
described="$(field Package) $(field Section) $(field Architecture)"
[ "$described" = "zaraz games $(dpkg --print-architecture)" ] ||
  fail "the package is (name, section, architecture) '$described'"
for package in "${SDL_RUNTIME_PACKAGES[@]}"; do
  [[ ", $(field Depends)," == *", $package "* ]] ||
    fail "the package does not depend on $package: $(field Depends)"
done
outside=$(dpkg-deb -c "$DEB" | awk '{print $6}' | grep -v '^\./usr/' || true)
[ -z "$outside" ] || fail "the package puts files outside /usr: $outside"

dpkg-deb -x "$DEB" "$WORK/unpacked"
check_installed_tree "$WORK/unpacked/usr"
[ "$(id -u)" = 0 ] || { echo "deb: not root, so the package was not installed"; exit 0; }

# Installing. One package test at a time on this machine (another checkout may run its suite).
exec 9>"$LOCK_FILE"
flock -w 600 9 || fail "another package test held $LOCK_FILE for ten minutes"
dpkg-query -W -f='${Status}' zaraz 2>/dev/null | grep -q 'ok installed' &&
  fail "a zaraz package is installed already; this test would replace it and then remove it" \
    "(remove it first: apt-get remove zaraz)"

# dpkg waits for no one: while apt or another dpkg holds its lock, try again.
run_dpkg() {
  for _ in $(seq 60); do
    dpkg "$@" >"$WORK/dpkg.log" 2>&1 && return 0
    grep -qi 'lock' "$WORK/dpkg.log" || return 1
    sleep 2
  done
  return 1
}

# The folders that dpkg triggers rebuild caches in, as they are before the package comes.
snapshot() {
  find /usr/share/applications /usr/share/icons/hicolor -type f -print0 2>/dev/null |
    sort -z | xargs -0 -r md5sum
}
snapshot >"$WORK/before"
INSTALLED=""
trap '[ -z "$INSTALLED" ] || run_dpkg --purge zaraz || true; cleanup' EXIT

INSTALLED=1
run_dpkg -i "$DEB" || fail "dpkg -i failed: $(cat "$WORK/dpkg.log")"
[ "$(command -v zaraz)" = /usr/bin/zaraz ] || fail "zaraz on PATH is '$(command -v zaraz)'"
check_installed_tree /usr

start_xvfb
play_launcher /usr/bin/zaraz /usr

# Purged, nothing of it is left, and the caches that the triggers rebuilt are as before.
files=$(dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ {print substr($6, 2)}')
files+=" /usr/libexec/zaraz /usr/share/zaraz /usr/share/doc/zaraz"
run_dpkg --purge zaraz || fail "dpkg --purge failed: $(cat "$WORK/dpkg.log")"
INSTALLED=""
! dpkg-query -W zaraz >/dev/null 2>&1 || fail "dpkg still knows zaraz after the purge"
for file in $files; do
  [ ! -e "$file" ] || fail "$file is left after the purge"
done
snapshot >"$WORK/after"
diff "$WORK/before" "$WORK/after" >"$WORK/snapshot.diff" ||
  fail "the purge left desktop or icon files changed: $(cat "$WORK/snapshot.diff")"
echo "deb: installed, started by name from another folder, closed, purged"
