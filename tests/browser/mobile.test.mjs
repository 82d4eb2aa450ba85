// The mobile players of both kinds over phone pages numbered from 0 or from 1.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { makeBook, pageColor } from './bookFixture.mjs';
import { launch, serve, tempFolder, screenshot, pixel } from './browserSupport.mjs';

let browser, server, root;

before(async () => {
  browser = await launch();
  root = tempFolder('mobile');
  server = await serve(root);
});

after(async () => {
  await browser?.close();
  await server?.close();
  fs.rmSync(root, { recursive: true, force: true });
});

async function openPhone(url) {
  const context = await browser.newContext({ viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true });
  const page = await context.newPage();
  await page.goto(url);
  return page;
}

// Steps through the whole book and checks that each page shows its own picture.
async function showsEveryPage(page, count) {
  for (let i = 0; i < count; i++) {
    await page.waitForFunction((n) => {
      const img = document.querySelector('.lm-m-page:not([hidden]) img');
      return img?.closest('.lm-m-page').dataset.page === String(n) && img.complete && img.naturalWidth > 0
        && document.getAnimations().length === 0;
    }, i);
    const box = await page.locator('.lm-m-page:not([hidden]) img').boundingBox();
    assert.equal(await pixel(page, Math.round(box.x + box.width / 2), Math.round(box.y + box.height * 0.75)), pageColor(i), 'page ' + (i + 1));
    if (i + 1 < count) await page.click('.lm-m-next');
  }
}

for (const [kind, first] of [['Flip', 0], ['Slide', 1]]) {
  test(kind + ' mobile book numbered from ' + first + ' shows every page and lets far ones go', async () => {
    const name = kind.toLowerCase();
    makeBook(path.join(root, name), { count: 12, mobile: [kind], mobileFirstIndex: first });
    const page = await openPhone(server.url + name + '/mobile/index.html');
    await showsEveryPage(page, 12);
    assert.equal(await page.locator('.lm-m-indicator').textContent(), '12 / 12');
    assert.ok(await page.locator('.lm-m-page img[src]').count() <= 6, 'pages far behind are released');
    await screenshot(page, 'mobile-' + name);
    await page.context().close();
  });
}

test('Flip mobile book turns by swipe and follows its page links', async () => {
  makeBook(path.join(root, 'swipe'), { count: 5, mobile: ['Flip'] });
  const page = await openPhone(server.url + 'swipe/mobile/index.html');
  await page.waitForSelector('.lm-m-page[data-page="0"]:not([hidden]) img[src]');
  const box = await page.locator('.lm-m-track').boundingBox();
  const y = box.y + box.height / 2;
  const cdp = await page.context().newCDPSession(page);
  const touch = (type, x) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: type === 'touchEnd' ? [] : [{ x, y }] });
  await touch('touchStart', box.x + box.width * 0.8);
  await touch('touchMove', box.x + box.width * 0.4);
  await touch('touchEnd');
  await page.waitForSelector('.lm-m-page[data-page="1"]:not([hidden])');
  await page.click('.lm-m-previous');
  await page.click('.lm-m-page[data-page="0"] a[data-goto]');
  await page.waitForSelector('.lm-m-page[data-page="2"]:not([hidden])');
  assert.equal(await page.locator('.lm-m-header').textContent(), 'Fixture book');
  await page.context().close();
});

// A slow drag across the page at phone size turns the way the finger goes: towards the next page
// in a left-to-right book, towards the previous one in a right-to-left book.
const READERS = {
  player: { page: 'index.html', current: "globalThis.leafmillPlayer?.pageFlip?.getState() === 'read' && globalThis.leafmillPlayer.visiblePages()[0]" },
  mobile: { page: 'mobile/index.html', current: "document.querySelector('.lm-m-page:not([hidden])') && globalThis.leafmillMobile.current" },
};

async function slowDrag(page, from, to) {
  const box = await page.locator('.lm-book, .lm-m-track').first().boundingBox();
  const y = box.y + box.height * 0.6;
  const cdp = await page.context().newCDPSession(page);
  const touch = (type, f) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: type === 'touchEnd' ? [] : [{ x: box.x + box.width * f, y }] });
  await touch('touchStart', from);
  for (let step = 1; step <= 12; step++) {
    await page.waitForTimeout(40);
    await touch('touchMove', from + ((to - from) * step) / 12);
  }
  await touch('touchEnd');
}

for (const [reader, kind] of [['player', 'Flip'], ['mobile', 'Flip'], ['mobile', 'Slide']]) {
  for (const rightToLeft of [false, true]) {
    test((reader === 'player' ? 'the template player' : kind) + (rightToLeft ? ', right to left,' : '') + ' turns by slow drags the way the finger goes', async () => {
      const name = 'drag-' + reader + kind + rightToLeft;
      makeBook(path.join(root, name), { count: 6, mobile: [kind], settings: { flipDuration: '200', rightToLeft: rightToLeft ? 'YES' : 'NO' } });
      const page = await openPhone(server.url + name + '/' + READERS[reader].page + '#p=3');
      const at = (want) => page.waitForFunction('(' + READERS[reader].current + ') === ' + want);
      await at(2);
      await slowDrag(page, 0.85, 0.25);
      await at(rightToLeft ? 1 : 3);
      await slowDrag(page, 0.2, 0.8);
      await at(2);
      await page.context().close();
    });
  }
}

test('on a tablet, slow drags across a spread turn the way the finger goes', async () => {
  makeBook(path.join(root, 'tablet'), { count: 8, settings: { flipDuration: '200' } });
  const context = await browser.newContext({ viewport: { width: 1024, height: 768 }, hasTouch: true, isMobile: true });
  const page = await context.newPage();
  await page.goto(server.url + 'tablet/index.html#p=2');
  const at = (want) => page.waitForFunction((w) => globalThis.leafmillPlayer?.pageFlip?.getState() === 'read'
    && globalThis.leafmillPlayer.visiblePages().join() === w, want);
  await at('1,2');
  await slowDrag(page, 0.9, 0.3);
  await at('3,4');
  await slowDrag(page, 0.1, 0.7);
  await at('1,2');
  await context.close();
});

test('on a narrow desktop window a mouse drag from the right corner turns to the next page', async () => {
  makeBook(path.join(root, 'mouse'), { count: 6, settings: { flipDuration: '200' } });
  const page = await browser.newPage({ viewport: { width: 480, height: 800 } });
  await page.goto(server.url + 'mouse/index.html#p=3');
  await page.waitForFunction(() => globalThis.leafmillPlayer?.visiblePages()[0] === 2);
  const box = await page.locator('.lm-book').boundingBox();
  await page.mouse.move(box.x + box.width - 6, box.y + box.height - 6);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width * 0.4, box.y + box.height * 0.8, { steps: 10 });
  const fold = await page.evaluate(() => globalThis.leafmillPlayer.pageFlip.getState());
  await page.mouse.up();
  assert.equal(fold, 'user_fold');
  await page.waitForFunction(() => globalThis.leafmillPlayer.visiblePages()[0] === 3 && globalThis.leafmillPlayer.pageFlip.getState() === 'read');
  await page.close();
});
