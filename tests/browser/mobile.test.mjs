// The mobile pages of both kinds over phone pages numbered from 0 or from 1, and the drags that
// turn pages at phone and tablet size and with a mouse, in either reading direction.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { makeBook, pageColor } from './bookFixture.mjs';
import { sharedBrowser, mobileShown, touchDrag, screenshot, pixel, PHONE } from './browserSupport.mjs';

const shared = sharedBrowser('mobile');

for (const [kind, first] of [['Flip', 0], ['Slide', 1]]) {
  test(kind + ' mobile book over PNG pages numbered from ' + first + ' shows every page and lets far pages go', async () => {
    makeBook(path.join(shared.root, kind), { count: 12, mobile: [kind], mobileFirstIndex: first });
    await shared.visit(shared.server.url + kind + '/mobile/index.html', PHONE, async (page) => {
      for (let i = 0; i < 12; i++) {
        if (i > 0) await page.click('.lm-m-next');
        await mobileShown(page, i);
        const box = await page.locator('.lm-m-page:not([hidden]) img').boundingBox();
        assert.equal(await pixel(page, Math.round(box.x + box.width / 2), Math.round(box.y + box.height * 0.75)), pageColor(i), 'page ' + (i + 1));
      }
      assert.equal(await page.locator('.lm-m-indicator').textContent(), '12 / 12');
      assert.ok(await page.locator('.lm-m-page img[src]').count() <= 6, 'pages far behind are released');
      await screenshot(page, 'mobile-' + kind);
    });
  });
}

// What each reader has on show: the player's pages ("1,2") or the mobile page's index.
const READERS = {
  player: { page: 'index.html', surface: '.lm-book', at: "globalThis.leafmillPlayer?.pageFlip?.getState() === 'read' && globalThis.leafmillPlayer.visiblePages().join()" },
  mobile: { page: 'mobile/index.html', surface: '.lm-m-track', at: "!!document.querySelector('.lm-m-page:not([hidden])') && String(globalThis.leafmillMobile.current)" },
};
const TABLET = { viewport: { width: 1024, height: 768 }, hasTouch: true, isMobile: true };
const NARROW = { viewport: { width: 480, height: 800 } };

// A slow drag turns the way the finger goes: leftwards to the next page in a left-to-right book, to
// the previous one in a right-to-left book; a drag back returns. Pages on show: first, after each drag.
for (const [reader, kind, rightToLeft, device, want] of [
  ['player', 'Flip', false, PHONE, ['2', '3', '2']], ['player', 'Flip', true, PHONE, ['2', '1', '2']],
  ['mobile', 'Flip', false, PHONE, ['2', '3', '2']], ['mobile', 'Flip', true, PHONE, ['2', '1', '2']],
  ['mobile', 'Slide', false, PHONE, ['2', '3', '2']], ['mobile', 'Slide', true, PHONE, ['2', '1', '2']],
  ['player', 'Flip', false, TABLET, ['1,2', '3,4', '1,2']], ['player', 'Flip', false, NARROW, ['2', '3']],
]) {
  const name = [reader, kind, rightToLeft ? 'rtl' : 'ltr', device.viewport.width].join('-');
  test(name + ': slow drags turn the way they go', async () => {
    makeBook(path.join(shared.root, name), { count: 8, mobile: [kind], settings: { flipDuration: '200', rightToLeft: rightToLeft ? 'YES' : 'NO' } });
    await shared.visit(shared.server.url + name + '/' + READERS[reader].page + '#p=3', device, async (page) => {
      const at = (pages) => page.waitForFunction('(' + READERS[reader].at + ') === ' + JSON.stringify(pages));
      await at(want[0]);
      if (device.hasTouch) {
        await touchDrag(page, READERS[reader].surface, 0.85, 0.25);
        await at(want[1]);
        await touchDrag(page, READERS[reader].surface, 0.2, 0.8);
        return at(want[2]);
      }
      // A mouse takes the page by its corner.
      const box = await page.locator('.lm-book').boundingBox();
      await page.mouse.move(box.x + box.width - 6, box.y + box.height - 6);
      await page.mouse.down();
      await page.mouse.move(box.x + box.width * 0.4, box.y + box.height * 0.8, { steps: 10 });
      await page.mouse.up();
      await at(want[1]);
    });
  });
}
