// Plays Tessal's web build in Debian's chromium, headless, served from this
// process on 127.0.0.1: the title menu by its pixels, the frame rate and the
// sound, the menu and a board from the keyboard, clicks that score, a whole
// game to the name entry, the name on the score board after a reload and
// after a reload with the network cut off (the service worker), touch
// taps into a board in a phone-sized page, and a scripted gamepad.
//
//   node --test browser.test.js      (TESSAL_WEB_SITE: the site folder,
//                                     default build-web/site)
// Every wait is for something the page shows or counts; the bounds only
// end a run that would otherwise wait for ever.
'use strict';

const { test } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const puppeteer = require('puppeteer-core');
const { serve } = require('./serve');
const { readBmp } = require('./bmp');

const site = path.resolve(process.env.TESSAL_WEB_SITE
                          || path.join(__dirname, '..', '..', 'build-web', 'site'));
const shots = process.env.TESSAL_WEB_SHOTS;  // a folder for screenshots, when set
const minutes = 60 * 1000;
const playerName = 'Web Player';

// Reference pictures straight from the game's archive, and where they show.
function reference(member) {
  return readBmp(execFileSync('unzip', ['-p', path.join(site, 'data.pak'), member],
                              { maxBuffer: 4 << 20 }));
}
const places = {
  title: { member: 'title.bmp', x: 0, y: 0 },
  play: { member: 'play.bmp', x: 0, y: 251 },
  splay: { member: 'splay.bmp', x: 0, y: 251 },
  sscores: { member: 'sscores.bmp', x: 0, y: 294 },
  panel: { member: 'right.bmp', x: 480, y: 0 },
  hiscore: { member: 'hiscore.bmp', x: 50, y: 150 },
};
const refs = {};
for (const [name, place] of Object.entries(places))
  refs[name] = { ...place, ...reference(place.member) };

// In the page: the canvas read back, compared and classified there, so that
// only small answers cross over.
function pageHelpers() {
  window.tessalTest = {
    refs: {},
    grab(x, y, w, h) {
      const canvas = document.getElementById('screen');
      const copy = document.createElement('canvas');
      copy.width = 640;
      copy.height = 480;
      const context = copy.getContext('2d');
      context.drawImage(canvas, 0, 0);
      return context.getImageData(x, y, w, h).data;
    },
    // Percent of the reference's pixels that the screen shows more than 12 %
    // off in some channel.
    differs(name) {
      const ref = this.refs[name];
      if (!ref)
        return 100;
      const shown = this.grab(ref.x, ref.y, ref.w, ref.h);
      let off = 0;
      for (let i = 0, j = 0; i < shown.length; i += 4, j += 3)
        if (Math.abs(shown[i] - ref.rgb[j]) > 31 || Math.abs(shown[i + 1] - ref.rgb[j + 1]) > 31
            || Math.abs(shown[i + 2] - ref.rgb[j + 2]) > 31)
          off++;
      return Math.floor(100 * off / (ref.w * ref.h));
    },
    region(x, y, w, h) {
      return Array.from(this.grab(x, y, w, h));
    },
    // The 15 x 15 board as letters: r, g, b for a tile of that colour, "."
    // for anything else (empty, a bonus tile, a banner over it).
    board() {
      const data = this.grab(0, 0, 480, 480);
      const rows = [];
      for (let r = 0; r < 15; r++) {
        let row = '';
        for (let c = 0; c < 15; c++) {
          let red = 0, green = 0, blue = 0, n = 0;
          for (let y = r * 32 + 6; y < r * 32 + 26; y += 2)
            for (let x = c * 32 + 6; x < c * 32 + 26; x += 2) {
              const i = (y * 480 + x) * 4;
              red += data[i]; green += data[i + 1]; blue += data[i + 2]; n++;
            }
          red /= n; green /= n; blue /= n;
          // The three colours by hue, in every theme, lit or not; the
          // board's background is far darker than any tile.
          const high = Math.max(red, green, blue);
          const span = high - Math.min(red, green, blue);
          let kind = '.';
          if (high > 100 && span > 0.25 * high) {
            let hue = high === red ? (green - blue) / span
              : high === green ? 2 + (blue - red) / span : 4 + (red - green) / span;
            hue = (hue * 60 + 360) % 360;
            if (hue >= 320 || hue < 30)
              kind = 'r';
            else if (hue >= 50 && hue < 130)
              kind = 'g';
            else if (hue >= 200 && hue < 260)
              kind = 'b';
          }
          row += kind;
        }
        rows.push(row);
      }
      return rows;
    },
  };
}

// Two neighbouring tiles of one colour, the highest first: taking groups
// off the top leaves the board stuck sooner, which ends a game quickly.
function pairs(board) {
  const found = [];
  for (let r = 0; r < 15; r++)
    for (let c = 0; c < 15; c++) {
      const kind = board[r][c];
      if (kind === '.')
        continue;
      if ((c < 14 && board[r][c + 1] === kind) || (r > 0 && board[r - 1][c] === kind))
        found.push({ c, r });
    }
  return found;
}

async function installRefs(page) {
  await page.evaluate(pageHelpers);
  for (const [name, ref] of Object.entries(refs))
    await page.evaluate((name, x, y, w, h, rgb) => {
      window.tessalTest.refs[name] = { x, y, w, h, rgb: Uint8Array.from(atob(rgb), c => c.charCodeAt(0)) };
    }, name, ref.x, ref.y, ref.w, ref.h, Buffer.from(ref.rgb).toString('base64'));
}

// Page operations that have no bound of their own end a stuck run here.
function bounded(promise, what, ms = 2 * minutes) {
  let timer;
  const limit = new Promise((resolve, reject) => {
    timer = setTimeout(() => reject(new Error(`${what}: no answer in ${ms / 1000} s`)), ms);
  });
  return Promise.race([promise, limit]).finally(() => clearTimeout(timer));
}

const stats = page => bounded(page.evaluate(() => ({ ...Module.sdlStats })), 'the counters');

// Waits until the game has drawn n more frames.
async function frames(page, n) {
  const start = (await stats(page)).flips;
  await page.waitForFunction((start, n) => Module.sdlStats.flips >= start + n,
                             { timeout: 2 * minutes, polling: 50 }, start, n);
}

async function waitForPicture(page, name, under, timeout = 5 * minutes) {
  await page.waitForFunction((name, under) => window.tessalTest
                             && window.tessalTest.differs(name) < under,
                             { timeout, polling: 200 }, name, under);
}

// Page coordinates of a point of the game's 640 x 480 picture.
async function toPage(page, x, y) {
  const box = await page.$eval('#screen', canvas => {
    const rect = canvas.getBoundingClientRect();
    return { left: rect.left, top: rect.top, width: rect.width, height: rect.height };
  });
  return { x: box.left + (x + 0.5) * box.width / 640, y: box.top + (y + 0.5) * box.height / 480 };
}

const scoreBox = page => page.evaluate(() => window.tessalTest.region(484, 256, 152, 56));

// Waits until the score box shows something else than `before`.
async function scoreChanges(page, before) {
  await page.waitForFunction(before => {
    const now = window.tessalTest.region(484, 256, 152, 56);
    return now.some((v, i) => Math.abs(v - before[i]) > 40);
  }, { timeout: 30000, polling: 100 }, before);
}

// The board once it has stood still for a few frames.
async function settledBoard(page) {
  for (;;) {
    const first = await page.evaluate(() => window.tessalTest.board());
    await frames(page, 8);
    const second = await page.evaluate(() => window.tessalTest.board());
    if (first.join() === second.join())
      return second;
  }
}

async function loadAndWaitForMenu(page, url) {
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.Module && Module.sdlStats && Module.sdlStats.flips > 0,
                             { timeout: 2 * minutes, polling: 100 });
  await installRefs(page);
  await waitForPicture(page, 'title', 12);
  // The menu's items are up once its opening wipe is over: keys then count.
  await page.waitForFunction(() => Math.min(window.tessalTest.differs('play'),
                                            window.tessalTest.differs('splay')) < 15,
                             { timeout: 2 * minutes, polling: 200 });
  await frames(page, 30);
}

async function shot(page, name) {
  if (shots)
    await page.screenshot({ path: path.join(shots, name + '.png') });
}

async function key(page, name, times = 1) {
  for (let i = 0; i < times; i++) {
    await page.keyboard.press(name);
    await frames(page, 2);
  }
}

// Walks the menu's highlight with one key (or one press of a function)
// until the item is lit.
async function highlight(page, item, direction, presses = 8) {
  for (let n = 0; n < presses; n++) {
    if (await page.evaluate(item => window.tessalTest.differs(item) < 15, item))
      return;
    await (typeof direction === 'function' ? direction() : key(page, direction));
    await frames(page, 10);
  }
  assert.fail(`${direction} does not light ${item}`);
}

// The first row of the score board, opened from the menu by the keyboard.
async function firstScoreRow(page) {
  await highlight(page, 'sscores', 'ArrowDown');
  await key(page, 'Enter');
  // The table's head takes the place of the menu's items under the title.
  await page.waitForFunction(() => window.tessalTest.differs('play') > 40
                             && window.tessalTest.differs('splay') > 40,
                             { timeout: 1 * minutes, polling: 100 });
  // The letters in gold, by a majority of five looks: the stars that pass
  // over the table move on, the letters stay.
  const votes = new Array(340 * 20).fill(0);
  for (let look = 0; look < 5; look++) {
    await frames(page, 20);
    const pixels = await page.evaluate(() => window.tessalTest.region(110, 300, 340, 20));
    for (let i = 0; i < votes.length; i++)
      if (pixels[4 * i] > 200 && pixels[4 * i + 1] > 170)
        votes[i]++;
  }
  const row = votes.map(count => count >= 3);
  await shot(page, 'scores');
  await key(page, 'Escape');
  await waitForPicture(page, 'title', 12);
  return row;
}

// The part of the row where one shows gold letters and the other not.
function changedPart(a, b) {
  return a.filter((gold, i) => gold !== b[i]).length / a.length;
}

test('Tessal plays in a real browser', { timeout: 40 * minutes }, async t => {
  const server = await serve(site);
  const url = `http://127.0.0.1:${server.address().port}/`;
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tessal-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--autoplay-policy=no-user-gesture-required',
           '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
           '--disable-backgrounding-occluded-windows'],
  });
  t.after(async () => {
    await browser.close();
    server.closeAllConnections();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  });
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 960 });
  const problems = [];
  page.on('pageerror', error => problems.push(error.message));

  let defaultRow;
  await t.test('the title menu comes after the logos, paced by the display, with sound',
               async () => {
    await loadAndWaitForMenu(page, url);
    await shot(page, 'menu');
    const before = await stats(page);
    const started = Date.now();
    await frames(page, 120);
    const after = await stats(page);
    const fps = (after.flips - before.flips) * 1000 / (Date.now() - started);
    // Far more than the display's rate means the flip does not wait for it.
    assert.ok(fps > 20 && fps < 75, `menu at ${fps.toFixed(1)} frames a second`);
    await page.waitForFunction(n => Module.sdlStats.audioCallbacks > n + 20,
                               { timeout: 1 * minutes, polling: 100 }, after.audioCallbacks);
    const scale = await page.$eval('#screen', canvas => canvas.getBoundingClientRect().width / 640);
    assert.equal(scale, 2, 'a 1280 x 960 page shows the picture twice as large');
    defaultRow = await firstScoreRow(page);
  });

  await t.test('the keyboard walks the menu and plays a group on a board', async () => {
    await highlight(page, 'sscores', 'ArrowDown');
    await highlight(page, 'splay', 'ArrowUp');
    await key(page, 'Enter');
    await waitForPicture(page, 'panel', 30);
    const board = await settledBoard(page);
    const [target] = pairs(board);
    assert.ok(target, `a group of two on the board:\n${board.join('\n')}`);
    // The pointer starts where the mouse is; the keys walk it from there.
    const start = await toPage(page, 16, 16);
    await page.mouse.move(start.x, start.y);
    await frames(page, 3);
    await key(page, 'ArrowRight', target.c);
    await key(page, 'ArrowDown', target.r);
    const before = await scoreBox(page);
    await key(page, ' ');
    await scoreChanges(page, before);
    await shot(page, 'board');
  });

  await t.test('clicks play the game to its end, and the name goes on the score board',
               async () => {
    let clicks = 0;
    let named = false;
    let last = '';
    let tries = 0;
    const deadline = Date.now() + 25 * minutes;
    while (!named && Date.now() < deadline) {
      if (await bounded(page.evaluate(() => window.tessalTest.differs('hiscore') < 20), 'the banner')) {
        await page.keyboard.type(playerName, { delay: 30 });
        await key(page, 'Enter');
        await waitForPicture(page, 'title', 12);
        named = true;
        break;
      }
      const board = await bounded(page.evaluate(() => window.tessalTest.board()), 'the board');
      const found = pairs(board);
      // A pair that did not go (a banner over the board) gives way to the next.
      tries = board.join() === last ? tries + 1 : 0;
      last = board.join();
      if (found.length === 0) {
        await frames(page, 10);
        continue;
      }
      const { c, r } = found[tries % found.length];
      const at = await toPage(page, c * 32 + 16, r * 32 + 16);
      await bounded(page.mouse.move(at.x, at.y), 'a pointer move');
      await frames(page, 2);
      const before = await scoreBox(page);
      await bounded(page.mouse.click(at.x, at.y), 'a click');
      if (clicks++ === 0)
        await scoreChanges(page, before);
      // The tiles fall and settle before the next look.
      await frames(page, 16);
    }
    assert.ok(named, `the game ended and took the name after ${clicks} clicks`);
    await page.waitForFunction(() => {
      try {
        return new TextDecoder().decode(Module.FS.readFile('/kept/scores.qbx')).includes('Web Player');
      } catch (error) {
        return false;
      }
    }, { timeout: 1 * minutes, polling: 200 });
  });

  let namedRow;
  await t.test('the name is on the score board after a reload', async () => {
    await loadAndWaitForMenu(page, url);
    namedRow = await firstScoreRow(page);
    assert.ok(changedPart(defaultRow, namedRow) > 0.02, 'the first row shows another name');
    const table = await page.evaluate(() => Array.from(Module.FS.readFile('/kept/scores.qbx')));
    assert.equal(table.length, 360);
    assert.equal(Buffer.from(table.slice(0, 32)).toString('latin1').replace(/\0.*$/s, ''), playerName);
  });

  await t.test('with the network cut off, the page still plays and keeps the name', async () => {
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null,
                               { timeout: 1 * minutes, polling: 200 });
    server.closeAllConnections();
    server.close();
    await page.setOfflineMode(true);
    await loadAndWaitForMenu(page, url);
    const row = await firstScoreRow(page);
    assert.ok(changedPart(namedRow, row) < changedPart(defaultRow, row) / 2,
              'the first row shows the name, as online');
    const table = await page.evaluate(() => Array.from(Module.FS.readFile('/kept/scores.qbx')));
    assert.equal(Buffer.from(table.slice(0, 32)).toString('latin1').replace(/\0.*$/s, ''), playerName);
  });

  await t.test('touch taps play a board in a phone-sized page that refuses storage', async () => {
    const phone = await browser.newPage();
    await phone.setOfflineMode(true);
    // As in private browsing: IndexedDB refuses to open.
    await phone.evaluateOnNewDocument(() => {
      IDBFactory.prototype.open = () => { throw new DOMException('refused', 'SecurityError'); };
    });
    await phone.setViewport({ width: 740, height: 360, deviceScaleFactor: 2, isMobile: true,
                              hasTouch: true, isLandscape: true });
    await loadAndWaitForMenu(phone, url);
    const width = await phone.$eval('#screen', canvas => canvas.getBoundingClientRect().width);
    assert.equal(width, 480, 'a 740 x 360 screen shrinks the picture to fit');
    await waitForPicture(phone, 'play', 15, 1 * minutes);
    await shot(phone, 'phone-menu');
    // A tap during the menu's opening wipe only ends the wipe.
    const play = await toPage(phone, 320, 272);
    let playing = false;
    for (let taps = 0; taps < 3 && !playing; taps++) {
      await phone.touchscreen.tap(play.x, play.y);
      playing = await phone.waitForFunction(() => window.tessalTest.differs('panel') < 30,
                                            { timeout: 1 * minutes, polling: 200 })
        .then(() => true, () => false);
    }
    assert.ok(playing, 'a tap on Play opens a board');
    const board = await settledBoard(phone);
    // The lowest group: the notice covers the top of the picture.
    const target = pairs(board).pop();
    assert.ok(target, 'a group of two on the board');
    const at = await toPage(phone, target.c * 32 + 16, target.r * 32 + 16);
    const before = await scoreBox(phone);
    // Taps during the board's opening wipe are not played.
    let scored = false;
    for (let taps = 0; taps < 3 && !scored; taps++) {
      await phone.touchscreen.tap(at.x, at.y);
      scored = await scoreChanges(phone, before).then(() => true, () => false);
    }
    assert.ok(scored, 'a tap on a group changes the score');
    await shot(phone, 'phone-board');
    const notice = await phone.$eval('#notice', box => (box.hidden ? '' : box.textContent));
    assert.match(notice, /keeps nothing for this page/);
    await phone.close();
  });

  await t.test('a gamepad walks the menu, opens a board and removes a group', async () => {
    const pad = await browser.newPage();
    await pad.setOfflineMode(true);
    // The page sees the pad the test holds, in the browser's standard layout.
    await pad.evaluateOnNewDocument(() => {
      window.pads = [null];
      navigator.getGamepads = () => window.pads;
    });
    await pad.setViewport({ width: 1280, height: 960 });
    await loadAndWaitForMenu(pad, url);
    await pad.evaluate(() => {
      const buttons = Array.from({ length: 17 }, () => ({ pressed: false, value: 0 }));
      window.pads[0] = { id: 'test pad', index: 0, connected: true, mapping: 'standard',
                         axes: [0, 0, 0, 0], buttons, timestamp: 0 };
      window.dispatchEvent(new Event('gamepadconnected'));
    });
    // One press and release of a standard button: 0 South, 13 down, 15 right.
    const press = async button => {
      for (const down of [true, false]) {
        await pad.evaluate((button, down) => {
          window.pads[0].buttons[button] = { pressed: down, value: down ? 1 : 0 };
        }, button, down);
        await frames(pad, 3);
      }
    };
    // The game looks for new pads once a second: the first presses may pass unseen.
    await highlight(pad, 'sscores', () => press(13), 20);
    await highlight(pad, 'splay', () => press(12));
    await press(0);
    await waitForPicture(pad, 'panel', 30, 1 * minutes);
    const board = await settledBoard(pad);
    const [target] = pairs(board);
    assert.ok(target, `a group of two on the board:\n${board.join('\n')}`);
    const start = await toPage(pad, 16, 16);
    await pad.mouse.move(start.x, start.y);
    await frames(pad, 3);
    for (let c = 0; c < target.c; c++)
      await press(15);
    for (let r = 0; r < target.r; r++)
      await press(13);
    const before = await scoreBox(pad);
    await press(0);
    await scoreChanges(pad, before);
    await pad.close();
  });

  assert.deepEqual(problems, [], 'the page threw no errors');
});
