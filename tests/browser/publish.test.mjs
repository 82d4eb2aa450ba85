// End to end: books that leafmill-cli publishes from its sample PDF, opened in the browser.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { pathToFileURL, fileURLToPath } from 'node:url';
import { launch, serve, tempFolder, screenshot, pixel } from './browserSupport.mjs';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const cli = [process.env.LEAFMILL_BUILD_DIR, path.join(repo, 'build')]
  .filter(Boolean).map((dir) => path.join(dir, 'src/cli/leafmill-cli')).find((file) => fs.existsSync(file));
const skip = cli ? false : 'leafmill-cli is not built';

let browser, server, root;

// The CLI keeps its language pool and libraries among the user's files: give it a home of its own.
const cliEnv = () => {
  const home = path.join(root, 'home');
  return { ...process.env, HOME: home, XDG_DATA_HOME: path.join(home, 'data'), XDG_CONFIG_HOME: path.join(home, 'config') };
};

function publish(name, ...options) {
  const folder = path.join(root, name);
  execFileSync(cli, ['publish', path.join(root, 'sample.pdf'), '-o', folder, '--title', 'Sample book', '--links', '--bookmarks', '--quiet', ...options],
    { env: cliEnv() });
  return folder;
}

before(async () => {
  if (skip) return;
  root = tempFolder('publish');
  execFileSync(cli, ['make-sample-pdf', path.join(root, 'sample.pdf')]);
  browser = await launch();
  server = await serve(root);
});

after(async () => {
  await browser?.close();
  await server?.close();
  if (root) fs.rmSync(root, { recursive: true, force: true });
});

async function openBook(url, viewport = { width: 1280, height: 800 }) {
  const page = await browser.newPage({ viewport });
  await page.goto(url);
  await page.waitForFunction(() => document.querySelector('.lm-page[data-page="0"] img')?.dataset.state === 'loaded' || document.querySelector('.lm-error'));
  assert.equal(await page.locator('.lm-error').count(), 0, 'the book opens');
  return page;
}

async function showsPagePixels(page, index) {
  await page.waitForFunction((i) => document.querySelector('.lm-page[data-page="' + i + '"] img')?.dataset.state === 'loaded', index);
  const box = await page.locator('.stf__block > .lm-page[data-page="' + index + '"]').boundingBox();
  const background = await page.locator('.lm-app').evaluate((e) => getComputedStyle(e).backgroundColor);
  const samples = [];
  for (const [fx, fy] of [[0.3, 0.2], [0.5, 0.5], [0.7, 0.8]]) samples.push(await pixel(page, Math.round(box.x + box.width * fx), Math.round(box.y + box.height * fy)));
  assert.ok(samples.some((c) => c !== '#ffffff'), 'page ' + (index + 1) + ' shows more than white: ' + samples + ' on ' + background);
}

const visible = (page, want) => page.waitForFunction((w) => JSON.stringify(globalThis.leafmillPlayer.visiblePages()) === w
  && globalThis.leafmillPlayer.pageFlip.getState() !== 'flipping', JSON.stringify(want));

test('a published JPEG book opens over http and from disk, turns, and follows its outline and links', { skip }, async () => {
  const folder = publish('jpg', '--engine', 'jpg', '--mobile');
  assert.ok(fs.readFileSync(path.join(folder, 'index.html'), 'utf8').includes('text/x-leafmill'), 'the template page is the built player');
  const page = await openBook(server.url + 'jpg/index.html');
  await showsPagePixels(page, 0);
  await screenshot(page, 'published-cover');
  await page.keyboard.press('ArrowRight');
  await visible(page, [1, 2]);
  await showsPagePixels(page, 2);
  await screenshot(page, 'published-spread');

  const book = await page.evaluate(() => globalThis.leafmillPlayer.book);
  assert.ok(book.outline.length > 0, 'the outline came through');
  assert.ok(book.links.flat().some((l) => l.url), 'a web link came through');
  const internal = book.links.findIndex((links) => links.some((l) => l.page !== undefined));
  assert.ok(internal >= 0, 'a page link came through');

  await page.click('button.lm-outline');
  const entry = book.outline.at(-1);
  await page.locator('.lm-tree-row', { hasText: entry.caption }).first().click();
  await page.waitForFunction((p) => globalThis.leafmillPlayer.visiblePages().includes(p), entry.page);
  await page.keyboard.press('Escape');

  await page.evaluate((i) => globalThis.leafmillPlayer.goTo(i, false), internal);
  const target = book.links[internal].find((l) => l.page !== undefined).page;
  await page.locator('.stf__block > .lm-page[data-page="' + internal + '"] a[data-goto]').first().click();
  await page.waitForFunction((p) => globalThis.leafmillPlayer.visiblePages().includes(p), target);
  await page.close();

  const fromDisk = await openBook(pathToFileURL(path.join(folder, 'index.html')).href);
  await showsPagePixels(fromDisk, 0);
  await fromDisk.close();

  const phone = await browser.newPage({ viewport: { width: 390, height: 844 } });
  await phone.goto(server.url + 'jpg/mobile/index.html');
  const count = book.pages.length;
  for (let i = 0; i < count; i++) {
    await phone.waitForFunction((n) => {
      const img = document.querySelector('.lm-m-page[data-page="' + n + '"]:not([hidden]) img');
      return img?.complete && img.naturalWidth > 0 && document.getAnimations().length === 0;
    }, i);
    if (i === 0) await screenshot(phone, 'published-mobile');
    if (i + 1 < count) await phone.click('.lm-m-next');
  }
  await phone.close();
});

test('a published SWF book shows its pages at full size from the JPEG beside each movie, over http and from disk', { skip }, async () => {
  const folder = publish('swf', '--engine', 'swf', '--pages', '1-2');
  assert.ok(fs.existsSync(path.join(folder, 'files/page/0.swf')) && fs.existsSync(path.join(folder, 'files/page/0.jpg')));
  for (const url of [server.url + 'swf/index.html', pathToFileURL(path.join(folder, 'index.html')).href]) {
    const page = await openBook(url);
    await showsPagePixels(page, 0);
    const width = await page.locator('.lm-page[data-page="0"] img').evaluate((img) => img.naturalWidth);
    assert.ok(width > 180, 'page 1 is ' + width + ' pixels wide, the size of a thumbnail');
    await screenshot(page, url.startsWith('file:') ? 'published-swf-from-disk' : 'published-swf');
    await page.close();
  }
});

test('the download button offers the book\'s own PDF when it has no address', { skip }, async () => {
  const folder = publish('download', '--pages', '1-2', '--set', 'showDownload=Show');
  const copy = path.join(folder, 'files/sample.pdf');
  assert.deepEqual(fs.readFileSync(copy), fs.readFileSync(path.join(root, 'sample.pdf')));
  const page = await openBook(server.url + 'download/index.html');
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('button.lm-download')]);
  assert.equal(download.suggestedFilename(), 'sample.pdf');
  await page.close();
});

test('a book published in French speaks French', { skip }, async () => {
  publish('french', '--pages', '1-2', '--set', 'languageSetting=French;English');
  const page = await openBook(server.url + 'french/index.html');
  assert.equal(await page.locator('button.lm-first').getAttribute('aria-label'), 'Première page');
  assert.deepEqual(await page.locator('select.lm-language option').allTextContents(), ['French', 'English']);
  await page.close();
});

test('the mobile book loads its page links from a script beside its page, also from disk', { skip }, async () => {
  const folder = publish('mobile-links', '--mobile');
  assert.ok(fs.existsSync(path.join(folder, 'mobile/pageLinks.js')));
  assert.ok(!fs.readFileSync(path.join(folder, 'mobile/index.html'), 'utf8').includes('TAnnoLink'), 'no link table in the page');
  const phone = await browser.newPage({ viewport: { width: 390, height: 844 } });
  await phone.goto(pathToFileURL(path.join(folder, 'mobile/index.html')).href);
  await phone.waitForFunction(() => document.querySelectorAll('.lm-m-link').length > 0);
  await phone.close();
});
