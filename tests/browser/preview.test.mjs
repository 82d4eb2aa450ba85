// The preview page: shows the book published in its folder and answers snapCurrentTmpl.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { makeBook, writePreview } from './bookFixture.mjs';
import { launch, serve, tempFolder, screenshot } from './browserSupport.mjs';

let browser, server, root;

before(async () => {
  browser = await launch();
  root = tempFolder('preview');
  makeBook(root, { count: 6, needExt: true });
  writePreview(root);
  server = await serve(root);
});

after(async () => {
  await browser?.close();
  await server?.close();
  fs.rmSync(root, { recursive: true, force: true });
});

// Decodes the answer both as bytes (JPEG markers) and as a picture in the page.
async function snapshotOf(url) {
  const page = await browser.newPage({ viewport: { width: 1024, height: 700 } });
  await page.goto(url);
  await page.waitForFunction(() => document.querySelector('.lm-page[data-page="0"] img')?.dataset.state === 'loaded');
  const base64 = await page.evaluate(() => globalThis.snapCurrentTmpl('/tmp/ignored.jpg'));
  const bytes = Buffer.from(base64, 'base64');
  assert.deepEqual([...bytes.subarray(0, 2)], [0xff, 0xd8]);
  assert.deepEqual([...bytes.subarray(-2)], [0xff, 0xd9]);
  const size = await page.evaluate(async (data) => {
    const img = new Image();
    img.src = 'data:image/jpeg;base64,' + data;
    await img.decode();
    return [img.naturalWidth, img.naturalHeight];
  }, base64);
  await page.close();
  return { bytes, size };
}

test('snapCurrentTmpl answers a decodable JPEG of the current look, over http and from disk', async () => {
  const overHttp = await snapshotOf(server.url + 'index.html');
  assert.ok(overHttp.size[0] > 100 && overHttp.size[1] > 50, 'size ' + overHttp.size);
  fs.mkdirSync(process.env.LEAFMILL_BROWSER_ARTEFACTS ?? '/tmp/leafmill-browser-artefacts', { recursive: true });
  fs.writeFileSync(path.join(process.env.LEAFMILL_BROWSER_ARTEFACTS ?? '/tmp/leafmill-browser-artefacts', 'preview-snapshot.jpg'), overHttp.bytes);
  const fromDisk = await snapshotOf(pathToFileURL(path.join(root, 'index.html')).href);
  assert.deepEqual(fromDisk.size, overHttp.size);
});

test('the preview page shows the book of its folder', async () => {
  const page = await browser.newPage({ viewport: { width: 1024, height: 700 } });
  await page.goto(server.url + 'index.html');
  await page.waitForFunction(() => document.querySelector('.lm-page[data-page="0"] img')?.dataset.state === 'loaded');
  assert.equal(await page.locator('.lm-title').textContent(), 'Fixture book');
  await screenshot(page, 'preview');
  await page.close();
});

test('after a rebuild the preview reopens at the page the reader was on', async () => {
  const page = await browser.newPage({ viewport: { width: 1024, height: 700 } });
  await page.goto(server.url + 'index.html');
  await page.waitForFunction(() => globalThis.leafmillPlayer?.visiblePages().length);
  await page.evaluate(() => globalThis.leafmillPlayer.goTo(3, false));
  await page.goto(server.url + 'index.html');
  await page.waitForFunction(() => JSON.stringify(globalThis.leafmillPlayer?.visiblePages()) === '[3,4]');
  await page.close();
});
