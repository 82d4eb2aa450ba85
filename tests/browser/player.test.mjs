// The template player and the preview page on hand-made books: reading, turning, lazy loading,
// links, panels, languages, zoom, analytics, the outline tree, long titles, keyboard paths,
// the look settings with right-to-left and unreadable books.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { makeBook, bookBin, pageColor, writePreview } from './bookFixture.mjs';
import { sharedBrowser, shown, pageColorAt, screenshot, DESKTOP, PHONE } from './browserSupport.mjs';

const shared = sharedBrowser('player');
const book = (name, options) => makeBook(path.join(shared.root, name), options) && shared.server.url + name + '/index.html';
const requested = (prefix) => shared.server.requests.filter((r) => r.startsWith(prefix));
const place = (y) => ({ x: 0.1, y, width: 0.6, height: 0.1 });
const focused = (page) => page.evaluate(() => document.activeElement.textContent);
const box = (page, index) => page.locator('.stf__block > .lm-page[data-page="' + index + '"]').boundingBox();

test('a long book over http: few pages fetched, keys, buttons, page field, links, thumbnails, languages, zoom, analytics', async () => {
  const external = shared.server.url + 'outside.html';
  fs.writeFileSync(path.join(shared.root, 'outside.html'), '<title>outside</title>');
  const url = book('main', { count: 300, settings: { linkOpenedWindow: '_blank' },
    links: { 2: [{ page: 7, ...place(0.1) }, { url: external, ...place(0.4) }] },
    languages: [{ name: 'English', texts: {} }, { name: 'French', texts: { btnNextPage: 'Page suivante', lblThumbnails: 'Vignettes' } }] });
  const html = path.join(shared.root, 'main/index.html');
  const analytics = fs.readFileSync(new URL('../../resources/AppFiles/TmplData/fbOtherScript.txt', import.meta.url), 'utf8').split('@{}').join('G-TEST1');
  fs.writeFileSync(html, fs.readFileSync(html, 'utf8').replace('</body>', () => analytics + '</body>'));
  await shared.visit(url, DESKTOP, async (page) => {
    await shown(page, [0]);
    assert.equal(await pageColorAt(page, 0), pageColor(0));
    await page.click('button.lm-next');
    await shown(page, [1, 2]);
    await screenshot(page, 'desktop-spread');
    // A jump asked for while a page turns lands once the turn ends.
    await page.evaluate(() => { globalThis.leafmillPlayer.next(); globalThis.leafmillPlayer.goTo(9); });
    await shown(page, [9, 10]);
    await page.evaluate(() => globalThis.leafmillPlayer.goTo(1, false));
    await shown(page, [1, 2]);

    const links = '.stf__block > .lm-page[data-page="1"] a';
    const [popup] = await Promise.all([page.context().waitForEvent('page'), page.click(links + '[target="_blank"]')]);
    await popup.waitForLoadState();
    assert.equal(popup.url(), external);
    await popup.close();
    await page.click(links + '[data-goto]');
    await shown(page, [5, 6]);
    for (const [act, pages] of [['ArrowRight', [7, 8]], ['ArrowLeft', [5, 6]], ['button.lm-previous', [3, 4]], ['button.lm-first', [0]]]) {
      await (act.startsWith('button') ? page.click(act) : page.keyboard.press(act));
      await shown(page, pages);
    }
    await page.fill('.lm-page-input', '8');
    await page.press('.lm-page-input', 'Enter');
    await shown(page, [7, 8]);
    assert.match(page.url(), /#p=8$/);

    assert.equal(requested('/main/files/thumb/').length, 0, 'thumbnails wait for their panel');
    await page.selectOption('select.lm-language', 'French');
    assert.equal(await page.locator('button.lm-next').getAttribute('aria-label'), 'Page suivante');
    await page.click('button.lm-thumbnails');
    assert.equal(await page.locator('.lm-panel-thumbnails h2').textContent(), 'Vignettes');
    await page.waitForFunction(() => [...document.querySelectorAll('.lm-thumb img')].slice(0, 4).every((i) => i.complete && i.naturalWidth > 0));
    await page.click('.lm-thumb:nth-child(6)');
    await shown(page, [5, 6]);
    assert.equal(await page.locator('.lm-thumb[aria-current="page"]').count(), 2);
    await page.keyboard.press('Escape');
    await page.locator('.lm-panel-thumbnails').waitFor({ state: 'hidden' });

    const plain = await box(page, 5);
    await page.click('button.lm-zoomIn');
    const zoomed = await box(page, 5);
    assert.ok(zoomed.width > plain.width * 1.2, 'zoom enlarges the page');
    await page.mouse.move(700, 400);
    await page.mouse.down();
    await page.mouse.move(600, 300, { steps: 5 });
    await page.mouse.up();
    assert.notEqual((await box(page, 5)).x, zoomed.x, 'a drag pans');
    await shown(page, [5, 6]);
    await page.keyboard.press('Escape');
    assert.ok(Math.abs((await box(page, 5)).width - plain.width) < 1, 'Escape returns');

    await page.keyboard.press('End');
    await shown(page, [299]);
    assert.equal(await pageColorAt(page, 299), pageColor(299));
    assert.equal(await page.locator('button.lm-next').isDisabled(), true);
    assert.ok(requested('/main/files/page/').length <= 40, 'only pages near those shown are fetched: ' + requested('/main/files/page/').length);
    assert.equal(requested('/main/files/book.bin').length, 1, 'the request the page makes early serves the player');
    const events = await page.evaluate(() => globalThis.dataLayer.filter((a) => a[0] === 'event').map((a) => [a[1], a[2].page_number]));
    assert.deepEqual([...events.slice(0, 2), events.at(-1)], [['page_turn', 1], ['page_turn', 2], ['page_turn', 300]]);
  });
});

test('SWF pages without pictures beside them: from disk the plain and compressed movies\' pictures show at the page the address names', async () => {
  makeBook(path.join(shared.root, 'swf'), { count: 4, swf: true });
  await shared.visit(path.join(shared.root, 'swf/index.html') + '#p=2', DESKTOP, async (page) => {
    await shown(page, [1, 2]);
    assert.deepEqual([await pageColorAt(page, 1), await pageColorAt(page, 2)], [pageColor(1), pageColor(2)], 'compressed and plain movies');
  });
});

test('template settings: title, logo link, hidden buttons, toolbar on top, start page, auto flip until paused, right to left', async () => {
  const folder = path.join(shared.root, 'look');
  makeBook(folder, { count: 12, settings: { bookTitle: 'Look book', showZoom: 'Hide', showShare: 'NO', toolbarPosition: 'Top', startPage: '4', rightToLeft: 'YES',
    autoFlip: 'YES', autoFlipInterval: '1', logoFile: './files/extfiles/logoFile.svg', logoLink: 'https://example.org/' } });
  fs.mkdirSync(path.join(folder, 'files/extfiles'));
  fs.writeFileSync(path.join(folder, 'files/extfiles/logoFile.svg'), '<svg xmlns="http://www.w3.org/2000/svg" width="60" height="30"><rect width="60" height="30" fill="#ff0"/></svg>');
  // The page's interval timers (the auto flip's is the only one) run when the test ticks them:
  // a tick runs every live timer and answers their periods.
  const manualIntervals = (page) => page.addInitScript(() => {
    const live = new Map();
    let last = 0;
    globalThis.setInterval = (run, ms) => live.set(++last, { run, ms }) && last;
    globalThis.clearInterval = (id) => live.delete(id);
    globalThis.tickIntervals = () => [...live.values()].map(({ run, ms }) => (run(), ms));
  });
  await shared.visit(shared.server.url + 'look/index.html', DESKTOP, async (page) => {
    await shown(page, [3, 4]);
    assert.equal(await page.locator('.lm-title').textContent(), 'Look book');
    assert.equal(await page.locator('.lm-header a').getAttribute('href'), 'https://example.org/');
    assert.equal(await page.locator('button.lm-zoomIn, button.lm-share').count(), 0);
    assert.ok((await page.locator('.lm-toolbar').boundingBox()).y < (await page.locator('.lm-stage').boundingBox()).y, 'the toolbar sits on top');
    for (const label of await page.locator('.lm-toolbar button').evaluateAll((b) => b.map((x) => x.getAttribute('aria-label')))) assert.ok(label);
    await screenshot(page, 'desktop-look');
    const tick = () => page.evaluate(() => globalThis.tickIntervals());
    assert.deepEqual(await tick(), [1000], 'the book turns by itself every second');
    await shown(page, [5, 6]);
    await page.click('button.lm-autoFlip');
    assert.deepEqual(await tick(), [], 'paused');
    assert.equal(await page.locator('button.lm-autoFlip').getAttribute('aria-pressed'), 'false');
    await page.keyboard.press('Home');
    await shown(page, [0]);
    const cover = await box(page, 0);
    assert.ok(cover.x + cover.width < 700, 'the cover stands left of the spine');
    await page.keyboard.press('ArrowLeft');
    await shown(page, [1, 2]);
    assert.ok((await box(page, 1)).x > (await box(page, 2)).x, 'the earlier page is on the right');
  }, manualIntervals);
});

test('missing, damaged and empty books say so; a title holding the tags of links and outline reads whole', async () => {
  makeBook(path.join(shared.root, 'missing'), { count: 2, bookFiles: false });
  makeBook(path.join(shared.root, 'damaged'), { count: 2, bin: () => 'not a book at all' });
  for (const [name, message] of [['missing', /files\/book\.bin was not found/], ['damaged', /damaged/]]) {
    await shared.visit(shared.server.url + name + '/index.html', DESKTOP, async (page) => assert.match(await page.locator('.lm-error').textContent(), message));
  }
  await shared.visit(book('empty', { count: 0 }), DESKTOP, async (page) => {
    await page.waitForSelector('.lm-toolbar');
    await page.keyboard.press('ArrowRight');
    await page.click('button.lm-next');
    assert.equal(await page.locator('.lm-page-count').textContent(), '/ 0');
  });

  const title = 'Tags </ols> <pagesAnnos> <ols>';
  await shared.visit(book('tags', { count: 4, settings: { bookTitle: 'TITLE' }, links: { 1: [{ page: 3, ...place(0.1) }] },
    outline: [{ caption: 'Three', page: 3 }], bin: (xml) => bookBin(xml.replace('TITLE', '<![CDATA[' + title + ']]>')) }), DESKTOP, async (page) => {
    await shown(page, [0]);
    assert.equal(await page.locator('.lm-title').textContent(), title);
    await page.click('.lm-page[data-page="0"] a');
    await shown(page, [1, 2]);
    assert.equal(await page.evaluate(() => globalThis.leafmillPlayer.book.outline.length), 1);
  });
});

// Twelve chapters of two sections each, down to the fifth level, spread over the pages in order.
function longOutline(pages) {
  const all = [];
  const make = (level, count, prefix) => Array.from({ length: count }, (_, i) => {
    const entry = { caption: 'Entry ' + prefix + (i + 1) };
    all.push(entry);
    entry.items = level < 5 ? make(level + 1, 2, prefix + (i + 1) + '.') : [];
    return entry;
  });
  const outline = make(1, 12, '');
  all.forEach((entry, i) => { entry.page = 1 + Math.floor((i * pages) / all.length); });
  return outline;
}

test('a long outline is a tree: first level shown, the current section opened, focused and in view, keys move and open', async () => {
  await shared.visit(book('tree', { count: 40, outline: longOutline(40) }) + '#p=40', { viewport: { width: 1280, height: 700 } }, async (page) => {
    await shown(page, [39]);
    await page.click('button.lm-outline');
    const current = page.locator('.lm-tree-row[aria-current="location"]');
    assert.equal(await focused(page), 'Entry 12.2.2.2.2');
    assert.equal(await current.textContent(), 'Entry 12.2.2.2.2');
    const panel = await page.locator('.lm-panel-outline .lm-panel-body').boundingBox();
    const row = await current.boundingBox();
    assert.ok(row.y >= panel.y && row.y + row.height <= panel.y + panel.height, 'the current entry is scrolled into view');
    assert.equal(await page.locator('.lm-tree-row:visible').count(), 12 + 4 * 2);
    await screenshot(page, 'outline-tree');
    for (const [key, want] of [['Home', 'Entry 1'], ['ArrowRight', 'Entry 1'], ['ArrowRight', 'Entry 1.1'], ['ArrowRight', 'Entry 1.1'],
      ['ArrowDown', 'Entry 1.1.1'], ['ArrowLeft', 'Entry 1.1'], ['ArrowLeft', 'Entry 1.1'], ['ArrowDown', 'Entry 1.2']]) {
      await page.keyboard.press(key);
      assert.equal(await focused(page), want, key);
    }
    assert.equal(await page.locator('.lm-tree-row:visible', { hasText: 'Entry 1.1.1' }).count(), 0, 'Left closes an open entry');
    await page.keyboard.press('Enter');
    await shown(page, [1, 2]);
  });
});

test('a 400-character title is cut short and leaves the pages and a one-row toolbar on show; keyboard paths skip the page links', async () => {
  const title = 'A title that goes on and on '.repeat(15).slice(0, 399) + '.';
  const url = book('title', { count: 6, settings: { bookTitle: title, showDownload: 'YES', downloadURL: 'https://example.org/b.pdf' },
    links: { 1: Array.from({ length: 6 }, (_, i) => ({ page: 3, ...place(0.1 + i * 0.12) })) } });
  for (const device of [DESKTOP, PHONE]) {
    await shared.visit(url, device, async (page) => {
      await shown(page, [0]);
      assert.equal(await page.locator('.lm-title').getAttribute('title'), title);
      assert.ok(await page.locator('.lm-title').evaluate((h) => h.scrollWidth > h.clientWidth), 'the title is cut');
      for (const part of ['.lm-book', '.lm-toolbar', '.lm-header']) {
        const { x, y, width, height } = await page.locator(part).boundingBox();
        assert.ok(x >= 0 && y >= 0 && width > 0 && x + width <= device.viewport.width + 1 && y + height <= device.viewport.height + 1, part + ' is on screen');
      }
      assert.ok((await page.locator('.lm-toolbar').boundingBox()).height < 60, 'one row');
      const focusedIn = (selector) => page.evaluate((s) => document.activeElement.closest(s) !== null, selector);
      if (device.isMobile) {
        await page.click('.lm-more');
        await screenshot(page, 'phone-toolbar-menu');
        assert.ok(await focusedIn('.lm-more-menu'), 'the menu takes the focus');
        await page.keyboard.press('Escape');
        await page.locator('.lm-more-menu').waitFor({ state: 'hidden' });
        assert.ok(await focusedIn('.lm-more'));
      } else {
        assert.equal(await page.locator('.lm-more').isVisible(), false);
        await page.keyboard.press('Tab');
        assert.ok(await focusedIn('.lm-skip'));
        await page.keyboard.press('Tab');
        assert.ok(await focusedIn('.lm-link'));
        await screenshot(page, 'focused-link');
        await page.keyboard.press('Shift+Tab');
        await page.keyboard.press('Enter');
        assert.ok(await focusedIn('.lm-toolbar'), 'the skip link leads to the toolbar');
      }
    });
  }
});

test('the preview page shows its folder\'s book, snaps it as a JPEG over http and from disk, and reopens where the reader was', async () => {
  const folder = path.join(shared.root, 'preview');
  makeBook(folder, { count: 6, needExt: true });
  writePreview(folder);
  const sizes = [];
  for (const url of [shared.server.url + 'preview/index.html', path.join(folder, 'index.html')]) {
    await shared.visit(url, { viewport: { width: 1024, height: 700 } }, async (page) => {
      assert.equal(await pageColorAt(page, 0), pageColor(0));
      assert.equal(await page.locator('.lm-title').textContent(), 'Fixture book');
      const jpeg = await page.evaluate(() => globalThis.snapCurrentTmpl('/tmp/ignored.jpg'));
      const bytes = Buffer.from(jpeg, 'base64');
      assert.deepEqual([...bytes.subarray(0, 2), ...bytes.subarray(-2)], [0xff, 0xd8, 0xff, 0xd9]);
      sizes.push(await page.evaluate(async (data) => {
        const bitmap = await createImageBitmap(await (await fetch('data:image/jpeg;base64,' + data)).blob());
        return [bitmap.width, bitmap.height];
      }, jpeg));
      if (url.startsWith('/')) return;
      await screenshot(page, 'preview');
      await page.evaluate(() => globalThis.leafmillPlayer.goTo(3, false));
      await shown(page, [3, 4]);
      await page.goto(url);
      await shown(page, [3, 4]);
    });
  }
  assert.ok(sizes[0][0] > 100 && sizes[0][1] > 50, 'size ' + sizes[0]);
  assert.deepEqual(sizes[1], sizes[0]);
});
