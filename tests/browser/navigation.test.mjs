// Finding one's way in a book: link and outline targets of a book made from part of a PDF, the
// outline tree of a long book, long titles and the one-row toolbar, keyboard paths over the page
// links, page turns reported to analytics.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { makeBook, bookBin } from './bookFixture.mjs';
import { writePdf } from './pdfMaker.mjs';
import { sharedBrowser, screenshot, leafmillCli } from './browserSupport.mjs';

const FAST = { flipDuration: '250' };
const shared = sharedBrowser('navigation');

function book(name, options = {}) {
  makeBook(path.join(shared.root, name), { ...options, settings: { ...FAST, ...options.settings } });
  return shared.server.url + name + '/';
}

async function open(url, viewport = { width: 1280, height: 800 }) {
  const page = await shared.browser.newPage({ viewport });
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  page.errors = errors;
  await page.goto(url);
  return page;
}

const shown = (page, pages) => page.waitForFunction((want) => JSON.stringify(globalThis.leafmillPlayer?.visiblePages()) === want
  && globalThis.leafmillPlayer.pageFlip.getState() === 'read', JSON.stringify(pages));

const box = (y) => ({ x: 0.1, y, width: 0.6, height: 0.1 });

const cli = leafmillCli();

test('a book published from PDF pages 3 to 9 reaches PDF page 5 and draws no link to pages 1 and 12', { skip: !cli && 'leafmill-cli is not built' }, async () => {
  const links = [1, 5, 12].map((page, i) => ({ x: 72, y: 700 - i * 100, width: 300, height: 40, page }));
  const pages = Array.from({ length: 12 }, (_, i) => ({ width: 595, height: 842, text: 'PDF page ' + (i + 1), links: i === 2 ? links : [] }));
  const outline = [1, 5, 12].map((page) => ({ title: 'To ' + page, page }));
  const pdf = writePdf(path.join(shared.root, 'twelve.pdf'), { pages, outline });
  execFileSync(cli, ['publish', pdf, '-o', path.join(shared.root, 'part'), '--pages', '3-9', '--links', '--bookmarks', '--mobile', '--quiet',
    '--set', 'flipDuration=250']);
  const page = await open(shared.server.url + 'part/index.html');
  await shown(page, [0]);
  assert.equal(await page.locator('.lm-page[data-page="0"] a[data-goto]').count(), 1);
  await page.click('.lm-page[data-page="0"] a[data-goto]');
  await shown(page, [1, 2]);
  await page.click('button.lm-outline');
  const rows = page.locator('.lm-tree-row');
  assert.deepEqual(await rows.evaluateAll((all) => all.map((r) => r.getAttribute('aria-disabled'))), ['true', null, 'true']);
  await rows.last().click({ force: true });
  await page.waitForTimeout(400);
  assert.deepEqual(await page.evaluate(() => globalThis.leafmillPlayer.visiblePages()), [1, 2], 'an entry to a missing page goes nowhere');
  assert.deepEqual(page.errors, []);
  await page.close();

  const phone = await open(shared.server.url + 'part/mobile/index.html', { width: 390, height: 844 });
  await phone.waitForSelector('.lm-m-page[data-page="0"]:not([hidden]) img[src]');
  assert.equal(await phone.locator('.lm-m-page[data-page="0"] a[data-goto]').count(), 1);
  await phone.click('.lm-m-page[data-page="0"] a[data-goto]');
  await phone.waitForSelector('.lm-m-page[data-page="2"]:not([hidden])');
  await phone.close();
});

test('a description whose texts hold the tags of its links and outline still reads whole', async () => {
  const folder = path.join(shared.root, 'tags');
  const { xml } = makeBook(folder, { count: 4, settings: { ...FAST, bookTitle: 'TITLE' },
    links: { 1: [{ page: 3, ...box(0.1) }] }, outline: [{ caption: 'Three', page: 3 }] });
  const title = 'Tags </ols> <pagesAnnos> <ols>';
  fs.rmSync(path.join(folder, 'files/book.js'));
  fs.writeFileSync(path.join(folder, 'files/book.bin'), bookBin(xml.replace('TITLE', '<![CDATA[' + title + ']]>')));
  const page = await open(shared.server.url + 'tags/index.html');
  await shown(page, [0]);
  assert.equal(await page.locator('.lm-title').textContent(), title);
  await page.click('.lm-page[data-page="0"] a');
  await shown(page, [1, 2]);
  assert.equal(await page.evaluate(() => globalThis.leafmillPlayer.book.outline.length), 1);
  await page.close();
});

// Chapters with two sections each, down to the fifth level, spread over the pages in order.
function longOutline(pages, chapters = 12) {
  const make = (level, count, prefix) => Array.from({ length: count }, (_, i) => ({
    caption: 'Entry ' + prefix + (i + 1), items: level < 5 ? make(level + 1, 2, prefix + (i + 1) + '.') : [],
  }));
  const outline = make(1, chapters, '');
  const all = [];
  const walk = (entries) => entries.forEach((e) => { all.push(e); walk(e.items); });
  walk(outline);
  all.forEach((entry, i) => { entry.page = 1 + Math.floor((i * pages) / all.length); });
  return { outline, count: all.length };
}

test('a long outline is a tree: first level shown, the current section opened and in view, keys move and open', async () => {
  const { outline, count } = longOutline(40);
  assert.ok(count > 350);
  const page = await open(book('tree', { count: 40, outline }) + 'index.html#p=40', { width: 1280, height: 700 });
  await shown(page, [39]);
  await page.click('button.lm-outline');
  const current = page.locator('.lm-tree-row[aria-current="location"]');
  assert.equal(await current.textContent(), 'Entry 12.2.2.2.2');
  assert.equal(await current.getAttribute('aria-level'), '5');
  assert.equal(await page.evaluate(() => document.activeElement.textContent), 'Entry 12.2.2.2.2', 'the current entry takes the focus');
  const panel = await page.locator('.lm-panel-outline .lm-panel-body').boundingBox();
  const row = await current.boundingBox();
  assert.ok(row.y >= panel.y && row.y + row.height <= panel.y + panel.height, 'the current entry is scrolled into view');
  assert.equal(await page.locator('.lm-tree-row:visible').count(), 12 + 4 * 2);
  await screenshot(page, 'outline-tree');

  const focused = () => page.evaluate(() => document.activeElement.textContent);
  await page.keyboard.press('Home');
  assert.equal(await focused(), 'Entry 1');
  await page.keyboard.press('ArrowRight');
  assert.equal(await page.locator('.lm-tree-row', { hasText: 'Entry 1' }).first().getAttribute('aria-expanded'), 'true');
  for (const key of ['ArrowRight', 'ArrowRight', 'ArrowDown']) await page.keyboard.press(key);
  assert.equal(await focused(), 'Entry 1.1.1');
  await page.keyboard.press('ArrowLeft');
  assert.equal(await focused(), 'Entry 1.1');
  await page.keyboard.press('ArrowLeft');
  assert.equal(await page.locator('.lm-tree-row:visible', { hasText: 'Entry 1.1.1' }).count(), 0, 'Left closes an open entry');
  await page.keyboard.press('ArrowDown');
  assert.equal(await focused(), 'Entry 1.2');
  await page.keyboard.press('Enter');
  await shown(page, [1, 2]);
  assert.equal(await page.locator('.lm-panel-outline').isVisible(), true);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('a 400-character title is cut short and leaves the pages and a one-row toolbar on show', async () => {
  const title = 'A title that goes on and on '.repeat(15).slice(0, 399) + '.';
  const url = book('title', { count: 6, settings: { bookTitle: title, showDownload: 'YES', downloadURL: 'https://example.org/b.pdf', autoFlip: 'NO' } });
  for (const viewport of [{ width: 1280, height: 800 }, { width: 390, height: 844 }]) {
    const page = await open(url + 'index.html', viewport);
    await shown(page, [0]);
    const heading = page.locator('.lm-title');
    assert.equal(await heading.getAttribute('title'), title);
    assert.ok(await heading.evaluate((h) => h.scrollWidth > h.clientWidth), 'the title is cut');
    for (const part of ['.lm-book', '.lm-toolbar', '.lm-header']) {
      const { x, y, width, height } = await page.locator(part).boundingBox();
      assert.ok(x >= 0 && y >= 0 && width > 0 && x + width <= viewport.width + 1 && y + height <= viewport.height + 1, part + ' is on screen');
    }
    assert.ok((await page.locator('.lm-toolbar').boundingBox()).height < 60, 'one row');
    if (viewport.width < 500) {
      assert.equal(await page.locator('.lm-more').isVisible(), true);
      await page.click('.lm-more');
      await screenshot(page, 'phone-toolbar-menu');
      assert.ok(await page.locator('.lm-more-menu button:visible').count() > 0);
      assert.equal(await page.evaluate(() => document.activeElement.closest('.lm-more-menu') !== null), true, 'the menu takes the focus');
      await page.keyboard.press('Escape');
      assert.equal(await page.locator('.lm-more-menu').isVisible(), false);
      assert.equal(await page.evaluate(() => document.activeElement.classList.contains('lm-more')), true);
    } else {
      assert.equal(await page.locator('.lm-more').isVisible(), false);
    }
    await page.close();
  }
});

test('a skip link leads past the page links to the toolbar, and a focused page link is clearly marked', async () => {
  const links = Array.from({ length: 6 }, (_, i) => ({ page: 3, ...box(0.1 + i * 0.12) }));
  const page = await open(book('skip', { count: 4, links: { 2: links, 3: links } }) + 'index.html#p=2');
  await shown(page, [1, 2]);
  await page.keyboard.press('Tab');
  assert.equal(await page.evaluate(() => document.activeElement.className), 'lm-skip');
  assert.ok((await page.locator('.lm-skip').boundingBox()).width > 20, 'the skip link shows when focused');
  await page.keyboard.press('Tab');
  const mark = await page.evaluate(() => [document.activeElement.className, getComputedStyle(document.activeElement).boxShadow]);
  assert.equal(mark[0], 'lm-link');
  assert.match(mark[1], /inset/, 'a focus ring, not a faint tint');
  await screenshot(page, 'focused-link');
  await page.keyboard.press('Shift+Tab');
  await page.keyboard.press('Enter');
  assert.equal(await page.evaluate(() => document.activeElement.closest('.lm-toolbar') !== null), true);
  await page.close();
});

test('with an analytics ID every page on show is reported with its number', async () => {
  const folder = path.join(shared.root, 'analytics');
  makeBook(folder, { count: 8, settings: FAST });
  const script = fs.readFileSync(new URL('../../resources/AppFiles/TmplData/fbOtherScript.txt', import.meta.url), 'utf8').split('@{}').join('G-TEST1');
  const html = fs.readFileSync(path.join(folder, 'index.html'), 'utf8');
  fs.writeFileSync(path.join(folder, 'index.html'), html.replace('</body>', () => script + '</body>'));
  const page = await shared.browser.newPage({ viewport: { width: 1280, height: 800 } });
  await page.route(/googletagmanager/, (route) => route.abort());
  await page.goto(shared.server.url + 'analytics/index.html');
  await shown(page, [0]);
  await page.click('button.lm-next');
  await shown(page, [1, 2]);
  await page.click('button.lm-last');
  await shown(page, [7]);
  const events = await page.evaluate(() => globalThis.dataLayer.filter((a) => a[0] === 'event').map((a) => [a[1], a[2].page_number]));
  assert.deepEqual(events, [['page_turn', 1], ['page_turn', 2], ['page_turn', 8]]);
  await page.close();
});
