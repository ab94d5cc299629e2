// The page around the game: fits the 640 x 480 picture to the window, feeds
// data.pak to the game's file system, starts the game (after a click or key
// where the browser holds sound back), shows the game's notices and its end.
'use strict';

const canvas = document.getElementById('screen');
const stage = document.getElementById('stage');
const startPanel = document.getElementById('start');
const endedPanel = document.getElementById('ended');
const notice = document.getElementById('notice');

// The largest whole step of device pixels that fits, so every game pixel is
// the same square; a window smaller than the picture (a phone) shrinks it
// to fit instead.
function fit() {
  const ratio = window.devicePixelRatio || 1;
  const room = stage.getBoundingClientRect();
  const width = room.width || window.innerWidth;
  const height = room.height || window.innerHeight;
  let scale = Math.min(width / 640, height / 480);
  if (scale >= 1)
    scale = Math.floor(scale * ratio) / ratio;
  canvas.style.width = 640 * scale + 'px';
  canvas.style.height = 480 * scale + 'px';
}
window.addEventListener('resize', fit);
document.addEventListener('fullscreenchange', fit);
fit();

// Right buttons click too, and a long press is not a menu.
canvas.addEventListener('contextmenu', event => event.preventDefault());
// Keys the game uses that the browser would otherwise take (help, focus,
// scrolling); the game still sees them.
const gameKeys = new Set(['F1', 'F9', 'F12', 'Tab', 'ArrowUp', 'ArrowDown', 'ArrowLeft',
                          'ArrowRight', ' ', 'Backspace']);
window.addEventListener('keydown', event => {
  if (gameKeys.has(event.key) && !event.ctrlKey && !event.metaKey && !event.altKey)
    event.preventDefault();
});

function showNotice(text) {
  notice.querySelector('span').textContent = text;
  notice.hidden = false;
}
notice.querySelector('button').addEventListener('click', () => { notice.hidden = true; });

function ended(text) {
  if (text)
    document.getElementById('ended-text').textContent = text;
  endedPanel.hidden = false;
}
endedPanel.querySelector('button').addEventListener('click', () => location.reload());

// Whether this browser keeps sound back until the player acts.
function soundHeldBack() {
  const Context = window.AudioContext || window.webkitAudioContext;
  if (!Context)
    return false;
  try {
    const probe = new Context();
    const held = probe.state !== 'running';
    probe.close();
    return held;
  } catch (error) {
    return false;
  }
}

var Module = {
  canvas: canvas,
  notice: showNotice,
  onExit: () => ended(),
  onAbort: () => ended('Tessal stopped on an error.'),
  preRun: [() => {
    Module.addRunDependency('data.pak');
    dataPak.then(bytes => {
      Module.FS.writeFile('/data.pak', new Uint8Array(bytes));
      Module.removeRunDependency('data.pak');
    }, error => {
      showNotice('The game\'s data could not be loaded: ' + error.message);
    });
    if (soundHeldBack()) {
      Module.addRunDependency('player');
      startPanel.hidden = false;
      const go = event => {
        event.preventDefault();
        startPanel.hidden = true;
        window.removeEventListener('pointerdown', go, true);
        window.removeEventListener('keydown', go, true);
        Module.removeRunDependency('player');
      };
      window.addEventListener('pointerdown', go, true);
      window.addEventListener('keydown', go, true);
    }
  }],
};

const dataPak = fetch('data.pak').then(response => {
  if (!response.ok)
    throw new Error(response.status + ' ' + response.statusText);
  return response.arrayBuffer();
});

// The game is built with WebAssembly's vectors and bulk memory: two tiny
// modules (an i8x16.popcnt, a memory.copy) tell whether this browser has
// them before the game's code is loaded.
const wasmFeatures = [
  [0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0, 10, 10, 1, 8, 0, 65, 0,
   253, 15, 253, 98, 11],
  [0, 97, 115, 109, 1, 0, 0, 0, 1, 4, 1, 96, 0, 0, 3, 2, 1, 0, 5, 3, 1, 0, 1, 10, 14, 1, 12, 0,
   65, 0, 65, 0, 65, 0, 252, 10, 0, 0, 11],
];
if (typeof WebAssembly === 'object' &&
    wasmFeatures.every(bytes => WebAssembly.validate(new Uint8Array(bytes)))) {
  const script = document.createElement('script');
  script.src = 'tessal.js';
  script.onerror = () => ended('Tessal could not be loaded.');
  document.body.appendChild(script);
} else {
  ended('This browser is too old for Tessal: it needs Chrome 91, Firefox 89, Safari 16.4 ' +
        'or later.');
}

// Offline after the first visit, and installable.
if ('serviceWorker' in navigator && window.isSecureContext)
  navigator.serviceWorker.register('sw.js').catch(() => {});
