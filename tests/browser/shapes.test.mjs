// A book whose pages differ in size and rotation, published by leafmill-cli from a generated PDF:
// every player shows each page at its own shape, and each page's link lies over the mark it covers.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { writePdf, shownSize, shownPlace } from './pdfMaker.mjs';
import { launch, tempFolder, screenshot, pixel } from './browserSupport.mjs';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const cli = [process.env.LEAFMILL_BUILD_DIR, path.join(repo, 'build')]
  .filter(Boolean).map((dir) => path.join(dir, 'src/cli/leafmill-cli')).find((file) => fs.existsSync(file));
const skip = cli ? false : 'leafmill-cli is not built';

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
  Object.assign(page, { text: 'Page ' + (i + 1), marks: [{ ...mark, color: MARK }], links: [{ ...mark, page: ((i + 3) % PAGES.length) + 1 }] });
  page.target = (i + 3) % PAGES.length;
  page.markCentre = shownPlace(page, mark.x + mark.width / 2, mark.y + mark.height / 2);
});

let browser, root;

before(async () => {
  if (skip) return;
  root = tempFolder('shapes');
  const pdf = writePdf(path.join(root, 'shapes.pdf'), { pages: PAGES, title: 'Shapes' });
  for (const kind of ['Flip', 'Slide']) {
    execFileSync(cli, ['publish', pdf, '-o', path.join(root, kind), '--title', 'Shapes', '--links', '--mobile', '--mobile-template', kind, '--quiet',
      '--set', 'flipDuration=200']);
  }
  browser = await launch();
});

after(async () => {
  await browser?.close();
  if (root) fs.rmSync(root, { recursive: true, force: true });
});

const near = (a, b) => [1, 3, 5].every((i) => Math.abs(parseInt(a.slice(i, i + 2), 16) - parseInt(b.slice(i, i + 2), 16)) < 40);

// The template player and the mobile page, each as: where to open, how to show a page, which
// picture shows it (its links beside it), which page is on show.
const PLAYERS = {
  player: {
    page: 'index.html',
    ready: () => globalThis.leafmillPlayer?.visiblePages().length > 0,
    goTo: (i) => globalThis.leafmillPlayer.goTo(i, false),
    image: (i) => '.stf__block > .lm-page[data-page="' + i + '"] img',
    shows: (i) => globalThis.leafmillPlayer.visiblePages().includes(i) && ['read', 'fold_corner'].includes(globalThis.leafmillPlayer.pageFlip.getState()),
  },
  mobile: {
    page: 'mobile/index.html',
    ready: () => !!document.querySelector('.lm-m-page:not([hidden])'),
    goTo: (i) => globalThis.leafmillMobile.show(i),
    image: (i) => '.lm-m-page[data-page="' + i + '"]:not([hidden]) img',
    shows: (i) => globalThis.leafmillMobile.current === i && document.getAnimations().length === 0,
  },
};

const DESKTOP = { viewport: { width: 1280, height: 800 } };
const PHONE = { viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true };

for (const [name, kind, player, device] of [
  ['desktop player', 'Flip', 'player', DESKTOP],
  ['player on a phone', 'Flip', 'player', PHONE],
  ['Flip mobile page', 'Flip', 'mobile', PHONE],
  ['Slide mobile page', 'Slide', 'mobile', PHONE],
]) {
  test(name + ': every page keeps its shape and its link lands on its target', { skip }, async () => {
    const p = PLAYERS[player];
    const context = await browser.newContext(device);
    const page = await context.newPage();
    await page.goto(pathToFileURL(path.join(root, kind, p.page)).href);
    await page.waitForFunction(p.ready);
    for (const [i, pdfPage] of PAGES.entries()) {
      await page.evaluate(p.goTo, i);
      await page.waitForFunction(p.shows, i);
      const image = page.locator(p.image(i));
      await page.waitForFunction((img) => img.complete && img.naturalWidth > 0 && img.parentElement.querySelector('a'), await image.elementHandle());
      const box = await image.boundingBox();
      const want = shownSize(pdfPage);
      const aspect = box.width / box.height / (want.width / want.height);
      assert.ok(Math.abs(aspect - 1) < 0.02, 'page ' + (i + 1) + ' is shown ' + Math.round(box.width) + ' x ' + Math.round(box.height));
      const x = box.x + box.width * pdfPage.markCentre.x, y = box.y + box.height * pdfPage.markCentre.y;
      const seen = await pixel(page, Math.round(x), Math.round(y));
      assert.ok(near(seen, MARK), 'page ' + (i + 1) + ' shows its mark where the PDF puts it, not ' + seen);
      if (i === 1) await screenshot(page, 'shapes-' + name.replace(/ /g, '-'));
      // Taps apart in time, so that two of them do not make a double tap (which zooms).
      await (device.hasTouch ? page.waitForTimeout(400).then(() => page.touchscreen.tap(x, y)) : page.mouse.click(x, y));
      await page.waitForFunction(p.shows, pdfPage.target);
    }
    await context.close();
  });
}
