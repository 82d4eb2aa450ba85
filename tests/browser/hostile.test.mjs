// Books made from hostile names and addresses: nothing in them may run script in the pages we write.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { makeBook } from './bookFixture.mjs';
import { sharedBrowser, cli, needsCli, runCli, DESKTOP, PHONE } from './browserSupport.mjs';

const shared = sharedBrowser('hostile');
const HOSTILE_NAME = 'm\\";alert(\'x\');<!--';

// Visits a page that records every dialog (and dismisses it) and answers for example.org.
const visit = (url, device, check) => shared.visit(url, device, check, async (page) => {
  page.dialogs = [];
  page.on('dialog', (d) => { page.dialogs.push(d.message()); d.dismiss(); });
  await page.route('https://example.org/**', (r) => r.fulfill({ contentType: 'text/html', body: '<title>web</title>' }));
});

test('hostile file names and titles stay text in the desktop and mobile pages', { skip: needsCli }, async () => {
  const pdf = path.join(shared.root, HOSTILE_NAME + '.pdf');
  execFileSync(cli, ['make-sample-pdf', pdf]);
  const title = '</title><script>alert(5)</script>\u2028"\\';
  const books = [
    { folder: HOSTILE_NAME, args: ['publish', pdf, '--mobile'], title: HOSTILE_NAME },
    { folder: 'titled', args: ['publish', pdf, '--mobile', '--title', title], title },
    { folder: 'reopened', args: ['reopen', path.join(shared.root, HOSTILE_NAME), '--mobile'], title: HOSTILE_NAME },
  ];
  for (const book of books) {
    runCli(path.join(shared.root, book.folder), ...book.args);
    for (const mobile of [false, true]) {
      await visit(shared.server.url + encodeURIComponent(book.folder) + (mobile ? '/mobile/index.html' : '/index.html'), mobile ? PHONE : DESKTOP, async (tab) => {
        await tab.waitForSelector(mobile ? '.lm-m-page img[src]' : '.lm-page img');
        assert.deepEqual(tab.dialogs, [], book.folder);
        assert.equal(mobile ? await tab.locator('.lm-m-header').textContent() : await tab.title(), book.title);
      });
    }
  }
});

test('script addresses hidden by tabs and line breaks are not followed; a host without a scheme is a web address', async () => {
  const place = (i) => ({ x: 0.05, y: 0.05 + i * 0.15, width: 0.9, height: 0.1 });
  const addresses = ['java\tscript:alert(1)', 'java\nscript:alert(2)', 'javascript\t:alert(3)', '  JavaScript:alert(4) ', 'example.org/page'];
  makeBook(path.join(shared.root, 'links'), {
    count: 2,
    links: { 1: addresses.map((url, i) => ({ url, ...place(i) })) },
    settings: { linkOpenedWindow: '_self' },
    mobile: ['Flip'],
    mobileSettings: {
      OpenWindow: '_self',
      links: JSON.stringify([addresses.map((url, i) => ({ action: { actionType: 'x.TAnnoActionOpenURL', url },
        location: Object.fromEntries(Object.entries(place(i)).map(([k, v]) => [k, String(v)])) }))]),
    },
  });
  for (const [url, links, device] of [['links/index.html', '.stf__block > .lm-page[data-page="0"]', DESKTOP],
    ['links/mobile/index.html', '.lm-m-page[data-page="0"]', PHONE]]) {
    await visit(shared.server.url + url, device, async (page) => {
      await page.waitForFunction((s) => document.querySelector(s + ' img')?.naturalWidth > 0 && document.querySelector(s + ' a'), links);
      assert.deepEqual(await page.locator(links + ' a').evaluateAll((all) => all.map((a) => a.href)), ['https://example.org/page'], url);
      assert.deepEqual(page.dialogs, [], url);
      await Promise.all([page.waitForURL('https://example.org/page'), page.locator(links + ' a').click()]);
    });
  }
});
