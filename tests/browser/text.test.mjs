// The pages' text in every player: words over the pictures (selecting, copying, screen readers),
// search with its deep link, the zoom tier, and printing.
import { test, before } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { makeBook, pageWords, writePreview } from './bookFixture.mjs';
import { sharedBrowser, shown, mobileShown, screenshot, ARTEFACTS, DESKTOP, PHONE, needsCli } from './browserSupport.mjs';
import { publishTextBook, pdftotextCounts, playerSearch } from './textBook.mjs';
import { findInPage, foldQuery } from '../../web/src/text/pageText.js';

const shared = sharedBrowser('text');
const LINES = (i) => ['Page ' + (i + 1) + ' of the fixture', 'The quick brown fox jumps over', 'Café crème and CAFE noir',
  i % 4 === 2 ? 'zebra crossing here' : 'plain words again'];
const COUNT = 12;

before(() => {
  makeBook(path.join(shared.root, 'book'), { count: COUNT, text: LINES, mobile: ['Flip'], settings: { showPrint: 'YES' } });
  makeBook(path.join(shared.root, 'slide'), { count: COUNT, text: LINES, mobile: ['Slide'] });
  makeBook(path.join(shared.root, 'preview'), { count: COUNT, text: LINES });
  writePreview(path.join(shared.root, 'preview'));
  makeBook(path.join(shared.root, 'tier'), { count: 4, zoomTier: [600, 1200], mobile: ['Flip'] });
});

// What search matches, given back as the characters on the page: case, accents and compatibility
// forms (ligatures, full-width and mathematical letters, superscripts) do not count.
test('search sees through case, accents and ligatures and marks whole characters', () => {
  const text = 'Café ﬁnd ＢＯＯＫ x² 𝐀𝐁c';
  const hits = (query) => findInPage({ text }, foldQuery(query)).map(({ start, end }) => text.slice(start, end));
  assert.deepEqual(hits('CAFE'), ['Café']);
  assert.deepEqual(hits('find'), ['ﬁnd']);
  assert.deepEqual(hits('i'), ['ﬁ'], 'a hit inside a ligature marks the ligature');
  assert.deepEqual(hits('nd book'), ['nd ＢＯＯＫ']);
  assert.deepEqual(hits('x2'), ['x²']);
  assert.deepEqual(hits('abc'), ['𝐀𝐁c']);
  assert.deepEqual(hits('ab'), ['𝐀𝐁'], 'a letter beyond the 16-bit range is marked whole');
});

// Each player shows page 2's words on its picture and gives them to screen readers in order.
const PLAYERS = [
  ['desktop from disk', () => path.join(shared.root, 'book/index.html') + '#p=2', DESKTOP, '.lm-page[data-page="1"]'],
  ['preview', () => shared.server.url + 'preview/index.html#p=2', DESKTOP, '.lm-page[data-page="1"]'],
  ['mobile Flip', () => shared.server.url + 'book/mobile/index.html#p=2', PHONE, '.lm-m-page[data-page="1"]'],
  ['mobile Slide from disk', () => path.join(shared.root, 'slide/mobile/index.html') + '#p=2', PHONE, '.lm-m-page[data-page="1"]'],
];

for (const [name, url, device, pageSelector] of PLAYERS) {
  test('words lie on the page and are read in order: ' + name, async () => {
    await shared.visit(url(), device, async (page) => {
      await page.locator(pageSelector + ' .lm-word').first().waitFor({ state: 'visible' });
      // Where the words sit against the page's picture, as fractions of the picture.
      const places = await page.evaluate((sel) => [...document.querySelectorAll(sel + ' .lm-word')].map((span) => {
        const box = span.closest('.lm-text').getBoundingClientRect(), word = span.getBoundingClientRect();
        return [(word.x - box.x) / box.width, (word.y - box.y) / box.height, word.width / box.width, word.height / box.height];
      }), pageSelector);
      const expected = pageWords(LINES(1)).words.map((w) => [w.x, w.y, w.width, w.height]);
      assert.equal(places.length, expected.length);
      places.forEach((place, i) => place.forEach((v, k) => assert.ok(Math.abs(v - expected[i][k]) < 0.01, 'word ' + i + ': ' + place + ' against ' + expected[i])));
      assert.match(await page.locator(pageSelector + ' .lm-text').ariaSnapshot(), /Page 2 of the fixture The quick brown fox jumps over Café crème and CAFE noir/);
    });
  });
}

test('on the desktop book copying selected words yields them, search lists, marks and walks every hit, a range prints a sheet a page', async () => {
  const noDialog = (p) => p.addInitScript(() => { window.print = () => { globalThis.printed = true; }; });
  await shared.visit(shared.server.url + 'book/index.html', DESKTOP, async (page) => {
    await page.context().grantPermissions(['clipboard-read', 'clipboard-write']);
    const words = page.locator('.lm-page[data-page="0"] .lm-word');
    await words.nth(6).waitFor();
    const copy = async () => {
      await page.keyboard.press('Control+c');
      return page.evaluate(() => navigator.clipboard.readText());
    };
    await words.nth(6).dblclick();
    assert.equal(await copy(), 'quick');
    // A drag from "The" over the line's end into the next line keeps its line break.
    const from = await words.nth(5).boundingBox(), to = await words.nth(11).boundingBox();
    await page.mouse.move(from.x + 1, from.y + from.height / 2);
    await page.mouse.down();
    await page.mouse.move(to.x + to.width / 2, to.y + to.height / 2, { steps: 8 });
    await page.mouse.up();
    assert.match(await copy(), /^The quick brown fox jumps over\nCa/);
    await screenshot(page, 'text-selection');
    assert.deepEqual(await page.evaluate(() => globalThis.leafmillPlayer.visiblePages()), [0], 'a drag over words turns no page');

    await page.keyboard.press('Control+f');
    assert.ok(await page.evaluate(() => document.activeElement.matches('.lm-toolbar .lm-search-input')), 'Ctrl+F goes to the toolbar field');
    await page.locator('.lm-search-input').fill('CAFÉ');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => /Results: 24/.test(document.querySelector('.lm-search-status').textContent));
    assert.equal(await page.locator('.lm-search-hit').count(), 2 * COUNT);
    assert.match(await page.locator('.lm-search-hit').nth(2).innerText(), /^Page 2\n.*Café crème/);
    await shown(page, [0]);
    assert.equal(await page.locator('.lm-page[data-page="0"] .lm-hit').count(), 2);
    assert.equal(await page.locator('.lm-hit-current').count(), 1);
    for (const [keys, pages] of [[['Enter', 'Enter'], [1, 2]], [['Shift+Enter'], [0]], [['Shift+Enter', 'Shift+Enter'], [11]]]) {
      for (const key of keys) await page.keyboard.press(key);
      await shown(page, pages);
    }
    await screenshot(page, 'text-search');
    await page.keyboard.press('Escape');
    assert.equal(await page.evaluate(() => document.activeElement.dataset.action), 'search', 'the focus stays in the field');

    await page.locator('.lm-print').click();
    await page.locator('.lm-print-number').first().fill('3');
    await page.locator('.lm-print-number').nth(1).fill('5');
    await screenshot(page, 'text-print-dialog');
    await page.locator('.lm-print-go').click();
    await page.waitForFunction(() => globalThis.printed);
    await page.emulateMedia({ media: 'print' });
    const sheets = await page.locator('.lm-print-page').evaluateAll((imgs) => imgs.map((i) => [i.alt, i.getBoundingClientRect().height > 0]));
    assert.deepEqual(sheets, [['Page 3', true], ['Page 4', true], ['Page 5', true]]);
    assert.equal(await page.locator('.lm-app').isVisible(), false);
    await page.screenshot({ path: path.join(ARTEFACTS, 'text-print.png'), fullPage: true });
  }, noDialog);
  await shared.visit(shared.server.url + 'book/mobile/index.html', PHONE, async (page) => {
    await mobileShown(page, 0);
    await page.locator('.lm-m-search').click();
    await page.locator('.lm-search-input').fill('zebra');
    await page.keyboard.press('Enter');
    await mobileShown(page, 2);
    await page.locator('.lm-m-page[data-page="2"] .lm-hit-current').waitFor();
  });
  await shared.visit(shared.server.url + 'book/index.html', PHONE, async (page) => {
    await page.locator('.lm-more').tap();
    await page.locator('.lm-more-menu .lm-search-input').fill('zebra');
    await page.keyboard.press('Enter');
    await page.locator('.lm-more-menu').waitFor({ state: 'hidden' });
    await page.locator('.lm-search-hit').first().waitFor({ state: 'visible' });
    await screenshot(page, 'text-search-phone');
  });
});

// Waits until the picture shows the zoom tier; answers its pixels and the device pixels it covers.
async function tierPixels(page, selector) {
  await page.waitForFunction((s) => /large/.test(document.querySelector(s)?.currentSrc), selector);
  return page.locator(selector).evaluate(async (img) => {
    await img.decode();
    return [img.naturalWidth, img.getBoundingClientRect().width * devicePixelRatio];
  });
}

// The zoom tier comes only after the first page, and only where the screen needs its pixels.
test('zoom tier: none at device scale 1 and fit; enough pixels at zoom 2x, and for the small pictures of the phone page', async () => {
  for (const [file, device, selector] of [['index.html', DESKTOP, '.lm-page[data-page="0"] img'],
    ['mobile/index.html', PHONE, '.lm-m-page[data-page="0"] img']]) {
    await shared.visit(shared.server.url + 'tier/' + file, device, async (page) => {
      // The first page painted, settled and its picture loaded: the player has made its choice.
      await page.waitForFunction((s) => (globalThis.leafmillMobile?.painted || (globalThis.leafmillPlayer?.isPainted
        && globalThis.leafmillPlayer.pageFlip?.getState() === 'read')) && document.querySelector(s)?.complete, selector);
      if (!device.isMobile) {
        assert.doesNotMatch(await page.locator(selector).evaluate((i) => i.currentSrc), /large/);
        await page.evaluate(() => globalThis.leafmillPlayer.zoom.setScale(2));
      }
      const [natural, needed] = await tierPixels(page, selector);
      assert.ok(natural >= needed, file + ': ' + natural + ' image pixels for ' + needed + ' device pixels');
    });
  }
});

// A text manual through the command line: search counts as pdftotext reads the PDF, the address
// that opens at the first hit, and the zoom tier, which has twice the normal page's pixels: enough
// at device scale 2 and fit (2x zoom at scale 2 would ask for 4x).
test('a published text manual: search agrees with pdftotext, #search= opens at the first hit, the zoom tier is sharp at device scale 2', { skip: needsCli }, async () => {
  const root = path.join(shared.root, 'manual');
  publishTextBook(root, 40);
  const pages = [1, 20, 39];
  await shared.visit(shared.server.url + 'manual/book/index.html', { ...DESKTOP, deviceScaleFactor: 2 }, async (page) => {
    const [natural, needed] = await tierPixels(page, '.lm-page[data-page="0"] img');
    assert.ok(natural >= needed * 0.99, natural + ' image pixels for ' + needed + ' device pixels');
    const found = await playerSearch(page, 'café', pages);
    assert.deepEqual(found.counts, pdftotextCounts(path.join(root, 'manual.pdf'), pages, 'café'));
    const pageFiles = shared.server.requests.filter((url) => url.startsWith('/manual/book/files/text/'));
    assert.ok(pageFiles.length < 10, 'the search reads the search parts, not a file a page: ' + pageFiles.length);
  });
  await shared.visit(shared.server.url + 'manual/book/index.html#search=zurich', DESKTOP, async (page) => {
    await page.locator('.lm-hit-current').waitFor();
    const first = await page.evaluate(async () => (await globalThis.leafmillPlayer.textPart).search.hits[0].page);
    assert.ok(await page.evaluate((p) => globalThis.leafmillPlayer.visiblePages().includes(p), first));
  });
});
