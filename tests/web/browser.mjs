// tests/web/browser.mjs -- plays the web build in headless Chromium (puppeteer-core) and checks
// what a player sees and keeps: the start picture against the desktop game's, the page around the
// canvas, steering, firing, the pause overlay, the music, the kept best score, and "Exit".
// Started by tests/web/browser.sh, which serves the page and passes the paths in ZARAZ_WEB_*.
// Prints one line a check and "web: N passed, N failed"; exits 1 when a check failed.
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';

const env = process.env;
const puppeteer = createRequire(path.join(env.ZARAZ_WEB_DRIVER, 'package.json'))('puppeteer-core');

const WIDTH = 640;
const HEIGHT = 480;
const CENTRE = { x: 320, y: 240 };
const LEVEL_TOLERANCE = 2;      // per channel, desktop against browser blends
// Without a key nothing reaches the ship for about 3 s of frames; a busy machine may take the
// picture well after this wait, so it is kept short.
const HOLD_MS = 1000;
// What must happen is waited for up to this long: the machine may be busy, and a slow frame
// only makes the game slower, never different.
const PATIENCE_MS = 10000;
const TAP_MS = 150;             // a key or button held as long as a person's tap
// A person's first key comes a moment after the picture: a press and release that fall into
// one frame count as no press, and the first frames of a fresh page may take longer.
const SETTLE_MS = 500;
const RESUME_BUTTON = { x: 320, y: 115 };
const EXIT_BUTTON = { x: 320, y: 165 };
const BUTTON_FRAME = [{ x: 170, y: 115 }, { x: 170, y: 165 }];  // dark, left of each label
const CAVE_PATCH = { x: 110, y: 290, w: 100, h: 100 };  // open cave at the start, far from the ship
const HUD_DIGITS = { x: 152, y: 29, w: 90, h: 22 };     // the best score's digits
const PLAY_MS = 10000;          // the stretch of play over which the pace is measured
const RECORD_TIMEOUT_MS = 60000;
const SAVED = '/saved/highscore.dat';  // the record as the page keeps it, under IDBFS's mount

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
let passed = 0;
let failed = 0;
const pageErrors = [];

function check(name, ok, detail = '') {
  console.log(`${ok ? 'ok' : 'not ok'} - ${name}${detail ? ` (${detail})` : ''}`);
  if (ok) passed += 1;
  else failed += 1;
}
const note = (text) => console.log(`# ${text}`);

const launch = (profile) => puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  userDataDir: profile,
  args: ['--no-sandbox', '--autoplay-policy=user-gesture-required'],
});

async function waitFirstFrame(page) {
  await page.waitForFunction(() => typeof Module !== 'undefined' && Module.calledRun &&
    Module._zaraz_web_first_frame_ms() > 0, { timeout: 20000 });
  await sleep(SETTLE_MS);
}

// A page of the game, loaded, with its first frame drawn. The viewport is smaller than the page,
// so that anything that scrolls it would show.
async function openGame(browser) {
  const page = await browser.newPage();
  page.on('pageerror', (error) => pageErrors.push(error.message));
  await page.setViewport({ width: 720, height: 520 });
  await page.bringToFront();
  await page.goto(env.ZARAZ_WEB_URL, { waitUntil: 'load' });
  await waitFirstFrame(page);
  return page;
}

const reload = (page) => page.reload({ waitUntil: 'load' }).then(() => waitFirstFrame(page));

async function canvasPoint(page, point) {
  const box = await (await page.$('#canvas')).boundingBox();
  return { x: box.x + point.x, y: box.y + point.y };
}
const pointAt = async (page, point) => {
  const at = await canvasPoint(page, point);
  await page.mouse.move(at.x, at.y);
};

// A press and release as long as a person's tap, of a key or (after a moment over it) a point.
async function tap(page, keyOrPoint) {
  const key = typeof keyOrPoint === 'string';
  if (!key) await pointAt(page, keyOrPoint).then(() => sleep(150));
  await (key ? page.keyboard.down(keyOrPoint) : page.mouse.down());
  await sleep(TAP_MS);
  await (key ? page.keyboard.up(keyOrPoint) : page.mouse.up());
}

// The canvas as RGBA bytes, row after row.
async function picture(page) {
  return Buffer.from(await page.evaluate(() => {
    const data = Module.canvas.getContext('2d').getImageData(0, 0, 640, 480).data;
    let text = '';
    for (let i = 0; i < data.length; i += 0x8000) {
      text += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
    }
    return btoa(text);
  }), 'base64');
}

// Calls `visit` with the byte index in an RGBA picture of every pixel of `box`.
function eachPixel(box, visit) {
  for (let y = box.y; y < box.y + box.h; y += 1) {
    for (let x = box.x; x < box.x + box.w; x += 1) visit(4 * (y * WIDTH + x));
  }
}
const WHOLE = { x: 0, y: 0, w: WIDTH, h: HEIGHT };
const spread = (a, i) => Math.max(a[i], a[i + 1], a[i + 2]) - Math.min(a[i], a[i + 1], a[i + 2]);

// Pixels whose channels differ by more than a grey's would: the colour split's fringes.
function colouredPixels(rgba) {
  let count = 0;
  eachPixel(WHOLE, (i) => { count += spread(rgba, i) > 40 ? 1 : 0; });
  return count;
}

function regionMean(rgba, box) {
  let sum = 0;
  eachPixel(box, (i) => { sum += (rgba[i] + rgba[i + 1] + rgba[i + 2]) / 3; });
  return sum / (box.w * box.h);
}

const grey = (rgba, point) => rgba[4 * (point.y * WIDTH + point.x)];

// Calls `look` (which returns { ok, ... }) every fifth of a second until it says ok or
// PATIENCE_MS have passed; returns its last answer.
async function waitFor(look) {
  const end = Date.now() + PATIENCE_MS;
  for (;;) {
    const seen = await look();
    if (seen.ok || Date.now() > end) return seen;
    await sleep(200);
  }
}

// The overlay is fully up when both button frames are dark and the open cave behind is pale.
// `seen.coloured` counts the pixels of colour on the way: the fade mixes greys, so a colour
// would be a channel in the wrong place.
async function overlayLook(page, seen = { coloured: 0 }) {
  const shot = await picture(page);
  seen.coloured = Math.max(seen.coloured, colouredPixels(shot));
  const frames = BUTTON_FRAME.map((point) => grey(shot, point));
  const pale = regionMean(shot, CAVE_PATCH);
  const buttons = frames.every((value) => value < 40);
  return { ok: buttons && pale > 60 && pale < 200, buttons, frames, pale };
}

// The game is back when the open cave is black again.
async function gameLook(page) {
  const open = regionMean(await picture(page), CAVE_PATCH);
  return { ok: open < 5, open };
}

// The music as the page's SDL_mixer holds it: Web Audio running, the piece not paused and its
// source node playing, with the audio clock moving.
const musicState = (page) => page.evaluate(async () => {
  const [context, music] = [SDL.audioContext, SDL.music.audio];
  const before = context ? context.currentTime : 0;
  await new Promise((resolve) => setTimeout(resolve, 300));
  return { context: context ? context.state : 'none', paused: !music || music.paused,
    node: !!(music && music.webAudioNode), clockMoves: !!context && context.currentTime > before };
});
const playing = (m) => m.context === 'running' && !m.paused && m.node && m.clockMoves;

const waitForMusic = (page) => waitFor(async () => {
  const state = await musicState(page);
  return { ok: playing(state), ...state };
});

// ---- The checks, each on a page of its own or following on from the last -----------------------

async function checkStart(page) {
  const firstFrame = await page.evaluate(() => Module._zaraz_web_first_frame_ms());
  note(`page load to first frame: ${firstFrame.toFixed(0)} ms`);
  check('the canvas has the keyboard focus at load',
    await page.evaluate(() => document.activeElement === Module.canvas));
  check('the system pointer is hidden over the canvas',
    await page.evaluate(() => getComputedStyle(Module.canvas).cursor === 'none'));
  check('a line under the canvas gives the controls',
    await page.evaluate(() => /arrow keys/.test(document.getElementById('status').textContent)));

  await pointAt(page, CENTRE);  // where the desktop reference has its pointer
  await sleep(400);
  const start = await picture(page);
  const reference = fs.readFileSync(env.ZARAZ_WEB_REFERENCE);
  if (env.ZARAZ_WEB_KEEP_DIR) {
    fs.writeFileSync(path.join(env.ZARAZ_WEB_KEEP_DIR, 'desktop-start.rgb'), reference);
    fs.writeFileSync(path.join(env.ZARAZ_WEB_KEEP_DIR, 'web-start.rgba'), start);
  }
  let largest = 0;
  let beyond = 0;
  eachPixel(WHOLE, (i) => {
    const p = i / 4;
    const difference = Math.max(...[0, 1, 2].map((c) =>
      Math.abs(start[i + c] - reference[3 * p + c])));
    largest = Math.max(largest, difference);
    beyond += difference > LEVEL_TOLERANCE ? 1 : 0;
  });
  check(`the start picture is the desktop game's within ${LEVEL_TOLERANCE} levels a channel`,
    beyond === 0, `largest difference ${largest}, ${beyond} pixels beyond`);

  await tap(page, 'ArrowDown');
  check('an arrow key does not scroll the page', await page.evaluate(() => window.scrollY === 0));
  const after = await waitForMusic(page);
  check('the music plays after the first input', playing(after), JSON.stringify(after));
  return start;
}

// Held keys: the ship flies into the cave wall and bores in, which splits the picture into
// colours. Without a key nothing touches the ship that soon.
async function checkSteering(page) {
  const rows = [
    { name: 'no key held: no colour split', key: null },
    { name: 'd held: the ship bores into rock and the picture splits', key: 'd' },
    { name: 'the up arrow held: the same upwards', key: 'ArrowUp' },
  ];
  for (const row of rows) {
    await reload(page);
    let shot;
    if (row.key) {
      await page.keyboard.down(row.key);
      await waitFor(async () => ({ ok: colouredPixels(shot = await picture(page)) > 500 }));
    } else {
      await sleep(HOLD_MS);
      shot = await picture(page);
    }
    if (row.key === 'd' && env.ZARAZ_SCREENSHOT_DIR) {
      // The canvas and the line of controls under it.
      const corner = await canvasPoint(page, { x: -8, y: -8 });
      await page.screenshot({ path: path.join(env.ZARAZ_SCREENSHOT_DIR, 'web.png'),
        clip: { ...corner, width: WIDTH + 16, height: HEIGHT + 40 } });
    }
    if (row.key) await page.keyboard.up(row.key);
    const coloured = colouredPixels(shot);
    check(row.name, row.key ? coloured > 500 : coloured === 0, `${coloured} coloured pixels`);
  }
}

// A held left button fires at the pointer: shots reach the cave wall beyond the pointer's
// direction and blow craters into the rock, which turns from white to black there.
async function checkFiring(page) {
  const aim = { x: 620, y: 40 };
  const wall = { x: 530, y: 50, w: 70, h: 60 };  // where the shots meet the rock
  await reload(page);
  await pointAt(page, aim);
  await sleep(1000);
  const still = regionMean(await picture(page), wall);
  await reload(page);
  await pointAt(page, aim);
  await page.mouse.down();
  const firing = await waitFor(async () => {
    const mean = regionMean(await picture(page), wall);
    return { ok: mean < still - 40, mean };
  });
  await page.mouse.up();
  check('a held left button fires: craters darken the rock it aims at', firing.ok,
    `rock brightness ${still.toFixed(0)} without firing, ${firing.mean.toFixed(0)} firing`);
}

// Escape brings up the overlay over a pale backdrop, with both buttons, and pauses the music;
// "Resume game" brings the game back, and its music.
async function checkOverlay(page) {
  await reload(page);
  await pointAt(page, CENTRE);
  await sleep(300);
  const open = regionMean(await picture(page), CAVE_PATCH);
  await tap(page, 'Escape');
  const fade = { coloured: 0 };
  const overlay = await waitFor(() => overlayLook(page, fade));
  check('the fade into the overlay stays grey', fade.coloured === 0,
    `${fade.coloured} coloured pixels at most`);
  check('Escape brings up a pale backdrop', open < 5 && overlay.pale > 60 && overlay.pale < 200,
    `open cave ${open.toFixed(0)} in the game, ${overlay.pale.toFixed(0)} behind the overlay`);
  check('both buttons show', overlay.buttons, `button frames ${overlay.frames.join(', ')}`);
  const music = await musicState(page);
  check('the music is paused while the overlay is up', music.paused && !music.node,
    JSON.stringify(music));

  await tap(page, RESUME_BUTTON);
  const back = await waitFor(() => gameLook(page));
  check('"Resume game" brings the game back', back.ok, `open cave ${back.open.toFixed(0)}`);
  const resumed = await waitForMusic(page);
  check('the music plays again after the overlay', playing(resumed), JSON.stringify(resumed));
}

// Sprays shots around the ship for the pace's measure, then digs on until the ship dies; the
// reset stores the record, which the page copies to IndexedDB. Returns the record, or null.
async function playForARecord(page) {
  await tap(page, 'Escape');  // a first input, then straight back to the game
  await waitFor(() => overlayLook(page));
  await tap(page, RESUME_BUTTON);
  await waitFor(() => gameLook(page));
  await page.evaluate(() => Module._zaraz_web_restart_pacing());
  await page.mouse.down();
  const started = Date.now();
  let record = null;
  let digging = false;
  for (let step = 0; Date.now() - started < RECORD_TIMEOUT_MS && record === null; step += 1) {
    await pointAt(page, { x: Math.round(CENTRE.x + 150 * Math.cos(step * 0.35)),
      y: Math.round(CENTRE.y + 150 * Math.sin(step * 0.35)) });
    await sleep(40);
    if (!digging && Date.now() - started >= PLAY_MS) {
      const pace = await page.evaluate(
        () => [Module._zaraz_web_game_frames(), Module._zaraz_web_mean_game_frame_ms()]);
      note(`pace over ${PLAY_MS / 1000} s of play: ${pace[0]} game frames, ` +
        `mean ${pace[1].toFixed(2)} ms (desktop 33)`);
      await page.keyboard.down('d');
      digging = true;
    }
    record = await keptRecord(page, SAVED);
  }
  await page.mouse.up();
  if (digging) await page.keyboard.up('d');
  return record;
}

// The best-score file as the browser's IndexedDB holds it for the page (IDBFS keeps each file
// under its path in the store FILE_DATA of a database named after the mount point).
const recordInIndexedDb = (page) => page.evaluate((file) => new Promise((resolve) => {
  const request = indexedDB.open('/saved');
  request.onerror = () => resolve(null);
  request.onsuccess = () => {
    const db = request.result;
    const done = (value) => { db.close(); resolve(value); };
    try {
      const get = db.transaction(['FILE_DATA'], 'readonly').objectStore('FILE_DATA').get(file);
      get.onsuccess = () => done(get.result && get.result.contents
        ? parseInt(new TextDecoder().decode(get.result.contents), 10) : null);
      get.onerror = () => done(null);
    } catch (error) {
      done(null);
    }
  };
}), SAVED);

const keptRecord = (page, file = '/highscore.dat') => page.evaluate((name) => (
  FS.analyzePath(name).exists ? parseInt(FS.readFile(name, { encoding: 'utf8' }), 10) : null),
file);

async function checkRecord(start) {
  const profile = fs.mkdtempSync(path.join(env.ZARAZ_WEB_WORK, 'profile-'));
  let browser = await launch(profile);
  let page = await openGame(browser);
  const record = await playForARecord(page);
  check('a game that ends with points stores a new record', record > 0, `record ${record}`);
  // The page writes to IndexedDB in the background: the reload waits until it has.
  const stored = await waitFor(async () => {
    const value = await recordInIndexedDb(page);
    return { ok: record > 0 && value === record, value };
  });
  check('the record reaches the browser\'s IndexedDB', stored.ok, `stored ${stored.value}`);

  await reload(page);
  await pointAt(page, CENTRE);
  await sleep(400);
  const reloaded = await keptRecord(page);
  check('the record survives a reload', record > 0 && reloaded === record, `read back ${reloaded}`);
  const shot = await picture(page);
  let hudChanged = false;
  eachPixel(HUD_DIGITS, (i) => { hudChanged ||= shot.compare(start, i, i + 3, i, i + 3) !== 0; });
  check('the HUD shows the kept record after the reload', hudChanged);
  await browser.close();

  browser = await launch(profile);
  page = await openGame(browser);
  const restarted = await keptRecord(page);
  check('the record survives a restart of the browser', record > 0 && restarted === record,
    `read back ${restarted}`);
  await checkExit(page);
  await browser.close();
}

// "Exit": no more frames (the picture, with its running clock, stands still), the music stops,
// and the page says the game has ended and how to play again.
async function checkExit(page) {
  await tap(page, 'Escape');
  await waitFor(() => overlayLook(page));
  await tap(page, EXIT_BUTTON);
  const statusText = () => page.evaluate(() => document.getElementById('status').textContent);
  const ended = await waitFor(async () => ({ ok: /ended/.test(await statusText()) }));
  const first = await picture(page);
  await sleep(1200);
  const still = ended.ok && Buffer.compare(first, await picture(page)) === 0;
  const text = await statusText();
  const music = await page.evaluate(() => SDL.music.audio === null);
  check('"Exit" stops the game: no more frames, no music', still && music);
  check('the page says the game has ended and how to play again',
    /ended/.test(text) && /[Rr]eload/.test(text), text);
}

const browser = await launch(fs.mkdtempSync(path.join(env.ZARAZ_WEB_WORK, 'profile-')));
try {
  const page = await openGame(browser);
  const start = await checkStart(page);
  await checkSteering(page);
  await checkFiring(page);
  await checkOverlay(page);
  await browser.close();
  await checkRecord(start);
} catch (error) {
  check('the browser test ran to its end', false, error.stack);
  await browser.close().catch(() => {});
}
check('no script error on any page', pageErrors.length === 0, pageErrors.join('; '));
console.log(`web: ${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
