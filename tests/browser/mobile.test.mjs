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
  test(kind + ' mobile book numbered from ' + first + ' shows every page', async () => {
    const name = kind.toLowerCase();
    makeBook(path.join(root, name), { count: 5, mobile: [kind], mobileFirstIndex: first });
    const page = await openPhone(server.url + name + '/mobile/index.html');
    await showsEveryPage(page, 5);
    assert.equal(await page.locator('.lm-m-indicator').textContent(), '5 / 5');
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
