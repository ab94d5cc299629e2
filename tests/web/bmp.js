// Reads the archive's uncompressed 24-bit BMP pictures into top-down RGB.
'use strict';

function readBmp(bytes) {
  if (bytes.toString('latin1', 0, 2) !== 'BM')
    throw new Error('not a BMP picture');
  const offset = bytes.readUInt32LE(10);
  const w = bytes.readInt32LE(18);
  const stored = bytes.readInt32LE(22);
  const h = Math.abs(stored);
  if (bytes.readUInt16LE(28) !== 24 || bytes.readUInt32LE(30) !== 0)
    throw new Error('not an uncompressed 24-bit BMP picture');
  const stride = (w * 3 + 3) & ~3;
  const rgb = new Uint8Array(w * h * 3);
  for (let y = 0; y < h; y++) {
    const row = offset + stride * (stored > 0 ? h - 1 - y : y);
    for (let x = 0; x < w; x++) {
      const from = row + x * 3;
      const to = (y * w + x) * 3;
      rgb[to] = bytes[from + 2];
      rgb[to + 1] = bytes[from + 1];
      rgb[to + 2] = bytes[from];
    }
  }
  return { w, h, rgb };
}

module.exports = { readBmp };
