// A long text book like a real manual, for search, selection and zoom: every page holds a heading
// and 44 lines of words drawn from a fixed vocabulary (a few with accents), so each word's count
// over the book is known and pdftotext agrees with it. publishTextBook(root, count, ...options)
// writes root/manual.pdf and publishes it through leafmill-cli into root/book.
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { writePdf } from './pdfMaker.mjs';
import { publish } from './browserSupport.mjs';
import { foldText, foldQuery } from '../../web/src/text/pageText.js';

const WORDS = ('mill wheel grain stone water flour sack miller river gear shaft hopper sieve bran crank lever bolt '
  + 'valve spindle belt pulley oil grease brush chute bin scale ledger season harvest barley wheat rye oats '
  + 'café naïve Zürich façade résumé').split(' ');

export function publishTextBook(root, count = 500, ...options) {
  // The same book every time: a small linear congruential generator picks the words.
  let state = 15;
  const next = () => (state = (Math.imul(state, 1664525) + 1013904223) >>> 0) / 2 ** 32;
  const pages = Array.from({ length: count }, (_, i) => {
    const rows = ['Chapter ' + (Math.floor(i / 10) + 1) + ', page ' + (i + 1)];
    for (let row = 0; row < 44; row++) rows.push(Array.from({ length: 11 }, () => WORDS[Math.floor(next() * WORDS.length)]).join(' '));
    return { width: 595, height: 842, color: '#ffffff', lines: { x: 56, y: 790, size: 10, leading: 16, rows } };
  });
  const pdf = writePdf(path.join(root, 'manual.pdf'), { pages, title: 'A text manual' });
  return publish(pdf, path.join(root, 'book'), '--title', 'A text manual', ...options);
}

// The word's count on each of the 1-based pages as pdftotext reads the PDF, case and accents ignored
// as the player's search ignores them.
export function pdftotextCounts(pdf, pages, word) {
  const query = foldQuery(word);
  return Object.fromEntries(pages.map((n) => {
    const text = foldText(execFileSync('pdftotext', ['-f', String(n), '-l', String(n), '-enc', 'UTF-8', pdf, '-']).toString('utf8')).folded;
    return [n, text.split(query).length - 1];
  }));
}

// Searches the open template player for the word through its search field; answers the time until
// every result was listed and the count of results on each of the 1-based pages.
export async function playerSearch(page, word, pages) {
  await page.locator('.lm-page .lm-word').first().waitFor({ state: 'attached' });
  await page.keyboard.press('Control+f');
  await page.locator('.lm-search-input').fill(word);
  const started = await page.evaluate(() => performance.now());
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.querySelector('.lm-panel-search').dataset.state === 'done', null, { timeout: 60000 });
  const ms = Math.round((await page.evaluate(() => performance.now())) - started);
  // The list makes its rows as it scrolls: the hits behind it are counted.
  const hitPages = await page.evaluate(async () => (await globalThis.leafmillPlayer.textPart).search.hits.map((hit) => hit.page + 1));
  const counts = Object.fromEntries(pages.map((n) => [n, hitPages.filter((p) => p === n).length]));
  return { ms, counts, total: hitPages.length };
}
