// Opens a 500-page and a 10-page fixture book from a local http server in headless Chromium and
// prints, for each, the time to the first painted page and the bytes fetched before it, and the
// ratio of the two (a lazy player keeps it near 1). Usage: node web/bench/player.mjs
import fs from 'node:fs';
import path from 'node:path';
import { makeBook } from '../../tests/browser/bookFixture.mjs';
import { launch, serve, tempFolder } from '../../tests/browser/browserSupport.mjs';

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
  const start = Date.now();
  await page.goto(url);
  await page.waitForFunction(() => document.querySelector('.lm-page[data-page="0"] img')?.dataset.state === 'loaded');
  const ms = Date.now() - start;
  painted = true;
  await page.close();
  return { ms, bytes, images };
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

const root = tempFolder('bench-player');
try {
  for (const count of [10, 500]) makeBook(path.join(root, 'book' + count), { count });
  const server = await serve(root);
  const browser = await launch();
  const results = {};
  for (const count of [10, 500]) {
    const runs = [];
    for (let i = 0; i < ROUNDS; i++) runs.push(await firstPaint(browser, server.url + 'book' + count + '/index.html'));
    results[count] = { ms: median(runs.map((r) => r.ms)), bytes: median(runs.map((r) => r.bytes)), images: Math.max(...runs.map((r) => r.images)) };
    console.log(count + '-page book: first page painted in ' + results[count].ms + ' ms, ' + results[count].bytes
      + ' bytes and ' + results[count].images + ' page images fetched before it');
  }
  console.log('ratio 500/10: time ' + (results[500].ms / results[10].ms).toFixed(2) + ', bytes ' + (results[500].bytes / results[10].bytes).toFixed(2));
  await browser.close();
  await server.close();
} finally {
  fs.rmSync(root, { recursive: true, force: true });
}
