# tests/web/browser.sh -- the web build in a real browser: builds it (scripts/web), takes the
# desktop game's start picture under Xvfb as the reference, serves the page on 127.0.0.1 and
# drives Debian's Chromium headless with puppeteer-core (tests/web/browser.mjs says what is
# checked). Run by CTest with ZARAZ SOURCE_DIR BUILD_DIR; ends with "web: N passed, N failed".
# ZARAZ_WEB_KEEP_DIR, when set, receives the two start pictures compared (raw RGB and RGBA).
source "$(dirname "$0")/../e2e/lib.sh"
source "$SOURCE_DIR/scripts/deps.sh"
# The browser's game is the same whichever SDL 1.2 the desktop loads: one pass of it is enough.
[ "${ZARAZ_SDL_FLAVOUR:-}" = compat ] && exit 77
# The reference picture below is classic SDL 1.2's, whatever ZARAZ_SDL_FLAVOUR says (its wrapper
# puts sdl12-compat on LD_LIBRARY_PATH): the browser's blends round up to 2 levels one way from
# it, sdl12-compat's 1 level the other way, and nothing else here wants that library.
unset LD_LIBRARY_PATH
need_packages chromium
# Node and npm may come from elsewhere than Debian (npm is part of some nodejs packages).
command -v node >/dev/null || need_packages nodejs
command -v npm >/dev/null || need_packages npm

# The page is built where scripts/web builds it, so that a second run only links; puppeteer-core
# is installed beside it from the lockfile of tests/web.
WEB_DIR="$SOURCE_DIR/build-web"
DRIVER_DIR="$SOURCE_DIR/build-web-driver"
SERVER_PID=""
stop_server() {
  [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null || true
  SERVER_PID=""
}
trap 'stop_server; cleanup' EXIT

"$SOURCE_DIR/scripts/web" "$WEB_DIR" >"$WORK/web-build.log" 2>&1 ||
  fail "scripts/web failed: $(tail -20 "$WORK/web-build.log")"
grep "^== built" "$WORK/web-build.log"

mkdir -p "$DRIVER_DIR"
if ! cmp -s "$SOURCE_DIR/tests/web/package-lock.json" "$DRIVER_DIR/package-lock.json" ||
  [ ! -d "$DRIVER_DIR/node_modules/puppeteer-core" ]; then
  cp "$SOURCE_DIR/tests/web/package.json" "$SOURCE_DIR/tests/web/package-lock.json" "$DRIVER_DIR/"
  (cd "$DRIVER_DIR" && npm ci --no-audit --no-fund --loglevel=error) >"$WORK/npm.log" 2>&1 ||
    fail "npm ci of puppeteer-core failed: $(tail -20 "$WORK/npm.log")"
fi

# The desktop game's start picture, with the pointer at the screen's centre as start_game leaves
# it: raw 640 x 480 RGB bytes for the comparison. The first enemies are made out of sight and
# take well over a second to come into view, so the picture does not depend on the random seed.
start_xvfb
export SDL_AUDIODRIVER=dummy
start_game "$(make_game_dir)"
sleep 0.5
screenshot "$WORK/desktop-start.png"
close_window
wait_game
"$CONVERT" "$WORK/desktop-start.png" -depth 8 "rgb:$WORK/desktop-start.rgb"

# A free port: the system picks one, and the server takes it a moment later.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$WEB_DIR" >"$WORK/server.log" 2>&1 &
SERVER_PID=$!
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" \
    2>/dev/null && break
  sleep 0.1
done

status=0
ZARAZ_WEB_URL="http://127.0.0.1:$port/" ZARAZ_WEB_DIR="$WEB_DIR" \
  ZARAZ_WEB_DRIVER="$DRIVER_DIR" ZARAZ_WEB_WORK="$WORK" \
  ZARAZ_WEB_REFERENCE="$WORK/desktop-start.rgb" ZARAZ_WEB_KEEP_DIR="${ZARAZ_WEB_KEEP_DIR:-}" \
  node "$SOURCE_DIR/tests/web/browser.mjs" || status=$?
stop_server
exit "$status"
