// Drives backend.c's page (built by browser.sh into the folder given) in headless
// chromium: prints the frame rate and audio callbacks a second, checks input.
const puppeteer = require('puppeteer-core');
const http = require('http'), fs = require('fs'), path = require('path'), os = require('os');
const dir = process.argv[2];
const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};
const server = http.createServer((req, res) => {
  const f = path.join(dir, req.url === '/' ? 'backend.html' : path.basename(req.url.split('?')[0]));
  fs.readFile(f, (err, data) => {
    res.writeHead(err ? 404 : 200, {'Content-Type': types[path.extname(f)] || 'text/plain'});
    res.end(err ? '' : data);
  });
});
function report(name, ok, detail) {
  console.log((ok ? 'ok   ' : 'FAIL ') + name + (detail ? ': ' + detail : ''));
  if (!ok) process.exitCode = 1;
}
// what the program shows on Module.check, waited for (never a fixed time)
async function sees(page, name, fn, arg) {
  try { await page.waitForFunction(fn, {timeout: 60000}, arg); report(name, true); }
  catch (e) { report(name, false, JSON.stringify(await page.evaluate(() => Module.check))); }
}
async function started(browser, url, viewport) {
  const page = await browser.newPage();
  page.on('pageerror', e => report('no page error', false, e.message));
  // a gamepad the test holds: navigator.getGamepads shows window.pads
  await page.evaluateOnNewDocument(() => {
    window.pads = [null, null, null, null];
    navigator.getGamepads = () => window.pads;
  });
  await page.setViewport(viewport);
  await page.goto(url);
  await page.waitForFunction(() => window.Module && Module.check && Module.check.frame > 5, {timeout: 120000});
  return page;
}
(async () => {
  await new Promise(r => server.listen(0, '127.0.0.1', r));
  const url = 'http://127.0.0.1:' + server.address().port + '/';
  const browser = await puppeteer.launch({executablePath: '/usr/bin/chromium', headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--autoplay-policy=no-user-gesture-required',
           '--user-data-dir=' + fs.mkdtempSync(path.join(os.tmpdir(), 'sdl-backend-'))]});
  try {
    const page = await started(browser, url, {width: 1400, height: 1000});
    // frames and audio callbacks over 300 flips
    const at = () => page.evaluate(() => ({t: performance.now(), f: Module.sdlStats.flips,
      c: Module.check.callbacks, s: Module.sdlStats, work: Module.check.workUs, title: document.title,
      icon: (document.querySelector('link[rel~=icon]') || {}).href || ''}));
    const s0 = await at();
    await page.waitForFunction(f => Module.sdlStats.flips >= f + 300, {timeout: 300000}, s0.f);
    const s1 = await at(), secs = (s1.t - s0.t) / 1000;
    console.log(`fps ${((s1.f - s0.f) / secs).toFixed(2)}  audio callbacks/s ${((s1.c - s0.c) / secs).toFixed(2)}` +
      ` (43.07 due)  underruns ${s1.s.audioUnderruns}  audio delay ${(s1.s.audioLatencyMs || 0).toFixed(1)} ms  frameWorkMs ${s1.s.frameWorkMs.toFixed(2)}` +
      `  redraw+blits ${(s1.work / 1000).toFixed(2)} ms`);
    report('audio callback runs', s1.c > s0.c);
    report('caption is the title', s1.title === 'SDL check', s1.title);
    report('icon is the favicon', s1.icon.startsWith('data:image/png'), s1.icon.slice(0, 30));
    await page.keyboard.down('ArrowLeft');
    await sees(page, 'arrow held in SDL_GetKeyState', () => Module.check.left === 1 && Module.check.lastKey === 276);
    await page.keyboard.up('ArrowLeft');
    await sees(page, 'arrow released', () => Module.check.left === 0);
    await page.keyboard.press('KeyA');
    await sees(page, 'letter with its unicode', () => Module.check.lastKey === 97 && Module.check.lastUni === 97);
    await page.keyboard.down('Shift'); await page.keyboard.press('KeyA'); await page.keyboard.up('Shift');
    await sees(page, 'shifted letter', () => Module.check.lastKey === 97 && Module.check.lastUni === 65);
    report('F1 kept from the browser', await page.evaluate(() => {
      const e = new KeyboardEvent('keydown', {code: 'F1', key: 'F1', cancelable: true});
      window.dispatchEvent(e);
      return e.defaultPrevented;
    }));
    await page.keyboard.press('F9');
    await sees(page, 'SDL_FULLSCREEN: the canvas\' box fills the screen',
      () => document.fullscreenElement === Module.canvas.parentElement);
    await page.keyboard.press('F9');
    await sees(page, 'and leaves it without', () => !document.fullscreenElement);
    // Left by the browser itself (its Escape): one F9 brings full screen back.
    await page.keyboard.press('F9');
    await sees(page, 'full screen again', () => !!document.fullscreenElement);
    await page.evaluate(() => document.exitFullscreen());
    await sees(page, 'left by the browser', () => !document.fullscreenElement);
    await page.keyboard.press('F9');
    await sees(page, 'one F9 after the browser\'s Escape enters full screen',
      () => document.fullscreenElement === Module.canvas.parentElement);
    await page.keyboard.press('F9');
    await sees(page, 'and the next leaves it', () => !document.fullscreenElement);
    await page.setViewport({width: 1400, height: 1000});
    const box = await (await page.$('#screen')).boundingBox(); // shown twice as large
    const ups = await page.evaluate(() => Module.check.ups);
    await page.mouse.click(box.x + 201, box.y + 101);
    await sees(page, 'click at (100,50) through a 2x scale', u => Module.check.clickX === 100 &&
      Module.check.clickY === 50 && Module.check.clickB === 1 && Module.check.ups > u, ups);
    await page.mouse.move(box.x + 601, box.y + 401);
    await sees(page, 'SDL_GetMouseState follows the pointer', () => Module.check.mouseX === 300 && Module.check.mouseY === 200);
    await page.mouse.click(box.x + 21, box.y + 21, {button: 'right'});
    await sees(page, 'right button', () => Module.check.clickB === 3);
    await page.evaluate(() => {
      const buttons = Array.from({length: 17}, (_, i) => ({pressed: i === 12, value: i === 12 ? 1 : 0}));
      window.pads[0] = {id: 'test pad', connected: true, mapping: 'standard', axes: [0, 1, 0, 0], buttons};
      window.dispatchEvent(new Event('gamepadconnected'));
    });
    await sees(page, 'a pad connected while running: D-pad up is button 11, left stick down axis 1',
      () => Module.check.pads === 1 && Module.check.padButtons === 22 && Module.check.padUp === 1 && Module.check.padY === 32767);
    await page.evaluate(() => { window.pads[0] = null; window.dispatchEvent(new Event('gamepaddisconnected')); });
    await sees(page, 'the pad gone: released and centred, its slot kept while open', () =>
      Module.check.pads === 1 && Module.check.padUp === 0 && Module.check.padY === 0);
    await page.evaluate(() => window.dispatchEvent(new Event('pagehide')));
    await sees(page, 'page closed: SDL_QUIT', () => Module.quit === 1);
    // a phone: the canvas shown at half size, a tap is a move, a press and a release
    const phone = await started(browser, url, {width: 400, height: 800, hasTouch: true, isMobile: true});
    await phone.evaluate(() => { Module.canvas.style.width = '320px'; Module.canvas.style.height = '240px'; });
    const b2 = await (await phone.$('#screen')).boundingBox();
    await phone.touchscreen.tap(b2.x + 160.25, b2.y + 120.25);
    await sees(phone, 'tap at the centre (a finger covers 2 pixels: within 1)', () =>
      Math.abs(Module.check.clickX - 320) <= 1 && Math.abs(Module.check.clickY - 240) <= 1 && Module.check.ups === 1);
  } finally {
    await browser.close();
    server.close();
  }
})().catch(e => { report('run', false, e.message); server.close(); });
