// Measures the web build against its targets in Debian's chromium, headless:
// load to the first logo, frames a second and the game's own work per frame
// on the title menu and on a board, audio underruns over a minute of play,
// and the compressed size of the code. Prints a table.
//
//   node bench/web/measure.js [SITE]   (default build-web/site; puppeteer-core
//                                       from tests/web/node_modules)
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const tests = path.join(__dirname, '..', '..', 'tests', 'web');
const puppeteer = require(path.join(tests, 'node_modules', 'puppeteer-core'));
const { serve } = require(path.join(tests, 'serve'));

const site = path.resolve(process.argv[2] || path.join(__dirname, '..', '..', 'build-web', 'site'));
const playSeconds = Number(process.env.TESSAL_BENCH_PLAY_SECONDS || 60);

const stats = page => page.evaluate(() => ({ ...Module.sdlStats }));

// Frames a second and the game's work per frame over `seconds`.
async function rate(page, seconds) {
  const before = await stats(page);
  const started = Date.now();
  const work = [];
  const present = [];
  while (Date.now() - started < seconds * 1000) {
    await new Promise(resolve => setTimeout(resolve, 250));
    const now = await stats(page);
    work.push(now.frameWorkMs);
    present.push(now.presentMs);
  }
  const after = await stats(page);
  work.sort((a, b) => a - b);
  present.sort((a, b) => a - b);
  return {
    fps: (after.flips - before.flips) * 1000 / (Date.now() - started),
    workMs: work[Math.floor(work.length / 2)],
    presentMs: present[Math.floor(present.length / 2)],
    underruns: after.audioUnderruns - before.audioUnderruns,
    callbacks: after.audioCallbacks - before.audioCallbacks,
  };
}

// The title picture's top band is up: the menu (its colours, not black).
const menuShown = () => {
  const canvas = document.getElementById('screen');
  const copy = document.createElement('canvas');
  copy.width = 640;
  copy.height = 480;
  const context = copy.getContext('2d');
  context.drawImage(canvas, 0, 0);
  const band = context.getImageData(100, 80, 440, 80).data;
  let bright = 0;
  for (let i = 0; i < band.length; i += 4)
    if (band[i] > 200 && band[i + 1] > 120)
      bright++;
  return bright > band.length / 4 / 5 && Module.sdlStats.audioCallbacks > 0;
};

async function main() {
  // A page isolated from other origins gets the browser's fine clock (5 µs
  // rather than 100), which the driver's timing of a frame's work reads.
  const server = await serve(site, 0, { 'Cross-Origin-Opener-Policy': 'same-origin',
                                        'Cross-Origin-Embedder-Policy': 'require-corp' });
  const url = `http://127.0.0.1:${server.address().port}/`;
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tessal-bench-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true, userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--autoplay-policy=no-user-gesture-required'],
  });
  const rows = [];
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 960 });
    for (const visit of ['first visit', 'reload (service worker)']) {
      if (visit === 'first visit')
        await page.goto(url);
      else
        await page.reload();
      await page.waitForFunction(() => window.Module && Module.sdlStats && Module.sdlStats.flips > 0,
                                 { polling: 'raf', timeout: 120000 });
      const ms = await page.evaluate(() => performance.now());
      rows.push([`load to the first logo, ${visit}`, `${Math.round(ms)} ms`, '< 3000 ms']);
      await page.waitForFunction(menuShown, { polling: 200, timeout: 300000 });
    }
    if (!await page.evaluate(() => crossOriginIsolated))
      throw new Error('the page is not isolated: its clock is coarse');
    const menu = await rate(page, 10);
    rows.push(['title menu: frames a second', menu.fps.toFixed(1), '60']);
    rows.push(['title menu: game work per frame (median of the running average)',
               `${menu.workMs.toFixed(2)} ms`, '< 2 x desktop']);
    rows.push(['title menu: the copy to the canvas per frame', `${menu.presentMs.toFixed(2)} ms`, '']);
    // Down lights Play (the pointer is off the items), Return starts it, and
    // the title leaves the screen once the board is up.
    await page.keyboard.press('ArrowDown');
    await page.waitForFunction(n => Module.sdlStats.flips > n + 5, {}, (await stats(page)).flips);
    await page.keyboard.press('Enter');
    await page.waitForFunction(`!(${menuShown})()`, { polling: 200, timeout: 60000 });
    const box = await page.$eval('#screen', c => c.getBoundingClientRect().toJSON());
    // The pointer over the middle of the board, as in the desktop benchmark.
    await page.mouse.move(box.left + box.width * 240 / 640, box.top + box.height * 240 / 480);
    await new Promise(resolve => setTimeout(resolve, 3000));
    const play = await rate(page, playSeconds);
    rows.push(['board: frames a second', play.fps.toFixed(1), '60']);
    rows.push(['board: game work per frame (median of the running average)',
               `${play.workMs.toFixed(2)} ms`, '< 2 x desktop']);
    rows.push(['board: the copy to the canvas per frame', `${play.presentMs.toFixed(2)} ms`, '']);
    rows.push([`audio: underruns in ${playSeconds} s of play (${play.callbacks} callbacks)`,
               String(play.underruns), '0']);
  } finally {
    await browser.close();
    server.closeAllConnections();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  let raw = 0, gzip = 0, brotli = 0;
  for (const file of ['tessal.wasm', 'tessal.js']) {
    const bytes = fs.readFileSync(path.join(site, file));
    raw += bytes.length;
    gzip += zlib.gzipSync(bytes, { level: 9 }).length;
    brotli += zlib.brotliCompressSync(bytes).length;
  }
  const kB = n => `${(n / 1024).toFixed(0)} kB`;
  rows.push(['code (wasm + js): raw / gzip -9 / brotli', `${kB(raw)} / ${kB(gzip)} / ${kB(brotli)}`,
             '< 1 MB compressed']);
  rows.push(['data.pak', kB(fs.statSync(path.join(site, 'data.pak')).size), '']);
  console.log('| figure | measured | target |\n|---|---:|---|');
  for (const row of rows)
    console.log(`| ${row.join(' | ')} |`);
}

main().catch(error => {
  console.error(error);
  process.exit(1);
});
