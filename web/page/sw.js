// Keeps the whole game (page, code, data.pak, icons) so that it plays
// offline after the first visit. Each build has its own cache, named by a
// hash of its files; a new build replaces the old cache whole.
'use strict';

const CACHE = 'tessal-@BUILD@';
const FILES = ['./', 'index.html', 'page.css', 'page.js', 'tessal.js', 'tessal.wasm', 'data.pak',
               'manifest.webmanifest', 'icons/tessal-32.png', 'icons/tessal-128.png',
               'icons/tessal-256.png', 'icons/tessal-512.png', 'icons/tessal.svg'];

self.addEventListener('install', event => {
  event.waitUntil(caches.open(CACHE).then(cache => cache.addAll(FILES))
                    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', event => {
  event.waitUntil(caches.keys()
                    .then(names => Promise.all(names.filter(name => name !== CACHE)
                                                 .map(name => caches.delete(name))))
                    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', event => {
  if (event.request.method !== 'GET')
    return;
  event.respondWith(caches.open(CACHE)
                      .then(cache => cache.match(event.request, {ignoreSearch: true}))
                      .then(kept => kept || fetch(event.request)));
});
