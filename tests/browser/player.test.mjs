// The template player on fixture books: reading book.bin/book.js, turning, lazy loading, links,
// panels, zoom, right-to-left, languages, phone view and unreadable books.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { makeBook, pageColor } from './bookFixture.mjs';
import { launch, serve, tempFolder, screenshot, pixel } from './browserSupport.mjs';

const FAST = { flipDuration: '250' };
let browser, server, root;

before(async () => {
  browser = await launch();
  root = tempFolder('player');
  server = await serve(root);
});

after(async () => {
  await browser?.close();
  await server?.close();
  fs.rmSync(root, { recursive: true, force: true });
});

function book(name, options = {}) {
  makeBook(path.join(root, name), { ...options, settings: { ...FAST, ...options.settings } });
  return server.url + name + '/index.html';
}

async function open(url, viewport = { width: 1280, height: 800 }, contextOptions = {}) {
  const context = await browser.newContext({ viewport, ...contextOptions });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto(url);
  page.errors = errors;
  return page;
}

const shown = (page, pages) => page.waitForFunction((want) => JSON.stringify(globalThis.leafmillPlayer?.visiblePages()) === want
  && ['read', 'fold_corner'].includes(globalThis.leafmillPlayer.pageFlip.getState()), JSON.stringify(pages));

const loaded = (page, index) => page.waitForFunction((i) => document.querySelector('.lm-page[data-page="' + i + '"] img')?.dataset.state === 'loaded', index);

// The colour a quarter down the middle of a shown page, away from its border and number.
async function pageColorOnScreen(page, index) {
  await loaded(page, index);
  const box = await page.locator('.stf__block > .lm-page[data-page="' + index + '"] img').boundingBox();
  return pixel(page, Math.round(box.x + box.width / 2), Math.round(box.y + box.height / 4));
}

const pageRequests = (prefix) => server.requests.filter((r) => r.startsWith(prefix) && r.includes('/files/page/'));

test('over http the first spread of a 1000-page book shows the cover and only pages near it are fetched', async () => {
  const url = book('lazy', { count: 1000 });
  const page = await open(url);
  await shown(page, [0]);
  assert.equal(await pageColorOnScreen(page, 0), pageColor(0));
  await page.waitForTimeout(200);
  const fetched = pageRequests('/lazy/');
  assert.ok(fetched.length > 0 && fetched.length <= 6, 'fetched ' + fetched.length + ' pages: ' + fetched);
  assert.equal(server.requests.filter((r) => r === '/lazy/files/book.bin').length, 1, 'the request the page makes early serves the player');
  await screenshot(page, 'desktop-cover');
  await page.keyboard.press('End');
  await shown(page, [999]);
  assert.ok(pageRequests('/lazy/').length <= 12, 'a jump fetches only the pages around its target');
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test('buttons and keys turn the pages, the page field and deep links go to a page', async () => {
  const url = book('turning', { count: 10, hardCover: true, settings: { isHardCover: 'YES' } });
  const page = await open(url);
  await shown(page, [0]);
  assert.equal(await page.locator('.lm-page[data-page="0"]').getAttribute('data-density'), 'hard');
  await page.click('button.lm-next');
  await shown(page, [1, 2]);
  assert.equal(await pageColorOnScreen(page, 1), pageColor(1));
  assert.equal(await pageColorOnScreen(page, 2), pageColor(2));
  await screenshot(page, 'desktop-spread');
  await page.keyboard.press('ArrowRight');
  await shown(page, [3, 4]);
  await page.keyboard.press('ArrowLeft');
  await shown(page, [1, 2]);
  await page.click('button.lm-previous');
  await shown(page, [0]);
  await page.fill('.lm-page-input', '8');
  await page.press('.lm-page-input', 'Enter');
  await shown(page, [7, 8]);
  assert.match(page.url(), /#p=8$/);
  await page.click('button.lm-last');
  await shown(page, [9]);
  assert.equal(await page.locator('button.lm-next').isDisabled(), true);

  const deep = await open(url + '#p=6');
  await shown(deep, [5, 6]);
  await deep.context().close();
  await page.context().close();
});

test('a page link turns to its page and a web link opens its address', async () => {
  const external = server.url + 'outside.html';
  fs.writeFileSync(path.join(root, 'outside.html'), '<title>outside</title>');
  const url = book('links', {
    count: 10,
    links: { 2: [{ page: 7, x: 0.1, y: 0.1, width: 0.5, height: 0.2 }, { url: external, x: 0.1, y: 0.6, width: 0.5, height: 0.2 },
      { url: 'javascript:alert(1)', x: 0.1, y: 0.85, width: 0.5, height: 0.1 }] },
    settings: { linkOpenedWindow: '_blank', linkOverColor: '0x00ff00', linkOverColorAlpha: '0.5' },
  });
  const page = await open(url);
  await shown(page, [0]);
  await page.click('button.lm-next');
  await shown(page, [1, 2]);
  assert.equal(await page.locator('.lm-page[data-page="1"] a').count(), 2, 'the script link is dropped');
  const goto = page.locator('.stf__block > .lm-page[data-page="1"] a[data-goto]');
  await goto.hover();
  assert.equal(await goto.evaluate((a) => getComputedStyle(a).backgroundColor), 'rgb(0, 255, 0)');
  await goto.click();
  await shown(page, [5, 6]);
  await page.click('button.lm-first');
  await shown(page, [0]);
  await page.click('button.lm-next');
  await shown(page, [1, 2]);
  const [popup] = await Promise.all([
    page.context().waitForEvent('page'),
    page.locator('.stf__block > .lm-page[data-page="1"] a[target="_blank"]').click(),
  ]);
  await popup.waitForLoadState();
  assert.equal(popup.url(), external);
  await page.context().close();
});

test('the thumbnails panel navigates and loads its pictures only when shown', async () => {
  const url = book('panels', { count: 12 });
  const page = await open(url);
  await shown(page, [0]);
  assert.equal(server.requests.filter((r) => r.startsWith('/panels/files/thumb/')).length, 0);
  await page.click('button.lm-thumbnails');
  assert.equal(await page.locator('.lm-panel-thumbnails').isVisible(), true);
  await page.waitForFunction(() => [...document.querySelectorAll('.lm-thumb img')].slice(0, 4).every((i) => i.complete && i.naturalWidth > 0));
  await screenshot(page, 'desktop-thumbnails');
  await page.click('.lm-thumb:nth-child(6)');
  await shown(page, [5, 6]);
  assert.equal(await page.locator('.lm-thumb[aria-current="page"]').count(), 2);
  await page.keyboard.press('Escape');
  assert.equal(await page.locator('.lm-panel-thumbnails').isVisible(), false);
  await page.context().close();
});

test('zoom enlarges the book, a drag pans it and Escape returns', async () => {
  const page = await open(book('zoom', { count: 6 }));
  await shown(page, [0]);
  await page.click('button.lm-zoomIn');
  const transform = () => page.locator('.lm-zoom-layer').evaluate((e) => e.style.transform);
  assert.match(await transform(), /scale\(1\.5\)/);
  const before = await transform();
  await page.mouse.move(700, 400);
  await page.mouse.down();
  await page.mouse.move(600, 300, { steps: 5 });
  await page.mouse.up();
  assert.notEqual(await transform(), before);
  assert.deepEqual(await page.evaluate(() => globalThis.leafmillPlayer.visiblePages()), [0], 'panning does not turn pages');
  await screenshot(page, 'desktop-zoomed');
  await page.keyboard.press('Escape');
  assert.equal(await transform(), '');
  await page.context().close();
});

test('right-to-left books open on the left and turn towards the right', async () => {
  const page = await open(book('rtl', { count: 7, settings: { rightToLeft: 'YES' } }));
  await shown(page, [0]);
  assert.equal(await page.locator('.lm-app').getAttribute('dir'), 'rtl');
  const cover = await page.locator('.stf__block > .lm-page[data-page="0"]').boundingBox();
  assert.ok(cover.x + cover.width < 700, 'the cover stands left of the spine');
  await page.keyboard.press('ArrowLeft');
  await shown(page, [1, 2]);
  const first = await page.locator('.stf__block > .lm-page[data-page="1"]').boundingBox();
  const second = await page.locator('.stf__block > .lm-page[data-page="2"]').boundingBox();
  assert.ok(first.x > second.x, 'the earlier page is on the right');
  await page.click('button.lm-next');
  await shown(page, [3, 4]);
  await screenshot(page, 'desktop-rtl');
  await page.context().close();
});

test('interface texts come from the chosen languages and can be switched', async () => {
  const page = await open(book('languages', {
    count: 4,
    languages: [{ name: 'English', texts: { btnNextPage: 'Next page' } }, { name: 'French', texts: { btnNextPage: 'Page suivante', lblThumbnails: 'Vignettes' } }],
  }));
  await shown(page, [0]);
  assert.equal(await page.locator('button.lm-next').getAttribute('aria-label'), 'Next page');
  await page.selectOption('select.lm-language', 'French');
  assert.equal(await page.locator('button.lm-next').getAttribute('aria-label'), 'Page suivante');
  await page.click('button.lm-thumbnails');
  assert.equal(await page.locator('.lm-panel-thumbnails h2').textContent(), 'Vignettes');
  await page.context().close();
});

test('a phone-size screen shows single pages and turns them by swipe', async () => {
  const page = await open(book('phone', { count: 6 }), { width: 390, height: 844 }, { hasTouch: true, isMobile: true });
  await shown(page, [0]);
  assert.equal(await page.evaluate(() => globalThis.leafmillPlayer.pageFlip.getOrientation()), 'portrait');
  const box = await page.locator('.lm-book').boundingBox();
  const y = box.y + box.height / 2;
  const cdp = await page.context().newCDPSession(page);
  const touch = (type, x) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: type === 'touchEnd' ? [] : [{ x, y }] });
  await touch('touchStart', box.x + box.width * 0.85);
  for (const f of [0.7, 0.5, 0.3]) await touch('touchMove', box.x + box.width * f);
  await touch('touchEnd');
  await shown(page, [1]);
  assert.equal(await pageColorOnScreen(page, 1), pageColor(1));
  await screenshot(page, 'phone-page');
  await page.context().close();
});

test('from disk the page reads files/book.js and shows the pages', async () => {
  const folder = path.join(root, 'disk');
  makeBook(folder, { count: 6, settings: FAST });
  const page = await open(pathToFileURL(path.join(folder, 'index.html')).href);
  await shown(page, [0]);
  assert.equal(await pageColorOnScreen(page, 0), pageColor(0));
  await page.keyboard.press('ArrowRight');
  await shown(page, [1, 2]);
  await screenshot(page, 'desktop-from-disk');
  await page.context().close();
});

test('SWF pages show the bitmap inside the movie', async () => {
  const page = await open(book('swf', { count: 4, swf: true }));
  await shown(page, [0]);
  assert.equal(await pageColorOnScreen(page, 0), pageColor(0));
  await page.click('button.lm-next');
  await shown(page, [1, 2]);
  assert.equal(await pageColorOnScreen(page, 1), pageColor(1), 'a compressed movie');
  assert.match(await page.locator('.lm-page[data-page="1"] img').getAttribute('src'), /^blob:/);
  await page.context().close();
});

test('pages with an image beside their movie show the image, at the shape the book declares', async () => {
  const page = await open(book('twins', { count: 4, swf: true, imageTwins: true, pageSizes: [[600, 800], [900, 300], [300, 300], [600, 800]] }));
  await page.click('button.lm-next');
  await shown(page, [1, 2]);
  assert.equal(await pageColorOnScreen(page, 1), pageColor(1));
  for (const [index, ratio] of [[1, 3], [2, 1]]) {
    const box = await page.locator('.stf__block > .lm-page[data-page="' + index + '"] img').boundingBox();
    assert.ok(Math.abs(box.width / box.height / ratio - 1) < 0.02, 'page ' + (index + 1) + ' is ' + box.width + ' x ' + box.height);
  }
  assert.match(await page.locator('.lm-page[data-page="1"] img').getAttribute('src'), /files\/page\/1\.svg$/);
  assert.equal(pageRequests('/twins/').filter((r) => r.endsWith('.swf')).length, 0, 'no movie is fetched');
  await page.context().close();
});

test('a missing or damaged book says so', async () => {
  const missing = book('missing', { count: 2, bookFiles: false });
  let page = await open(missing);
  await page.waitForSelector('.lm-error');
  assert.match(await page.locator('.lm-error').textContent(), /files\/book\.bin was not found/);
  await page.context().close();

  const folder = path.join(root, 'damaged');
  makeBook(folder, { count: 2 });
  fs.writeFileSync(path.join(folder, 'files/book.bin'), 'not a book at all');
  fs.rmSync(path.join(folder, 'files/book.js'));
  page = await open(server.url + 'damaged/index.html');
  await page.waitForSelector('.lm-error');
  assert.match(await page.locator('.lm-error').textContent(), /damaged/);
  await screenshot(page, 'desktop-damaged');
  await page.context().close();
});

test('template settings shape the look: title, colours, logo, buttons, toolbar place, start page', async () => {
  const folder = path.join(root, 'look');
  makeBook(folder, { count: 8, settings: { ...FAST, bookTitle: 'Look book', backgroundColor: '0x112233', toolbarColor: '0x445566',
    toolbarIconColor: '0xff0000', showZoom: 'Hide', showShare: 'NO', showThumbnails: 'Show', toolbarPosition: 'Top', startPage: '4',
    logoFile: './files/extfiles/logoFile.svg', logoLink: 'https://example.org/' } });
  fs.mkdirSync(path.join(folder, 'files/extfiles'));
  fs.writeFileSync(path.join(folder, 'files/extfiles/logoFile.svg'), '<svg xmlns="http://www.w3.org/2000/svg" width="60" height="30"><rect width="60" height="30" fill="#ff0"/></svg>');
  const page = await open(server.url + 'look/index.html');
  await shown(page, [3, 4]);
  assert.equal(await page.locator('.lm-title').textContent(), 'Look book');
  assert.equal(await page.locator('.lm-app').evaluate((e) => getComputedStyle(e).backgroundColor), 'rgb(17, 34, 51)');
  assert.equal(await page.locator('.lm-toolbar').evaluate((e) => getComputedStyle(e).backgroundColor), 'rgb(68, 85, 102)');
  assert.equal(await page.locator('button.lm-next').evaluate((e) => getComputedStyle(e).color), 'rgb(255, 0, 0)');
  assert.equal(await page.locator('.lm-header a').getAttribute('href'), 'https://example.org/');
  assert.equal(await page.locator('button.lm-zoomIn').count(), 0);
  assert.equal(await page.locator('button.lm-share').count(), 0);
  const toolbar = await page.locator('.lm-toolbar').boundingBox(), stage = await page.locator('.lm-stage').boundingBox();
  assert.ok(toolbar.y < stage.y, 'the toolbar sits on top');
  for (const label of await page.locator('.lm-toolbar button').evaluateAll((b) => b.map((x) => x.getAttribute('aria-label')))) assert.ok(label);
  await screenshot(page, 'desktop-look');
  await page.context().close();
});

test('auto flip turns the pages by itself until paused', async () => {
  const page = await open(book('autoflip', { count: 8, settings: { autoFlip: 'YES', autoFlipInterval: '1' } }));
  await shown(page, [1, 2]);
  assert.equal(await page.locator('button.lm-autoFlip').getAttribute('aria-label'), 'Pause');
  await page.click('button.lm-autoFlip');
  assert.equal(await page.locator('button.lm-autoFlip').getAttribute('aria-label'), 'Play');
  const now = await page.evaluate(() => globalThis.leafmillPlayer.visiblePages());
  await page.waitForTimeout(1500);
  assert.deepEqual(await page.evaluate(() => globalThis.leafmillPlayer.visiblePages()), now);
  await page.context().close();
});

test('a book without pages opens empty and its controls do nothing', async () => {
  const page = await open(book('empty', { count: 0 }));
  await page.waitForSelector('.lm-toolbar');
  await page.keyboard.press('ArrowRight');
  await page.click('button.lm-next');
  assert.equal(await page.locator('.lm-page-count').textContent(), '/ 0');
  assert.deepEqual(page.errors, []);
  await page.context().close();
});
