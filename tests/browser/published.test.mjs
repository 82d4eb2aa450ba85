// Books that leafmill-cli publishes from generated PDFs, opened in the browser over http and from
// disk: pages of every size and rotation at their shape with their links on their marks, a book
// made from part of a PDF, the sample book in French with its outline and download, SWF pages.
import { test, before } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { writePdf, shownSize, shownPlace } from './pdfMaker.mjs';
import { sharedBrowser, cli, needsCli, publish, shown, mobileShown, pageColorAt, screenshot, pixel, DESKTOP, PHONE } from './browserSupport.mjs';

const shared = sharedBrowser('published');
const skip = needsCli;

const PAGES = [
  { width: 612, height: 792, color: '#c0392b' },
  { width: 1000, height: 200, color: '#27ae60' },
  { width: 50, height: 17, color: '#2980b9' },
  { width: 400, height: 400, color: '#8e44ad' },
  { width: 600, height: 400, rotate: 90, color: '#d35400' },
  { width: 500, height: 300, rotate: 270, cropBox: [20, 10, 480, 290], color: '#16a085' },
  { width: 300, height: 900, rotate: 180, color: '#2c3e50' },
];
// Each page carries a white mark off its centre, covered by a link to a page further on.
const MARK = '#ffffff';
PAGES.forEach((page, i) => {
  const [x0, y0, x1, y1] = page.cropBox ?? [0, 0, page.width, page.height];
  const mark = { x: x0 + (x1 - x0) * 0.55, y: y0 + (y1 - y0) * 0.1, width: (x1 - x0) * 0.3, height: (y1 - y0) * 0.3 };
  page.target = (i + 3) % PAGES.length;
  Object.assign(page, { text: 'Page ' + (i + 1), marks: [{ ...mark, color: MARK }], links: [{ ...mark, page: page.target + 1 }] });
  page.markCentre = shownPlace(page, mark.x + mark.width / 2, mark.y + mark.height / 2);
});

before(() => {
  if (skip) return;
  const pdf = writePdf(path.join(shared.root, 'shapes.pdf'), { pages: PAGES, title: 'Shapes' });
  for (const kind of ['Flip', 'Slide']) publish(pdf, path.join(shared.root, kind), '--title', 'Shapes', '--links', '--mobile', '--mobile-template', kind);
  execFileSync(cli, ['make-sample-pdf', path.join(shared.root, 'sample.pdf')]);
});

const near = (a, b) => [1, 3, 5].every((i) => Math.abs(parseInt(a.slice(i, i + 2), 16) - parseInt(b.slice(i, i + 2), 16)) < 40);

// Turning to page i and whether it is on show and settled, in the template player or the mobile page.
const goTo = (i) => (globalThis.leafmillPlayer ? globalThis.leafmillPlayer.goTo(i, false) : globalThis.leafmillMobile.show(i));
const shows = (i) => (globalThis.leafmillPlayer ? globalThis.leafmillPlayer.visiblePages().includes(i)
  && ['read', 'fold_corner'].includes(globalThis.leafmillPlayer.pageFlip.getState())
  : globalThis.leafmillMobile?.current === i && document.getAnimations().length === 0);
const picture = (mobile, i) => (mobile ? '.lm-m-page[data-page="' + i + '"]:not([hidden]) img'
  : '.stf__block > .lm-page[data-page="' + i + '"] img');

// The box of the picture once it has loaded, its links are there and it has stayed put for a frame
// (a turn without animation lays the pages out in the frame after it).
async function steadyBox(page, selector) {
  const box = await page.waitForFunction((sel) => {
    const img = document.querySelector(sel), last = globalThis.lastBox;
    const rect = img?.complete && img.naturalWidth > 0 && img.parentElement.querySelector('a') ? img.getBoundingClientRect().toJSON() : null;
    globalThis.lastBox = rect;
    return rect?.width > 0 && JSON.stringify(rect) === JSON.stringify(last) && rect;
  }, selector);
  return box.jsonValue();
}

for (const [name, kind, mobile, device] of [
  ['desktop player', 'Flip', false, DESKTOP], ['player on a phone', 'Flip', false, PHONE],
  ['Flip mobile page', 'Flip', true, PHONE], ['Slide mobile page', 'Slide', true, PHONE],
]) {
  test(name + ' from disk: every page keeps its shape and its link lands on its target', { skip }, async () => {
    await shared.visit(path.join(shared.root, kind, mobile ? 'mobile/index.html' : 'index.html'), device, async (page) => {
      let tapped = -Infinity;
      await page.waitForFunction(shows, 0);
      for (const [i, pdfPage] of PAGES.entries()) {
        if (!device.hasTouch) {
          // The pointer leaves the last mark, which may lie in a page corner, and the corner it folded lies flat again.
          const book = await page.locator('.lm-book').boundingBox();
          await page.mouse.move(book.x + book.width / 2, book.y + book.height / 2);
          await page.waitForFunction(() => [...document.querySelectorAll('.stf__block > .lm-page')]
            .every((p) => p.style.display === 'none' || !p.style.transform));
        }
        await page.evaluate(goTo, i);
        await page.waitForFunction(shows, i);
        const box = await steadyBox(page, picture(mobile, i));
        const want = shownSize(pdfPage);
        const aspect = box.width / box.height / (want.width / want.height);
        assert.ok(Math.abs(aspect - 1) < 0.02, 'page ' + (i + 1) + ' is shown ' + Math.round(box.width) + ' x ' + Math.round(box.height));
        const x = box.x + box.width * pdfPage.markCentre.x, y = box.y + box.height * pdfPage.markCentre.y;
        const seen = await pixel(page, Math.round(x), Math.round(y));
        assert.ok(near(seen, MARK), 'page ' + (i + 1) + ' shows its mark where the PDF puts it, not ' + seen);
        if (i === 1) await screenshot(page, 'shapes-' + name.replace(/ /g, '-'));
        // Taps apart in time, so that two of them do not make a double tap (which zooms).
        if (device.hasTouch) await page.waitForFunction((t) => performance.now() - t > 400, tapped);
        await (device.hasTouch ? page.touchscreen.tap(x, y) : page.mouse.click(x, y));
        tapped = await page.evaluate(() => performance.now());
        await page.waitForFunction(shows, pdfPage.target);
      }
    });
  });
}

test('a book published from PDF pages 3 to 9 reaches PDF page 5 and draws no link to pages 1 and 12', { skip }, async () => {
  const links = [1, 5, 12].map((page, i) => ({ x: 72, y: 700 - i * 100, width: 300, height: 40, page }));
  const pages = Array.from({ length: 12 }, (_, i) => ({ width: 595, height: 842, text: 'PDF page ' + (i + 1), links: i === 2 ? links : [] }));
  const pdf = writePdf(path.join(shared.root, 'twelve.pdf'), { pages, outline: [1, 5, 12].map((page) => ({ title: 'To ' + page, page })) });
  publish(pdf, path.join(shared.root, 'part'), '--pages', '3-9', '--links', '--bookmarks', '--mobile');
  await shared.visit(shared.server.url + 'part/index.html', DESKTOP, async (page) => {
    await shown(page, [0]);
    assert.equal(await page.locator('.lm-page[data-page="0"] a[data-goto]').count(), 1);
    await page.click('.lm-page[data-page="0"] a[data-goto]');
    await shown(page, [1, 2]);
    await page.click('button.lm-outline');
    const rows = page.locator('.lm-tree-row');
    assert.deepEqual(await rows.evaluateAll((all) => all.map((r) => r.getAttribute('aria-disabled'))), ['true', null, 'true']);
    await page.evaluate(() => globalThis.leafmillPlayer.goTo(0, false));
    await shown(page, [0]);
    await rows.last().click({ force: true });
    await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
    await shown(page, [0]);
    assert.equal(await page.evaluate(() => globalThis.leafmillPlayer.pageFlip.getState()), 'read', 'an entry to a missing page goes nowhere');
    await rows.nth(1).click();
    await shown(page, [1, 2]);
  });
  await shared.visit(shared.server.url + 'part/mobile/index.html', PHONE, async (phone) => {
    await mobileShown(phone, 0);
    assert.equal(await phone.locator('.lm-m-page[data-page="0"] a[data-goto]').count(), 1);
    await phone.click('.lm-m-page[data-page="0"] a[data-goto]');
    await mobileShown(phone, 2);
  });
});

// Some of three points of a page differ from white: the page shows its picture, not a blank.
async function notBlank(page, index) {
  const samples = [];
  for (const [fx, fy] of [[0.3, 0.2], [0.5, 0.5], [0.7, 0.8]]) samples.push(await pageColorAt(page, index, fx, fy));
  assert.ok(samples.some((c) => c !== '#ffffff'), 'page ' + (index + 1) + ' shows only ' + samples);
}

test('the sample book in French over http: pictures, outline, its own PDF to download; its mobile page reads its links script from disk', { skip }, async () => {
  const folder = publish(path.join(shared.root, 'sample.pdf'), path.join(shared.root, 'sample'), '--title', 'Sample book', '--links', '--bookmarks',
    '--mobile', '--set', 'showDownload=Show', '--set', 'languageSetting=French;English');
  assert.deepEqual(fs.readFileSync(path.join(folder, 'files/sample.pdf')), fs.readFileSync(path.join(shared.root, 'sample.pdf')));
  await shared.visit(shared.server.url + 'sample/index.html', DESKTOP, async (page) => {
    await shown(page, [0]);
    await notBlank(page, 0);
    assert.equal(await page.locator('button.lm-first').getAttribute('aria-label'), 'Première page');
    assert.deepEqual(await page.locator('select.lm-language option').allTextContents(), ['French', 'English']);
    await page.keyboard.press('ArrowRight');
    await shown(page, [1, 2]);
    await notBlank(page, 2);
    await screenshot(page, 'published-spread');
    assert.ok(await page.evaluate(() => globalThis.leafmillPlayer.book.outline.length > 0), 'the PDF\'s outline comes along');
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('button.lm-download')]);
    assert.equal(download.suggestedFilename(), 'sample.pdf');
  });
  await shared.visit(path.join(folder, 'mobile/index.html'), PHONE, (phone) => phone.waitForFunction(() => document.querySelectorAll('.lm-m-link').length > 0));
});

test('a published SWF book shows its pages at full size from the JPEG beside each movie, over http and from disk', { skip }, async () => {
  const folder = publish(path.join(shared.root, 'sample.pdf'), path.join(shared.root, 'swf'), '--engine', 'swf', '--pages', '1-2');
  for (const url of [shared.server.url + 'swf/index.html', path.join(folder, 'index.html')]) {
    await shared.visit(url, DESKTOP, async (page) => {
      await notBlank(page, 0);
      const width = await page.locator('.lm-page[data-page="0"] img').evaluate((img) => img.naturalWidth);
      assert.ok(width > 180, 'page 1 is ' + width + ' pixels wide, the size of a thumbnail');
      await screenshot(page, url.startsWith('/') ? 'published-swf-from-disk' : 'published-swf');
    });
  }
  assert.deepEqual(shared.server.requests.filter((r) => r.startsWith('/swf/') && r.endsWith('.swf')), [], 'no movie is fetched');
});
