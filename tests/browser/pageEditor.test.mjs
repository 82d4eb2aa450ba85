// The page editor against a stand-in for the application, and a book carrying what it saved.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { sharedBrowser, ARTEFACTS, PHONE } from './browserSupport.mjs';
import { makeBook, bookBin, solidPng } from './bookFixture.mjs';
import { editorPage, previewPage } from '../../web/bundler/build.mjs';

const shared = sharedBrowser('editor');
const SPLIT = '_$Split$_';
// The book was made from PDF pages 11-18: book page 5 is PDF page 15.
const PDF_FIRST = 11;

function editorBook() {
  const folder = path.join(shared.root, 'book');
  const { xml } = makeBook(folder, { count: 8, outline: [{ caption: 'Opening', page: 11 }, { caption: 'Second part', page: 13 }] });
  let n = PDF_FIRST;
  const withPdfPages = xml.replace(/<page /g, () => '<page pdfPage="' + n++ + '" ');
  fs.writeFileSync(path.join(folder, 'pageEditor.html'), editorPage());
  fs.mkdirSync(path.join(folder, 'files/pageConfig'), { recursive: true });
  fs.writeFileSync(path.join(folder, 'files/pageConfig/pic.png'), solidPng(300, 200, '#e67e22'));
  return { folder, xml: withPdfPages };
}

// The application's side of the bridge: records the calls and answers file choices.
const STUB = () => {
  globalThis.calls = [];
  globalThis.connector = {
    toSelecteFiiles_: (filter) => { calls.push(['choose', filter]); setTimeout(() => onSelectedFiles(globalThis.nextFile), 0); },
    saveFlipPageEditorXML_: (text) => calls.push(['save', text]),
    exitWithoutSave_: () => calls.push(['exit']),
  };
};

async function drawLink(page, from, to) {
  const box = await page.locator('.ed-sheet').boundingBox();
  await page.mouse.move(box.x + box.width * from[0], box.y + box.height * from[1]);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width * to[0], box.y + box.height * to[1], { steps: 5 });
  await page.mouse.up();
}

async function shot(page, name) {
  fs.mkdirSync(ARTEFACTS, { recursive: true });
  await page.screenshot({ path: path.join(ARTEFACTS, name + '.png') });
}

let saved = null;

test('the editor draws links of every kind, edits the contents and saves them for the application', async () => {
  const { folder, xml } = editorBook();
  const page = await shared.open(path.join(folder, 'pageEditor.html'), undefined, (p) => p.addInitScript(STUB));
  await page.evaluate((text) => initBookXML(text), xml);
  assert.doesNotMatch(await page.locator('.ed-help').first().locator('..').innerText(), /null/, 'the panel of a page without links');
  const kind = page.getByRole('combobox', { name: 'Link type' });
  const choose = async (name, file) => {
    await kind.selectOption(name);
    await page.evaluate((f) => { globalThis.nextFile = f; }, file);
    await page.getByRole('button', { name: 'Choose file…' }).click();
    await page.waitForFunction((f) => document.querySelector('.ed-file-name')?.textContent === f.split('/').pop(), file);
  };

  await drawLink(page, [0.1, 0.1], [0.45, 0.2]);
  await page.getByRole('spinbutton', { name: 'Book page' }).fill('5');
  await drawLink(page, [0.55, 0.1], [0.9, 0.2]);
  await kind.selectOption('url');
  const address = page.getByRole('textbox', { name: 'Address' });
  for (const [text, invalid] of [['javascript:alert(1)', 'true'], ['https://example.org/more', 'false']]) {
    await address.fill(text);
    assert.equal(await address.getAttribute('aria-invalid'), invalid, text);
  }
  await drawLink(page, [0.1, 0.4], [0.45, 0.6]);
  await choose('image', './files/pageConfig/pic.png');
  await drawLink(page, [0.55, 0.4], [0.9, 0.6]);
  await choose('video', './files/pageConfig/clip.webm');
  await page.getByRole('textbox', { name: 'Tooltip (optional)' }).fill('Watch <b>this</b>');
  assert.deepEqual(await page.evaluate(() => calls.filter((c) => c[0] === 'choose').map((c) => c[1])),
    ['Picture|*.jpg;*.jpeg;*.png;*.gif;*.webp;*.svg', 'Video|*.mp4;*.webm']);
  // Shift and an arrow key move the selected link by 10 px; Delete removes it and undo brings it back.
  const selected = page.locator('.ed-box.ed-selected');
  const before = await selected.boundingBox();
  await selected.focus();
  await page.keyboard.press('Shift+ArrowLeft');
  assert.ok(Math.abs((await selected.boundingBox()).x - (before.x - 10)) < 1.5);
  await page.keyboard.press('Delete');
  assert.equal(await page.locator('.ed-box').count(), 3);
  await page.keyboard.press('Control+z');
  assert.equal(await page.locator('.ed-box').count(), 4);
  await page.locator('.ed-box').first().click();
  await shot(page, 'f14-editor-form');

  await page.getByRole('tab', { name: 'Contents' }).click();
  await page.getByRole('treeitem', { name: /Second part/ }).click();
  await page.getByRole('textbox', { name: 'Title' }).fill('Part <two> & more');
  await page.getByRole('treeitem', { name: /Part <two>/ }).press('Alt+ArrowRight');
  await shot(page, 'f14-editor-outline');
  await page.getByRole('button', { name: 'Save and close' }).click();

  const text = await page.evaluate(() => calls.find((c) => c[0] === 'save')?.[1]);
  const parts = text.split(SPLIT);
  assert.equal(parts.length, 4);
  assert.equal(parts[1], './files/pageConfig/pic.png>./files/pageConfig/clip.webm');
  assert.equal(parts[2], 'EXIT');
  const annos = await page.evaluate((x) => [...new DOMParser().parseFromString(x, 'application/xml').querySelectorAll('pageAnnos[pageIndex="1"] > anno')]
    .map((a) => [a.querySelector('action').getAttribute('actionType').split('.').pop(), a.querySelector('action > *').textContent, a.querySelector('tooltip')?.textContent ?? '']), parts[0]);
  assert.deepEqual(annos, [['TAnnoActionGotoPage', '15', ''], ['TAnnoActionOpenURL', 'https://example.org/more', ''],
    ['TAnnoActionShowImage', './files/pageConfig/pic.png', ''], ['TAnnoActionPlayVideo', './files/pageConfig/clip.webm', 'Watch <b>this</b>']]);
  const outline = await page.evaluate((x) => [...new DOMParser().parseFromString(x, 'application/xml').querySelectorAll('o')]
    .map((o) => [o.querySelector('c').textContent, o.querySelector('p').textContent, o.querySelector('l').textContent]), parts[3]);
  assert.deepEqual(outline, [['Opening', '11', '1'], ['Part <two> & more', '13', '2']]);
  assert.deepEqual(page.errors, []);
  saved = { folder, xml, parts };
});

test('closing with unsaved changes asks first; without changes it just leaves', async () => {
  const { folder, xml } = editorBook();
  const page = await shared.open(path.join(folder, 'pageEditor.html'), undefined, (p) => p.addInitScript(STUB));
  await page.evaluate((text) => initBookXML(text), xml);
  await page.getByRole('button', { name: 'Close', exact: true }).click();
  assert.deepEqual(await page.evaluate(() => calls), [['exit']]);
  await page.getByRole('button', { name: 'New link' }).click();
  await page.getByRole('button', { name: 'Close', exact: true }).click();
  await page.getByRole('button', { name: 'Cancel' }).click();
  await page.getByRole('button', { name: 'Save and close' }).click();
  assert.equal(await page.locator('.ed-box.ed-selected').count(), 1, 'an incomplete link is shown instead of saved');
  assert.deepEqual(await page.evaluate(() => calls.length), 1);
});

// A short webm clip recorded from a canvas by the browser itself.
async function recordClip(browser) {
  const page = await browser.newPage();
  const base64 = await page.evaluate(async () => {
    const canvas = Object.assign(document.createElement('canvas'), { width: 160, height: 90 });
    const g = canvas.getContext('2d');
    const recorder = new MediaRecorder(canvas.captureStream(25), { mimeType: 'video/webm' });
    const chunks = [];
    recorder.ondataavailable = (e) => chunks.push(e.data);
    const done = new Promise((resolve) => { recorder.onstop = resolve; });
    recorder.start();
    for (let i = 0; i < 30; i++) {
      g.fillStyle = 'hsl(' + i * 12 + ',70%,50%)';
      g.fillRect(0, 0, 160, 90);
      await new Promise((r) => setTimeout(r, 40));
    }
    recorder.stop();
    await done;
    const bytes = new Uint8Array(await new Blob(chunks).arrayBuffer());
    let text = '';
    for (const b of bytes) text += String.fromCharCode(b);
    return btoa(text);
  });
  await page.close();
  return Buffer.from(base64, 'base64');
}

// Links a book folder may carry that must not be followed: files outside files/pageConfig/ or of another kind.
const HOSTILE = [['ShowImage', './files/pageConfig/../book.js'], ['ShowImage', './files/pageConfig/%2e%2e'], ['OpenFile', 'javascript:alert(1)'],
  ['OpenFile', './files/pageConfig/page.html'], ['PlayVideo', 'https://example.org/clip.webm'], ['OpenURL', 'javascript:alert(1)']];

function hostileAnnos() {
  return HOSTILE.map(([type, file]) => '<anno annotype="x"><action actionType="com.vellix.flipbook.pageeditor.TAnnoAction' + type + '">'
    + (type === 'OpenURL' ? '<url>' + file + '</url>' : '<file>' + file + '</file>') + '</action><location x="0.1" y="0.1" width="0.2" height="0.2"/></anno>').join('');
}

test('a published book shows what the editor saved, from disk, over http and in the preview', async (t) => {
  if (!saved) return t.skip('the editor test did not save');
  const { folder, xml, parts } = saved;
  fs.writeFileSync(path.join(folder, 'files/pageConfig/clip.webm'), await recordClip(shared.browser));
  const links = parts[0].replace('<pageAnnos pageIndex="2"/>', '<pageAnnos pageIndex="2">' + hostileAnnos() + '</pageAnnos>');
  const bin = bookBin(xml.replace(/<ols>.*<\/ols>/s, parts[3]).replace(/<languages>/, links + '<languages>'));
  fs.writeFileSync(path.join(folder, 'files/book.bin'), bin);
  fs.writeFileSync(path.join(folder, 'files/book.js'), 'LEAFMILL_BOOK_BIN="' + bin.toString('base64') + '";\n');
  fs.writeFileSync(path.join(folder, 'preview.html'), previewPage(new URL('../../resources/extIndex.html', import.meta.url).pathname));

  for (const url of [path.join(folder, 'index.html'), shared.server.url + 'book/index.html', shared.server.url + 'book/preview.html']) {
    const page = await shared.open(url, undefined, (p) => p.context().route('https://example.org/**', (r) => r.fulfill({ body: 'elsewhere' })));
    const link = (n) => page.locator('.lm-page[data-page="0"] .lm-link').nth(n);
    await link(3).waitFor();
    assert.equal(await page.locator('.lm-page[data-page="1"] .lm-link').count(), 0, url);
    const [popup] = await Promise.all([page.context().waitForEvent('page'), link(1).click()]);
    await popup.waitForLoadState();
    assert.equal(popup.url(), 'https://example.org/more');
    await popup.close();

    await link(2).click();
    await page.waitForFunction(() => document.querySelector('dialog[open] img')?.naturalWidth === 300);
    if (url.startsWith('/')) await shot(page, 'f14-lightbox');
    await page.keyboard.press('Escape');
    assert.equal(await page.locator('dialog[open]').count(), 0);
    assert.equal(await link(2).evaluate((a) => a === document.activeElement), true, 'focus returns to the link');

    await link(3).hover();
    assert.equal(await page.locator('.lm-tip').textContent(), 'Watch <b>this</b>');
    await link(3).click();
    await page.waitForFunction(() => document.querySelector('dialog[open] video')?.currentTime > 0);
    if (url.startsWith('/')) await shot(page, 'f14-video');
    await page.getByRole('button', { name: 'Close' }).last().click();
    assert.equal(await page.locator('dialog[open]').count(), 0);

    await link(0).click();
    await page.waitForFunction(() => globalThis.leafmillPlayer.visiblePages().includes(4));
    const captions = await page.evaluate(() => globalThis.leafmillPlayer.book.outline.map((o) => [o.caption, o.items.map((i) => i.caption)]));
    assert.deepEqual(captions, [['Opening', ['Part <two> & more']]]);
    assert.deepEqual(page.errors, []);
  }
});

test('the Flip phone page shows a picture link of the page links script in the lightbox', async () => {
  const folder = path.join(shared.root, 'phone');
  const picture = '{annotype:"x",action:{triggerEventType:"mouseDown",actionType:"com.vellix.flipbook.pageeditor.TAnnoActionShowImage",'
    + 'file:"./files/pageConfig/pic.png"},location:{x:"0.2",y:"0.2",width:"0.6",height:"0.3"},tooltip:"A<br/>picture"}';
  const outside = picture.replace('pic.png', '../book.js').replace('0.2"', '0.6"');
  makeBook(folder, { count: 2, mobile: ['Flip'], mobileSettings: { links: '[[' + picture + ',' + outside + ']]' } });
  fs.mkdirSync(path.join(folder, 'files/pageConfig'));
  fs.writeFileSync(path.join(folder, 'files/pageConfig/pic.png'), solidPng(300, 200, '#e67e22'));
  const page = await shared.open(path.join(folder, 'mobile/index.html'), PHONE);
  const link = page.locator('.lm-m-link');
  await link.first().waitFor();
  assert.equal(await link.count(), 1);
  assert.equal(await link.getAttribute('aria-label'), 'A\npicture');
  await link.tap();
  await page.waitForFunction(() => document.querySelector('dialog[open] img')?.naturalWidth === 300);
  await page.getByRole('button', { name: 'Close' }).tap();
  assert.equal(await page.locator('dialog[open]').count(), 0);
  assert.deepEqual(page.errors, []);
});
