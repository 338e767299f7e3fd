# tests/web/browser.sh -- the web build (scripts/web) in headless Chromium, driven by
# tests/web/browser.mjs against the desktop game's start picture taken under Xvfb. Run by CTest
# with ZARAZ SOURCE_DIR BUILD_DIR; ZARAZ_WEB_KEEP_DIR, when set, keeps the two pictures compared.
source "$(dirname "$0")/../e2e/lib.sh"
source "$SOURCE_DIR/scripts/deps.sh"
# The browser's game is the same whichever SDL 1.2 the desktop loads: one pass of it is enough.
[ "${ZARAZ_SDL_FLAVOUR:-}" = compat ] && exit 77
# The reference is classic SDL's picture: the browser's blends round up to 2 levels one way from
# it, sdl12-compat's (which the flavour wrapper puts on LD_LIBRARY_PATH) 1 level the other way.
unset LD_LIBRARY_PATH
need_packages chromium
# Node and npm may come from elsewhere than Debian (npm is part of some nodejs packages).
command -v node >/dev/null || need_packages nodejs
command -v npm >/dev/null || need_packages npm

# Built where scripts/web builds, so a second run only links; puppeteer-core from our lockfile.
WEB_DIR="$SOURCE_DIR/build-web"
DRIVER_DIR="$SOURCE_DIR/build-web-driver"
SERVER_PID=""
trap '[ -z "$SERVER_PID" ] || kill "$SERVER_PID" 2>/dev/null; cleanup' EXIT

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

# The desktop game's start picture (pointer centred by start_game) as raw RGB. The first enemies
# take over a second to come into view, so the picture does not depend on the random seed.
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
wait_for 10 python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" ||
  fail "the page server did not start: $(cat "$WORK/server.log")"

ZARAZ_WEB_URL="http://127.0.0.1:$port/" ZARAZ_WEB_DIR="$WEB_DIR" \
  ZARAZ_WEB_DRIVER="$DRIVER_DIR" ZARAZ_WEB_WORK="$WORK" \
  ZARAZ_WEB_REFERENCE="$WORK/desktop-start.rgb" ZARAZ_WEB_KEEP_DIR="${ZARAZ_WEB_KEEP_DIR:-}" \
  node "$SOURCE_DIR/tests/web/browser.mjs"
