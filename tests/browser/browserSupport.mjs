// Headless Debian Chromium through playwright-core, and a static file server that records
// what the browser asked for.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import http from 'node:http';
import { createRequire } from 'node:module';
import { before, after } from 'node:test';

const require = createRequire(new URL('../../web/package.json', import.meta.url));
const { chromium } = require('playwright-core');

export const ARTEFACTS = process.env.LEAFMILL_BROWSER_ARTEFACTS ?? path.join(os.tmpdir(), 'leafmill-browser-artefacts');

// leafmill-cli of the build folder named by LEAFMILL_BUILD_DIR (or of build/), when it is built.
export function leafmillCli(buildDir = process.env.LEAFMILL_BUILD_DIR) {
  const repo = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
  return [buildDir, path.join(repo, 'build')].filter(Boolean)
    .map((dir) => path.join(path.resolve(dir), 'src/cli/leafmill-cli')).find((file) => fs.existsSync(file));
}

export function launch() {
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--no-first-run'],
  });
}

export function tempFolder(name) {
  return fs.mkdtempSync(path.join(os.tmpdir(), 'leafmill-' + name + '-'));
}

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.svg': 'image/svg+xml', '.png': 'image/png', '.jpg': 'image/jpeg',
  '.swf': 'application/x-shockwave-flash', '.bin': 'application/octet-stream' };

// One browser, and a temporary folder served over http, for all the tests of a file; the fields
// are filled before the first test runs.
export function sharedBrowser(name) {
  const shared = {};
  before(async () => {
    shared.browser = await launch();
    shared.root = tempFolder(name);
    shared.server = await serve(shared.root);
  });
  after(async () => {
    await shared.browser?.close();
    await shared.server?.close();
    if (shared.root) fs.rmSync(shared.root, { recursive: true, force: true });
  });
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

export async function screenshot(page, name) {
  fs.mkdirSync(ARTEFACTS, { recursive: true });
  // Let fades that start on the next frame finish, so the picture shows the settled page.
  await page.evaluate(async () => {
    await new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)));
    await Promise.all(document.getAnimations().filter((a) => a.effect?.getTiming().iterations !== Infinity).map((a) => a.finished.catch(() => {})));
  });
  await page.screenshot({ path: path.join(ARTEFACTS, name + '.png') });
}

// The colour of the screen pixel at (x, y) of the page, as "#rrggbb".
export async function pixel(page, x, y) {
  const shot = await page.screenshot({ clip: { x, y, width: 1, height: 1 } });
  return page.evaluate(async (data) => {
    const img = new Image();
    img.src = 'data:image/png;base64,' + data;
    await img.decode();
    const canvas = document.createElement('canvas');
    canvas.width = canvas.height = 1;
    const ctx = canvas.getContext('2d');
    ctx.drawImage(img, 0, 0);
    const [r, g, b] = ctx.getImageData(0, 0, 1, 1).data;
    return '#' + [r, g, b].map((v) => v.toString(16).padStart(2, '0')).join('');
  }, shot.toString('base64'));
}
