// Fuzzes the player's SWF reader (web/src/core/swfImage.js) with a seeded random generator:
// mutated movies (plain, and compressed with the mutation made before deflating) must give
// either no picture or a picture of a known type, and never throw.
//   node swfImage.fuzz.mjs [--seconds S] [--seed N] [--artifacts DIR]
// Every file in corpus/swf_image/ is replayed first; --seconds 0 replays only that and the seeds.
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { parseArgs } from 'node:util';
import { createRequire } from 'node:module';
import { imageFromSwf } from '../../web/src/core/swfImage.js';

globalThis.fflate = createRequire(new URL('../../web/package.json', import.meta.url))('fflate');

const option = { type: 'string' };
const { values: args } = parseArgs({ options: { seconds: option, seed: option, artifacts: option } });
const seconds = Number(args.seconds ?? 60), seed = Number(args.seed ?? Date.now() % 2 ** 31), artifacts = args.artifacts ?? '.';
const corpusDir = new URL('./corpus/swf_image/', import.meta.url).pathname;

// mulberry32: small, fast and reproducible from the printed seed.
let state = seed;
function random() {
  state = (state + 0x6d2b79f5) | 0;
  let t = Math.imul(state ^ (state >>> 15), 1 | state);
  t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
  return ((t ^ (t >>> 14)) >>> 0) / 2 ** 32;
}
const below = (n) => Math.floor(random() * n);
const pick = (list) => list[below(list.length)];

const u16 = (v) => Buffer.from([v & 0xff, v >> 8]);
const u32 = (v) => { const b = Buffer.alloc(4); b.writeUInt32LE(v); return b; };
const tag = (code, ...data) => Buffer.concat([u16((code << 6) | 0x3f), u32(Buffer.concat(data).length), ...data]);
const jpeg = Buffer.from([0xff, 0xd8, 0xff, 0xdb, 0x00, 0x04, 0x00, 0x00, 0xff, 0xd9]);
const png = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);

// The body after the 8-byte header: frame rectangle, rate and count, tags, end tag.
const body = (...tags) => Buffer.concat([Buffer.from([0x00, 0x00, 0x0c, 0x01, 0x00]), ...tags, Buffer.from([0, 0])]);
const movie = (bodyBytes, compressed) => Buffer.concat([Buffer.from(compressed ? 'CWS' : 'FWS'), Buffer.from([8]),
  u32(8 + bodyBytes.length), compressed ? zlib.deflateSync(bodyBytes) : bodyBytes]);
const seedBodies = [
  body(tag(21, u16(1), jpeg)),
  body(tag(21, u16(1), Buffer.from([0xff, 0xd9, 0xff, 0xd8]), jpeg)),
  body(tag(8, jpeg), tag(6, u16(1), jpeg)),
  body(tag(35, u16(1), u32(png.length), png, Buffer.from([1, 2, 3]))),
  body(tag(90, u16(1), u32(jpeg.length), u16(0), jpeg)),
  body(tag(9, Buffer.from([255, 255, 255])), tag(21, u16(1), Buffer.from('GIF89a'))),
];

function check(input) {
  try {
    const image = imageFromSwf(new Uint8Array(input));
    const known = image === null || (image.bytes instanceof Uint8Array && ['image/jpeg', 'image/png', 'image/gif'].includes(image.type));
    return known ? null : `gave ${JSON.stringify(image)}`;
  } catch (error) {
    return `threw ${error.name}: ${error.message}`;
  }
}

// One to four edits: a flipped bit, a boundary byte or length, a cut, a hole or two bytes more.
function mutate(bytes) {
  let result = Buffer.from(bytes);
  for (let edits = 1 + below(4); edits > 0 && result.length > 0; --edits) {
    const at = below(result.length);
    switch (below(6)) {
      case 0: result[at] ^= 1 << below(8); break;
      case 1: result[at] = pick([0, 0xff, 0x3f, 0x7f, 0x80]); break;
      case 2: result = result.subarray(0, at); break;
      case 3: result = Buffer.concat([result.subarray(0, at), result.subarray(at + 1 + below(8))]); break;
      case 4: result = Buffer.concat([result.subarray(0, at), Buffer.from([below(256), below(256)]), result.subarray(at)]); break;
      default: if (at + 4 <= result.length) result.writeUInt32LE(pick([0xffffffff, 0x7fffffff, 0, 1]), at);
    }
  }
  return result;
}

let runs = 0;
const findings = [];
function run(input, origin) {
  ++runs;
  const problem = check(input);
  if (!problem) return;
  const file = path.join(artifacts, `swf_image-crash-${findings.length}.swf`);
  fs.mkdirSync(artifacts, { recursive: true });
  fs.writeFileSync(file, input);
  findings.push(`${origin}: ${problem} (input saved as ${file})`);
}

const corpus = fs.existsSync(corpusDir) ? fs.readdirSync(corpusDir).map((f) => fs.readFileSync(path.join(corpusDir, f))) : [];
corpus.forEach((input, i) => run(input, `corpus file ${i}`));
seedBodies.forEach((b) => { run(movie(b, false), 'seed'); run(movie(b, true), 'seed'); });

const deadline = Date.now() + seconds * 1000;
while (Date.now() < deadline && findings.length < 10) {
  for (let i = 0; i < 200; ++i) {
    const roll = below(12);
    const input = roll < 3 && corpus.length ? mutate(pick(corpus))
      : roll < 6 ? movie(mutate(pick(seedBodies)), true) : mutate(movie(pick(seedBodies), false));
    run(input, `seed ${seed}`);
  }
}
console.log(`swf_image: ${runs} runs in ${seconds} s (seed ${seed}), ${findings.length} findings`);
for (const finding of findings) console.log(`  ${finding}`);
process.exit(findings.length ? 1 : 0);
