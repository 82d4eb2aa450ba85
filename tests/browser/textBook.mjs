// A long text book like a real manual, for search, selection and zoom: every page holds a heading
// and 44 lines of words drawn from a fixed vocabulary (a few with accents), so each word's count
// over the book is known and pdftotext agrees with it.
//   textBookPdf(file, count) writes the PDF; publishTextBook(root, count, ...options) publishes it
//   through leafmill-cli into root/book and answers that folder.
// From a shell: node tests/browser/textBook.mjs OUT_FOLDER [pages=500] [leafmill-cli options...]
import path from 'node:path';
import { writePdf } from './pdfMaker.mjs';
import { publish, cli } from './browserSupport.mjs';

const WORDS = ('mill wheel grain stone water flour sack miller river gear shaft hopper sieve bran crank lever bolt '
  + 'valve spindle belt pulley oil grease brush chute bin scale ledger season harvest barley wheat rye oats '
  + 'café naïve Zürich façade résumé').split(' ');

// The same book every time: a small linear congruential generator.
function generator(seed) {
  let state = seed >>> 0;
  return () => (state = (Math.imul(state, 1664525) + 1013904223) >>> 0) / 2 ** 32;
}

export function textBookPages(count) {
  const next = generator(15);
  return Array.from({ length: count }, (_, i) => {
    const rows = ['Chapter ' + (Math.floor(i / 10) + 1) + ', page ' + (i + 1)];
    for (let row = 0; row < 44; row++)
      rows.push(Array.from({ length: 11 }, () => WORDS[Math.floor(next() * WORDS.length)]).join(' '));
    return { width: 595, height: 842, color: '#ffffff', lines: { x: 56, y: 790, size: 10, leading: 16, rows } };
  });
}

export function textBookPdf(file, count = 500) {
  return writePdf(file, { pages: textBookPages(count), title: 'A text manual' });
}

export function publishTextBook(root, count = 500, ...options) {
  const pdf = textBookPdf(path.join(root, 'manual.pdf'), count);
  return publish(pdf, path.join(root, 'book'), '--title', 'A text manual', ...options);
}

if (process.argv[1] && path.resolve(process.argv[1]) === path.resolve(new URL(import.meta.url).pathname)) {
  const [out, count = '500', ...options] = process.argv.slice(2);
  if (!out || !cli) {
    console.error('usage: node tests/browser/textBook.mjs OUT_FOLDER [pages] [options]  (needs leafmill-cli built; LEAFMILL_BUILD_DIR)');
    process.exit(2);
  }
  console.log(publishTextBook(path.resolve(out), Number(count), ...options));
}
