// Plays the browser build in Debian's chromium, headless, from the page served
// on 127.0.0.1, and leaves what the game wrote for scripts/test-web to compare
// with the Linux build's:
//
//   node browser_test.mjs --build DIR --journey SCRIPT --returning SCRIPT --out DIR
//
// 1. the first-run journey, headless (virtual clock), from fresh saves: the
//    save folder afterwards goes to OUT/journey;
// 2. the page reloaded: the saves are still there; the returning player's
//    script plays on them into OUT/returning;
// 3. in a fresh profile, in the canvas at the real pace: the first key starts
//    the sound, a tap and a long touch beside the canvas in "Milk Run", the
//    ticks' pace, and the mission's replay into OUT/live.
// Each check prints one line; the exit code is the number that failed.
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { inflateSync } from 'node:zlib';
import puppeteer from 'puppeteer-core';
import { serve } from '../../tools/serve-web/serve.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const options = {};
for (let i = 2; i + 1 < process.argv.length; i += 2) options[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
for (const name of ['build', 'journey', 'returning', 'out']) {
  if (!options[name]) {
    console.error(`usage: browser_test.mjs --build DIR --journey SCRIPT --returning SCRIPT --out DIR (no --${name})`);
    process.exit(2);
  }
}

let failures = 0;
const say = (text) => console.log(`test-web: ${text}`);
function check(ok, text) {
  if (!ok) failures++;
  say(ok ? text : `FAILED: ${text}`);
  return ok;
}
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

async function waitFor(page, test, what, timeoutMs, ...args) {
  try {
    await page.waitForFunction(test, { timeout: timeoutMs, polling: 100 }, ...args);
    return true;
  } catch {
    check(false, `${what} (waited ${timeoutMs / 1000} s; the page shows "${await statusOf(page)}")`);
    return false;
  }
}

const statusOf = (page) => page.evaluate(() => document.getElementById('status').textContent).catch(() => '?');

// Opens the page with the game's environment and files set before it starts.
async function open(context, environment, files, recordFrames) {
  const page = await context.newPage();
  await page.setViewport({ width: 1024, height: 720, hasTouch: true });
  page.on('console', (message) => {
    if (message.type() === 'warning' || message.type() === 'error') say(`page: ${message.text()}`);
  });
  // exit() ends the program by throwing ExitStatus, which reaches the page.
  // A crashed module throws again on every later call into it: the first
  // error is told with its stack, the rest only counted.
  let errors = 0;
  page.on('pageerror', (error) => {
    if (error.message === 'ExitStatus') return;
    if (errors++ === 0) check(false, `page error: ${error.stack || error.message}`);
    else if (errors === 2) say('page: later errors follow; they are not told');
  });
  await page.evaluateOnNewDocument(
    (environment, files, recordFrames) => {
      window.Module = {
        // Headless runs take the game's default full-screen mode, as on Linux.
        arguments: environment.BACKFIRE_HEADLESS ? [] : ['-W'],
        preRun: [() => {
          Object.assign(ENV, environment);
          for (const [path, text] of Object.entries(files)) FS.writeFile(path, text);
        }],
      };
      if (recordFrames) window.Module.backfireFrames = [];
    },
    environment, files, recordFrames);
  await page.goto(`${origin}/index.html`);
  return page;
}

// Waits for the game to end and its saves to reach IndexedDB, then copies the
// save folder out.
async function finish(page, what, out) {
  if (!(await waitFor(page, () => /has ended|stopped/.test(document.getElementById('status').textContent),
                      `${what} ends`, 240000)))
    return false;
  const status = await statusOf(page);
  if (!check(status.includes('has ended'), `${what}: ${status}`)) return false;
  await waitFor(page, () => !Module.backfirePersisting(), `${what}: saves copied to IndexedDB`, 10000);
  await copyOut(page, out);
  return true;
}

async function copyOut(page, out) {
  const files = await page.evaluate(() => {
    const found = {};
    const walk = (folder) => {
      for (const name of FS.readdir(folder)) {
        if (name === '.' || name === '..') continue;
        const path = `${folder}/${name}`;
        if (FS.isDir(FS.stat(path).mode)) walk(path);
        else {
          let text = '';
          for (const byte of FS.readFile(path)) text += String.fromCharCode(byte);
          found[path.slice('/backfire/'.length)] = btoa(text);
        }
      }
    };
    walk('/backfire');
    if (FS.analyzePath('/tmp/hashes.txt').exists) {
      let text = '';
      for (const byte of FS.readFile('/tmp/hashes.txt')) text += String.fromCharCode(byte);
      found['hashes.txt'] = btoa(text);
    }
    return found;
  });
  for (const [name, data] of Object.entries(files)) {
    mkdirSync(dirname(join(out, name)), { recursive: true });
    writeFileSync(join(out, name), Buffer.from(data, 'base64'));
  }
  return files;
}

const headless = (script) => [
  // The frame hashes go to the in-memory /tmp, not into the saves.
  { BACKFIRE_HEADLESS: '1', BACKFIRE_SCRIPT: '/tmp/script.txt', BACKFIRE_FRAME_HASHES: '/tmp/hashes.txt' },
  { '/tmp/script.txt': readFileSync(script, 'utf8') },
];

// The left-button presses of a replay file, as [down tick, up tick] pairs.
function presses(file) {
  const bytes = readFileSync(file);
  const count = bytes.readUInt32LE(76);
  const body = inflateSync(bytes.subarray(88, 88 + bytes.readUInt32LE(80)));
  const found = [];
  let tick = 0;
  let down = null;
  for (let i = 0; i < count; i++) {
    tick += body.readInt32LE(i * 18);
    const kind = body[i * 18 + 4];
    if (kind === 2) down = tick;
    if (kind === 3 && down !== null) {
      found.push([down, tick]);
      down = null;
    }
  }
  return found;
}

function percentile(values, p) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor((p / 100) * sorted.length))];
}

const server = await serve([['/', options.build]]);
const origin = `http://127.0.0.1:${server.address().port}`;
const browser = await puppeteer.launch({
  executablePath: process.env.BACKFIRE_CHROMIUM || '/usr/lib/chromium/chromium',
  headless: true,
  // The sound must wait for the player's first gesture, as on a real page.
  args: ['--no-sandbox', '--autoplay-policy=user-gesture-required', '--mute-audio'],
});

try {
  const out = resolve(options.out);

  // 1 and 2: one profile, the page reloaded between the runs.
  const context = await browser.createBrowserContext();
  let page = await open(context, ...headless(options.journey), false);
  await finish(page, 'the first-run journey', join(out, 'journey'));
  await page.close();
  page = await open(context, ...headless(options.returning), false);
  const kept = await page.evaluate(() => new Promise((done) => {
    const look = () => (typeof FS === 'object' && Module.calledRun
      ? done(FS.analyzePath('/backfire/game.dat').exists) : setTimeout(look, 50));
    look();
  }));
  check(kept, 'after a reload the first game\'s game.dat is in the save folder');
  await finish(page, 'the returning player', join(out, 'returning'));
  await page.close();
  await context.close();

  // 3: a fresh profile, the game in the canvas at its real pace. The script
  // leaves the intro and takes "Play", which on a first run starts "Milk
  // Run" at tick 276; the touches and the first key are the driver's own.
  const live = await browser.createBrowserContext();
  page = await open(live, { BACKFIRE_SCRIPT: '/tmp/script.txt' },
                    { '/tmp/script.txt': '3 hold SPACE 2\n229 hold SPACE 2\n' }, true);
  const frames = () => page.evaluate(() => Module.backfireFrames.length);
  // The first key is one the game has no use for (every key it knows picks
  // the menu's item), so the script alone leads it into the mission.
  await waitFor(page, () => Module.SDL2 && Module.SDL2.audioContext && Module.backfireFrames.length > 60,
                'the main menu with the sound output open', 60000);
  const before = await page.evaluate(() => Module.SDL2 && Module.SDL2.audioContext && Module.SDL2.audioContext.state);
  await page.keyboard.press('F13');
  await sleep(500);
  const after = await page.evaluate(() => Module.SDL2.audioContext.state);
  // Headless chromium may let a page's sound start without a gesture; a
  // context that was suspended must run after the first key.
  check(after === 'running', `sound: the audio context was "${before}" before the first key and is "${after}" after it`);
  const loudest = await page.evaluate(() => new Promise((done) => {
    const context = Module.SDL2.audioContext;
    const analyser = context.createAnalyser();
    analyser.fftSize = 2048;
    Module.SDL2.audio.scriptProcessorNode.connect(analyser);
    const samples = new Float32Array(analyser.fftSize);
    let peak = 0;
    const started = performance.now();
    const sample = () => {
      analyser.getFloatTimeDomainData(samples);
      for (const value of samples) peak = Math.max(peak, Math.abs(value));
      if (performance.now() - started < 3000) setTimeout(sample, 20);
      else done(peak);
    };
    sample();
  }));
  check(loudest > 0.01, `sound: the game's output peaks at ${loudest.toFixed(3)} of full scale in its first 3 s`);

  // In the mission: a tap on the canvas, then a long touch on the page
  // beside it.
  await waitFor(page, () => Module.backfireFrames.length > 400, 'tick 400 in the mission', 60000);
  const box = await (await page.$('#canvas')).boundingBox();
  check(box.width === 800 && box.height === 600,
        `the canvas shows the game's frame at 1x: ${box.width} x ${box.height} at (${box.x}, ${box.y})`);
  const x = box.x + box.width / 2, y = box.y + box.height / 2;
  await page.touchscreen.touchStart(x, y);
  await sleep(80);
  await page.touchscreen.touchEnd();
  await sleep(1500);
  await page.touchscreen.touchStart(box.x / 2, y);
  await sleep(1500);
  await page.touchscreen.touchEnd();

  // Pace: 30 s from the tap, still in the mission.
  const paceStart = await page.evaluate(() => performance.now());
  await sleep(30500);
  const record = await page.evaluate(() => Module.backfireFrames);
  const window = record.filter(([t]) => t >= paceStart && t < paceStart + 30000);
  const rate = window.length / 30;
  check(rate >= 38 && rate <= 39.5, `pace: ${rate.toFixed(2)} ticks a second over 30 s of "Milk Run"`);
  const spent = window.map(([, ms]) => ms);
  say(`pace: time in the game per tick: median ${percentile(spent, 50).toFixed(2)} ms, ` +
      `99th percentile ${percentile(spent, 99).toFixed(2)} ms, longest ${Math.max(...spent).toFixed(2)} ms`);
  mkdirSync(out, { recursive: true });
  await page.screenshot({ path: join(out, 'live-mission.png') });

  // The ship is lost in the end; the results screen keeps the replay.
  await waitFor(page, () => FS.analyzePath('/backfire/replays/last.bfr').exists, 'the mission\'s results', 180000);
  await sleep(500);
  mkdirSync(join(out, 'live'), { recursive: true });
  await copyOut(page, join(out, 'live'));
  const pressed = presses(join(out, 'live', 'replays', 'last.bfr'));
  const lengths = pressed.map(([down, up]) => up - down);
  check(lengths.length === 2 && lengths[0] <= 5 && lengths[1] >= 50 && lengths[1] <= 62,
        `touch: the replay holds the presses ${JSON.stringify(pressed)} (a tap of 80 ms, a touch of 1.5 s beside the canvas)`);
  say(`live: frames shown ${await frames()}`);
  await page.close();
  await live.close();
} catch (error) {
  check(false, `the browser test stopped: ${error.stack || error}`);
} finally {
  await browser.close();
  server.close();
}
process.exit(failures);
