// The player's readers and its build, without a browser.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { rc4, asciiBytes } from '../../web/src/core/rc4.js';
import { bookXmlText, BookError } from '../../web/src/core/bookFile.js';
import { imageFromSwf } from '../../web/src/core/swfImage.js';
import { safeUrl, cssColor } from '../../web/src/core/settings.js';
import { playerPage, mobilePage, playerScripts, CODE_BUDGET, laterScript, LATER_BUDGET } from '../../web/bundler/build.mjs';
import { bookBin, solidPng, swfWithImage } from './bookFixture.mjs';

globalThis.fflate = createRequire(new URL('../../web/package.json', import.meta.url))('fflate');

test('book.bin decrypts (RC4 as its test vector has it) and unzips to book.xml; anything else is reported as damaged', () => {
  assert.equal(Buffer.from(rc4(asciiBytes('Key'), asciiBytes('Plaintext'))).toString('hex'), 'bbf316e8d940af0ad3');
  const xml = '<flipbook count="0"><extConfig/><pages/></flipbook>';
  assert.equal(bookXmlText(new Uint8Array(bookBin(xml))), xml);
  for (const bad of [new TextEncoder().encode('garbage'), new Uint8Array(bookBin(xml)).subarray(0, 40)]) assert.throws(() => bookXmlText(bad), BookError);
});

test('the page bitmap is found in plain and compressed SWF movies', () => {
  const png = solidPng(4, 4, '#336699');
  const want = { bytes: new Uint8Array(png), type: 'image/png' };
  for (const compressed of [false, true]) assert.deepEqual(imageFromSwf(new Uint8Array(swfWithImage(png, compressed))), want);
  const jpegLike = Buffer.from([0xff, 0xd9, 0xff, 0xd8, 0xff, 0xd8, 0xff, 0xe0, 1, 2, 0xff, 0xd9]);
  assert.deepEqual([...imageFromSwf(new Uint8Array(swfWithImage(jpegLike))).bytes.subarray(0, 2)], [0xff, 0xd8], 'the stray EOI/SOI pair is dropped');
  assert.equal(imageFromSwf(new Uint8Array(swfWithImage(png).subarray(0, 20))), null, 'a truncated movie has no picture');
  assert.equal(imageFromSwf(new TextEncoder().encode('not a movie')), null);
});

test('built pages keep the placeholders the publisher fills, hide "${" in inlined code and stay within the code budget', () => {
  const placeholders = (page) => [...page.matchAll(/\$\{([^}]*)\}/g)].map((m) => m[1]);
  assert.deepEqual(placeholders(playerPage()), ['index.title', 'meta.keywords', 'meta.description', 'noscriptText', 'script.bottom', 'script.other']);
  for (const kind of ['Flip', 'Other']) assert.ok(placeholders(mobilePage(kind)).includes('fbbook.options'), kind);
  assert.ok(playerScripts().join('').length <= CODE_BUDGET);
  assert.ok(laterScript().length <= LATER_BUDGET);
});

test('link addresses are followed only when web, mail, phone or relative; colours are read as 0xrrggbb or #rrggbb', () => {
  for (const url of ['https://example.org/a?b=1', 'http://x', 'mailto:a@b.c', 'tel:123', './files/pageConfig/a.pdf', 'page.html#x']) assert.equal(safeUrl(url), url);
  for (const url of ['javascript:alert(1)', ' JavaScript:alert(1)', 'data:text/html,x', 'vbscript:x', 'file:///etc/passwd', '']) assert.equal(safeUrl(url), '');
  for (const [text, colour] of [['0x3399FF', '#3399ff'], ['#808080', '#808080'], ['red; background: url(x)', '#000000']]) assert.equal(cssColor(text, '#000000'), colour);
});
