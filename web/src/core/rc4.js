// RC4 stream cipher; encrypting and decrypting are the same operation.
export function rc4(key, data) {
  const s = new Uint8Array(256);
  for (let i = 0; i < 256; i++) s[i] = i;
  for (let i = 0, j = 0; i < 256; i++) {
    j = (j + s[i] + key[i % key.length]) & 255;
    swap(s, i, j);
  }
  const out = new Uint8Array(data.length);
  for (let n = 0, i = 0, j = 0; n < data.length; n++) {
    i = (i + 1) & 255;
    j = (j + s[i]) & 255;
    swap(s, i, j);
    out[n] = data[n] ^ s[(s[i] + s[j]) & 255];
  }
  return out;
}

// A plain swap: the description is deciphered once, before the code is optimised, and an
// array-pattern swap costs several times as much there.
function swap(s, i, j) {
  const t = s[i];
  s[i] = s[j];
  s[j] = t;
}

export function asciiBytes(text) {
  return Uint8Array.from(text, (c) => c.charCodeAt(0) & 255);
}
