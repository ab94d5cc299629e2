// A static file server for the site on 127.0.0.1 and a free port, as any
// web host would serve it (no caching by the browser, so the service worker
// is what keeps the game offline).
'use strict';

const http = require('node:http');
const fs = require('node:fs');
const path = require('node:path');

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.png': 'image/png', '.svg': 'image/svg+xml',
  '.webmanifest': 'application/manifest+json', '.pak': 'application/octet-stream',
};

// `headers` are sent with every file, beside the type.
function serve(root, port = 0, headers = {}) {
  const server = http.createServer((request, response) => {
    const wanted = decodeURIComponent(new URL(request.url, 'http://host').pathname);
    let file = path.join(root, wanted.endsWith('/') ? wanted + 'index.html' : wanted);
    if (!file.startsWith(root + path.sep)) {
      response.writeHead(403).end();
      return;
    }
    fs.readFile(file, (error, data) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream',
                                'Cache-Control': 'no-cache', ...headers });
      response.end(data);
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => resolve(server));
  });
}

module.exports = { serve };
