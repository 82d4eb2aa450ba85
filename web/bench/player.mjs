// Player benchmark in headless Chromium, books served from a local http server.
//  1. A 500-page and a 10-page fixture book: time to the first painted page, bytes fetched before
//     it, and the 500/10 ratios (a lazy player keeps them near 1).
//  2. With leafmill-cli built: a generated book like a real manual (320 text pages, a 5-level
//     outline of 686 entries, 3,520 links), published with links, bookmarks and the mobile
//     version: time to the first painted page (goal 0.5 s), page images fetched before it (goal
//     at most 6), the time from book.bin arriving to the first page asked for, and the size of
//     the mobile page (goal 150 KB).
//  3. With leafmill-cli built: the 500-page text manual (tests/browser/textBook.mjs): time to the
//     first painted page (goal 0.5 s) and whether any zoom-tier picture or text file was asked for
//     before it (goal none); a search for a word from the search field until every result is
//     listed (goal 2 s); its counts on pages 1, 250 and 499 against pdftotext's.
// Usage: node web/bench/player.mjs [build-dir]
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { makeBook } from '../../tests/browser/bookFixture.mjs';
import { writePdf } from '../../tests/browser/pdfMaker.mjs';
import { launch, serve, tempFolder, cli as defaultCli } from '../../tests/browser/browserSupport.mjs';
import { publishTextBook, pdftotextCounts, playerSearch } from '../../tests/browser/textBook.mjs';

const ROUNDS = 5;

async function firstPaint(browser, url) {
  const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
  let bytes = 0, images = 0, painted = false;
  page.on('response', async (response) => {
    if (painted) return;
    const length = Number(response.headers()['content-length']) || (await response.body().catch(() => Buffer.alloc(0))).length;
    bytes += length;
    if (response.url().includes('/files/page/')) images++;
  });
  // The first page is painted in the frame after its picture loads.
  await page.addInitScript(() => document.addEventListener('load', (e) => {
    if (e.target.matches?.('.lm-page[data-page="0"] img')) requestAnimationFrame(() => { globalThis.firstPagePainted ??= performance.now(); });
  }, true));
  await page.goto(url);
  await page.waitForFunction(() => globalThis.firstPagePainted);
  const ms = Math.round(await page.evaluate(() => globalThis.firstPagePainted));
  painted = true;
  // From the book description's last byte to the first page picture asked for: the player's own work.
  const gap = await page.evaluate(() => {
    const entries = performance.getEntriesByType('resource');
    const book = entries.find((e) => /\/files\/book\.(bin|js)$/.test(e.name));
    const first = entries.filter((e) => e.name.includes('/files/page/')).sort((a, b) => a.startTime - b.startTime)[0];
    return book && first ? Math.round(first.startTime - book.responseEnd) : NaN;
  });
  await page.close();
  return { ms, bytes, images, gap };
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

async function measure(browser, url) {
  const runs = [];
  for (let i = 0; i < ROUNDS; i++) runs.push(await firstPaint(browser, url));
  return { ms: median(runs.map((r) => r.ms)), bytes: median(runs.map((r) => r.bytes)), images: Math.max(...runs.map((r) => r.images)),
    gap: median(runs.map((r) => r.gap)) };
}

// Chapters of three sections of three parts of two points of one note: 14 x 49 entries.
function manualOutline(pageCount) {
  const shape = [14, 3, 3, 2, 1];
  const all = [];
  const make = (level, prefix) => Array.from({ length: shape[level] }, (_, i) => {
    const entry = { title: 'Section ' + prefix + (i + 1), children: [] };
    all.push(entry);
    if (level + 1 < shape.length) entry.children = make(level + 1, prefix + (i + 1) + '.');
    return entry;
  });
  const outline = make(0, '');
  all.forEach((entry, i) => { entry.page = 1 + Math.floor((i * pageCount) / all.length); });
  return { outline, entries: all.length };
}

// Eleven links a page: nine to other pages, like a manual's cross references, two to the web.
function manualPages(count) {
  return Array.from({ length: count }, (_, i) => ({
    width: 595, height: 842, color: '#ffffff', text: 'Page ' + (i + 1) + ' of the manual: setting up, using and servicing',
    marks: [{ x: 60, y: 120, width: 475, height: 560, color: '#f0f0f0' }],
    links: Array.from({ length: 11 }, (_, k) => {
      const box = { x: 70, y: 660 - k * 50, width: 300, height: 14 };
      return k < 9 ? { ...box, page: 1 + ((i + 7 * k + 3) % count) } : { ...box, uri: 'https://example.org/manual/' + i + '/' + k };
    }),
  }));
}

function publishManual(cli, root) {
  const pageCount = 320;
  const { outline, entries } = manualOutline(pageCount);
  const pdf = writePdf(path.join(root, 'manual.pdf'), { pages: manualPages(pageCount), outline, title: 'A manual' });
  const folder = path.join(root, 'manual');
  const started = Date.now();
  execFileSync(cli, ['publish', pdf, '-o', folder, '--title', 'A manual', '--links', '--bookmarks', '--mobile', '--quiet']);
  console.log('manual: ' + pageCount + ' pages, ' + entries + ' outline entries, ' + pageCount * 11 + ' links; published in '
    + ((Date.now() - started) / 1000).toFixed(1) + ' s');
  return folder;
}

// The text manual: first page, what came before it, and a search checked against pdftotext.
async function textManual(browser, url, pdf) {
  const { ms } = await measure(browser, url);
  const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
  await page.addInitScript(() => document.addEventListener('load', (e) => {
    if (e.target.matches?.('.lm-page[data-page="0"] img')) requestAnimationFrame(() => { globalThis.firstPagePainted ??= performance.now(); });
  }, true));
  await page.goto(url);
  await page.waitForFunction(() => globalThis.firstPagePainted && globalThis.leafmillPlayer);
  const early = await page.evaluate(() => performance.getEntriesByType('resource')
    .filter((e) => /\/files\/(large|text)\//.test(e.name) && e.startTime < globalThis.firstPagePainted).length);
  console.log('text manual: first page painted in ' + ms + ' ms (goal 500), ' + early + ' tier pictures or text files asked for before it (goal 0)');
  if (!(await page.evaluate(() => globalThis.leafmillPlayer.book.pages.some((p) => p.text)))) {
    console.log('text manual: search skipped, the book has no text files');
    return page.close();
  }
  const pages = [1, 250, 499], word = 'café';
  const found = await playerSearch(page, word, pages);
  const expected = pdftotextCounts(pdf, pages, word);
  console.log('text manual: "' + word + '" listed ' + found.total + ' results in ' + found.ms + ' ms (goal 2000); pages 1, 250, 499: '
    + pages.map((n) => found.counts[n] + ' (pdftotext ' + expected[n] + ')').join(', '));
  await page.close();
}

const root = tempFolder('bench-player');
try {
  for (const count of [10, 500]) makeBook(path.join(root, 'book' + count), { count });
  const named = process.argv[2] && path.join(path.resolve(process.argv[2]), 'src/cli/leafmill-cli');
  const cli = named && fs.existsSync(named) ? named : defaultCli;
  const manual = cli ? publishManual(cli, root) : null;
  const textBook = cli ? publishTextBook(path.join(root, 'text'), 500) : null;
  const server = await serve(root);
  const browser = await launch();
  const results = {};
  for (const count of [10, 500]) {
    results[count] = await measure(browser, server.url + 'book' + count + '/index.html');
    console.log(count + '-page book: first page painted in ' + results[count].ms + ' ms, ' + results[count].bytes
      + ' bytes and ' + results[count].images + ' page images fetched before it');
  }
  console.log('ratio 500/10: time ' + (results[500].ms / results[10].ms).toFixed(2) + ', bytes ' + (results[500].bytes / results[10].bytes).toFixed(2));
  if (manual) {
    const r = await measure(browser, server.url + 'manual/index.html');
    console.log('manual: first page painted in ' + r.ms + ' ms (goal 500), ' + r.images + ' page images before it (goal 6), '
      + r.gap + ' ms from book.bin to the first page asked for, ' + r.bytes + ' bytes fetched');
    const mobile = fs.statSync(path.join(manual, 'mobile/index.html')).size;
    console.log('manual: mobile page ' + (mobile / 1024).toFixed(1) + ' KB (goal 150)');
    await textManual(browser, server.url + 'text/book/index.html', path.join(root, 'text/manual.pdf'));
  } else {
    console.log('manual book skipped: leafmill-cli is not built (pass the build folder)');
  }
  await browser.close();
  await server.close();
} finally {
  fs.rmSync(root, { recursive: true, force: true });
}
