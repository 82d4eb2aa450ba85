// Books made from hostile names and addresses: nothing in them may run script in the pages we write.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { fileURLToPath } from 'node:url';
import { makeBook } from './bookFixture.mjs';
import { launch, serve, tempFolder } from './browserSupport.mjs';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const cli = [process.env.LEAFMILL_BUILD_DIR, path.join(repo, 'build')]
  .filter(Boolean).map((dir) => path.join(dir, 'src/cli/leafmill-cli')).find((file) => fs.existsSync(file));

const HOSTILE_NAME = 'm\\";alert(\'x\');<!--';
const SCRIPT_ADDRESSES = ['java\tscript:alert(1)', 'java\nscript:alert(2)', 'javascript\t:alert(3)', '  JavaScript:alert(4) '];
let browser, server, root;

before(async () => {
  browser = await launch();
  root = tempFolder('hostile');
  server = await serve(root);
});

after(async () => {
  await browser?.close();
  await server?.close();
  fs.rmSync(root, { recursive: true, force: true });
});

// Opens a page, records every dialog (and dismisses it) and every script error.
async function open(url, contextOptions = {}) {
  const context = await browser.newContext(contextOptions);
  const page = await context.newPage();
  page.dialogs = [];
  page.errors = [];
  page.on('dialog', (d) => { page.dialogs.push(d.message()); d.dismiss(); });
  page.on('pageerror', (e) => page.errors.push(e.message));
  await page.route('https://example.org/**', (r) => r.fulfill({ contentType: 'text/html', body: '<title>web</title>' }));
  await page.goto(url);
  return page;
}

test('hostile file names and titles stay text in the desktop and mobile pages', { skip: cli ? false : 'leafmill-cli is not built' }, async () => {
  const pdf = path.join(root, HOSTILE_NAME + '.pdf');
  execFileSync(cli, ['make-sample-pdf', pdf]);
  const title = '</title><script>alert(5)</script>\u2028"\\';
  const books = [
    { folder: path.join(root, HOSTILE_NAME), args: ['publish', pdf, '--mobile'], title: HOSTILE_NAME },
    { folder: path.join(root, 'titled'), args: ['publish', pdf, '--mobile', '--title', title], title },
    { folder: path.join(root, 'reopened'), args: ['reopen', path.join(root, HOSTILE_NAME), '--mobile'], title: HOSTILE_NAME },
  ];
  for (const book of books) {
    execFileSync(cli, [...book.args, '-o', book.folder, '--quiet']);
    for (const page of ['index.html', 'mobile/index.html']) {
      const tab = await open(server.url + encodeURIComponent(path.basename(book.folder)) + '/' + page,
        page.startsWith('mobile') ? { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true } : {});
      await tab.waitForSelector(page.startsWith('mobile') ? '.lm-m-page img[src]' : '.lm-page img');
      assert.deepEqual(tab.dialogs, [], page + ' of ' + book.folder);
      assert.deepEqual(tab.errors, []);
      if (page.startsWith('mobile')) assert.equal(await tab.locator('.lm-m-header').textContent(), book.title);
      else assert.equal(await tab.title(), book.title);
      await tab.context().close();
    }
  }
});

test('script addresses hidden by tabs and line breaks are not followed; a host without a scheme is a web address', async () => {
  const place = (i) => ({ x: 0.05, y: 0.05 + i * 0.15, width: 0.9, height: 0.1 });
  const addresses = [...SCRIPT_ADDRESSES, 'example.org/page'];
  makeBook(path.join(root, 'links'), {
    count: 2,
    links: { 1: addresses.map((url, i) => ({ url, ...place(i) })) },
    settings: { linkOpenedWindow: '_self', flipDuration: '250' },
    mobile: ['Flip'],
    mobileSettings: {
      OpenWindow: '_self',
      links: JSON.stringify([addresses.map((url, i) => ({ action: { actionType: 'x.TAnnoActionOpenURL', url },
        location: Object.fromEntries(Object.entries(place(i)).map(([k, v]) => [k, String(v)])) }))]),
    },
  });
  const players = [
    { url: 'links/index.html', links: '.stf__block > .lm-page[data-page="0"]', options: {} },
    { url: 'links/mobile/index.html', links: '.lm-m-page[data-page="0"]', options: { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true } },
  ];
  for (const player of players) {
    const page = await open(server.url + player.url, player.options);
    const pageBox = player.links + ' img';
    await page.waitForFunction(([s, links]) => document.querySelector(s)?.complete && document.querySelector(s).naturalWidth > 0
      && document.querySelector(links + ' a'), [pageBox, player.links]);
    assert.deepEqual(await page.locator(player.links + ' a').evaluateAll((links) => links.map((a) => a.href)),
      ['https://example.org/page'], player.url);
    assert.deepEqual(page.dialogs, [], player.url);
    await Promise.all([page.waitForURL('https://example.org/page'), page.locator(player.links + ' a').click()]);
    await page.context().close();
  }
});
