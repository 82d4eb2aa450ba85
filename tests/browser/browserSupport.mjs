// Headless Debian Chromium through playwright-core, a static file server that records what the
// browser asked for, and the waits and probes the browser tests share.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import http from 'node:http';
import zlib from 'node:zlib';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { before, after } from 'node:test';

const require = createRequire(new URL('../../web/package.json', import.meta.url));
const { chromium } = require('playwright-core');

export const ARTEFACTS = process.env.LEAFMILL_BROWSER_ARTEFACTS ?? path.join(os.tmpdir(), 'leafmill-browser-artefacts');
export const DESKTOP = { viewport: { width: 1280, height: 800 } };
export const PHONE = { viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true };

// leafmill-cli of the build folder named by LEAFMILL_BUILD_DIR (or of build/), when it is built.
const repo = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
export const cli = [process.env.LEAFMILL_BUILD_DIR, path.join(repo, 'build')].filter(Boolean)
  .map((dir) => path.join(path.resolve(dir), 'src/cli/leafmill-cli')).find((file) => fs.existsSync(file));
export const needsCli = cli ? false : 'leafmill-cli is not built';

// Runs the CLI on the output folder. It keeps its language pool and libraries among the user's
// files: it gets a home of its own beside the folder.
export function runCli(folder, command, ...args) {
  const home = path.join(path.dirname(folder), 'home');
  execFileSync(cli, [command, ...args, '-o', folder, '--quiet'],
    { env: { ...process.env, HOME: home, XDG_DATA_HOME: path.join(home, 'data'), XDG_CONFIG_HOME: path.join(home, 'config') } });
  return folder;
}

export const publish = (input, folder, ...options) => runCli(folder, 'publish', input, '--set', 'flipDuration=200', ...options);

export function launch() {
  return chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--headless', '--no-sandbox', '--disable-gpu',
    '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run'] });
}

export function tempFolder(name) {
  return fs.mkdtempSync(path.join(os.tmpdir(), 'leafmill-' + name + '-'));
}

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.svg': 'image/svg+xml', '.png': 'image/png', '.jpg': 'image/jpeg' };

// One browser, and a temporary folder served over http, for all the tests of a file.
// shared.open(url, device, prepare) opens a page (a path is opened from disk) in a context of its own
// that records script errors in page.errors; shared.visit(url, device, check, prepare) runs check on
// such a page, then asserts that no script failed and closes it, also when the check fails.
export function sharedBrowser(name) {
  const shared = { root: tempFolder(name) };
  before(async () => {
    shared.browser = await launch();
    shared.server = await serve(shared.root);
  });
  after(async () => {
    await shared.browser?.close();
    await shared.server?.close();
    fs.rmSync(shared.root, { recursive: true, force: true });
  });
  shared.open = async (url, device = DESKTOP, prepare) => {
    const context = await shared.browser.newContext(device);
    context.setDefaultTimeout(60000);
    await context.route(/googletagmanager/, (route) => route.abort());
    const page = await context.newPage();
    page.errors = [];
    page.on('pageerror', (e) => page.errors.push(e.message));
    await prepare?.(page);
    await page.goto(url.startsWith('/') ? 'file://' + url : url);
    return page;
  };
  shared.visit = async (url, device, check, prepare) => {
    const page = await shared.open(url, device, prepare);
    try {
      await check(page);
      assert.deepEqual(page.errors, [], 'script errors on ' + url);
    } finally {
      await page.context().close();
    }
  };
  return shared;
}

export function serve(root) {
  const requests = [];
  const server = http.createServer((req, res) => {
    const file = path.join(root, decodeURIComponent(new URL(req.url, 'http://x').pathname));
    requests.push(req.url);
    if (!file.startsWith(root) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404).end('not found');
      return;
    }
    res.writeHead(200, { 'content-type': TYPES[path.extname(file)] ?? 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve({
    url: 'http://127.0.0.1:' + server.address().port + '/',
    requests,
    close: () => new Promise((done) => server.close(done)),
  })));
}

// Waits until the template player has settled on the given pages (0-based), e.g. [1, 2].
export const shown = (page, pages) => page.waitForFunction((want) => JSON.stringify(globalThis.leafmillPlayer?.visiblePages()) === want
  && ['read', 'fold_corner'].includes(globalThis.leafmillPlayer.pageFlip.getState()), JSON.stringify(pages));

// Waits until the mobile page shows page `index`, its picture loaded and its slide finished.
export const mobileShown = (page, index) => page.waitForFunction((n) => {
  const img = document.querySelector('.lm-m-page[data-page="' + n + '"]:not([hidden]) img');
  return globalThis.leafmillMobile?.current === n && img?.complete && img.naturalWidth > 0 && document.getAnimations().length === 0;
}, index);

// The colour at fractions (fx, fy) of the picture of player page `index` once it has loaded.
export async function pageColorAt(page, index, fx = 0.5, fy = 0.25) {
  await page.waitForFunction((i) => document.querySelector('.lm-page[data-page="' + i + '"] img')?.dataset.state === 'loaded', index);
  const box = await page.locator('.stf__block > .lm-page[data-page="' + index + '"] img').boundingBox();
  return pixel(page, Math.round(box.x + box.width * fx), Math.round(box.y + box.height * fy));
}

// A touch drag across the element at fractions of its width, in small steps as a finger moves.
export async function touchDrag(page, selector, from, to, fy = 0.6) {
  const box = await page.locator(selector).first().boundingBox();
  const cdp = await page.context().newCDPSession(page);
  const touch = (type, f) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: type === 'touchEnd' ? [] : [{ x: box.x + box.width * f, y: box.y + box.height * fy }] });
  await touch('touchStart', from);
  for (let step = 1; step <= 12; step++) {
    await new Promise((done) => setTimeout(done, 30));
    await touch('touchMove', from + ((to - from) * step) / 12);
  }
  await touch('touchEnd');
}

export async function screenshot(page, name) {
  fs.mkdirSync(ARTEFACTS, { recursive: true });
  // Let fades that start on the next frame finish, so the picture shows the settled page.
  await page.evaluate(async () => {
    await new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)));
    await Promise.all(document.getAnimations().filter((a) => a.effect?.getTiming().iterations !== Infinity).map((a) => a.finished.catch(() => {})));
  });
  await page.screenshot({ path: path.join(ARTEFACTS, name + '.png') });
}

// The colour of the screen pixel at (x, y) of the page, as "#rrggbb". The first pixel of a PNG's
// first row is stored as it is whatever the row's filter, so its bytes follow the filter type.
export async function pixel(page, x, y) {
  const png = await page.screenshot({ clip: { x, y, width: 1, height: 1 } });
  const data = [];
  for (let at = 8, length; at < png.length; at += 12 + length) {
    length = png.readUInt32BE(at);
    if (png.toString('latin1', at + 4, at + 8) === 'IDAT') data.push(png.subarray(at + 8, at + 8 + length));
  }
  const [, r, g, b] = zlib.inflateSync(Buffer.concat(data));
  return '#' + [r, g, b].map((v) => v.toString(16).padStart(2, '0')).join('');
}
