// Writes small published-book folders for the browser tests, in the layout and formats the
// publisher produces: index.html (the player page), files/book.bin, files/book.js, page files.
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { createRequire } from 'node:module';
import { rc4, asciiBytes } from '../../web/src/core/rc4.js';
import { playerPage, mobilePage, previewPage } from '../../web/bundler/build.mjs';

const require = createRequire(new URL('../../web/package.json', import.meta.url));
const { zipSync } = require('fflate');

const PAGE_COLORS = ['#c0392b', '#27ae60', '#2980b9', '#8e44ad', '#d35400', '#16a085', '#f1c40f', '#2c3e50'];
export const pageColor = (index) => PAGE_COLORS[index % PAGE_COLORS.length];

const escapeXml = (text) => String(text).replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');

function pageSvg(index, width, height, words = []) {
  return '<svg xmlns="http://www.w3.org/2000/svg" width="' + width + '" height="' + height + '">'
    + '<rect width="100%" height="100%" fill="' + pageColor(index) + '"/>'
    + '<rect x="6%" y="6%" width="88%" height="88%" fill="none" stroke="#fff" stroke-width="4"/>'
    + '<text x="50%" y="50%" font-size="' + Math.round(width / 6) + '" text-anchor="middle" fill="#fff" font-family="sans-serif">'
    + (index + 1) + '</text>'
    + words.map((w) => '<text x="' + w.x * width + '" y="' + (w.y + w.height * 0.8) * height + '" font-size="' + w.height * height
      + '" textLength="' + w.width * width + '" lengthAdjust="spacingAndGlyphs" fill="#fff" font-family="sans-serif">' + escapeXml(w.text) + '</text>').join('')
    + '</svg>';
}

// A page's text as the importer writes it: lines of words at known places (fractions of the page),
// one line every 6% from the top, words 1.8% wide a letter.
export function pageWords(lines) {
  const words = [];
  let text = '';
  lines.forEach((line, row) => {
    let x = 0.1;
    line.split(' ').forEach((word, column) => {
      if (column) text += ' ';
      words.push({ text: word, start: text.length, x, y: 0.12 + row * 0.06, width: word.length * 0.018, height: 0.035 });
      text += word;
      x += word.length * 0.018 + 0.015;
    });
    if (row < lines.length - 1) text += '\n';
  });
  return { text, words };
}

function textScript(number, { text, words }) {
  const w = words.flatMap((word) => [word.start, word.text.length, ...[word.x, word.y, word.width, word.height].map((v) => +v.toFixed(4))]);
  return 'leafmillPageText(' + number + ',' + JSON.stringify({ t: text, w }) + ');\n';
}

export function solidPng(width, height, hex) {
  const row = Buffer.concat([Buffer.alloc(1), ...Array(width).fill(Buffer.from(hex.slice(1), 'hex'))]);
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 2], 8);
  return Buffer.concat([Buffer.from('89504e470d0a1a0a', 'hex'), pngChunk('IHDR', header),
    pngChunk('IDAT', zlib.deflateSync(Buffer.concat(Array(height).fill(row)))), pngChunk('IEND', Buffer.alloc(0))]);
}

function pngChunk(type, data) {
  const body = Buffer.concat([Buffer.from(type), data]), out = Buffer.alloc(body.length + 8);
  out.writeUInt32BE(data.length, 0);
  body.copy(out, 4);
  out.writeUInt32BE(zlib.crc32(body), body.length + 4);
  return out;
}

// A one-frame SWF movie holding the image as a DefineBitsJPEG2 tag ("CWS" when compressed).
export function swfWithImage(image, compressed = false) {
  const tag = Buffer.alloc(8);
  tag.writeUInt16LE((21 << 6) | 0x3f, 0);
  tag.writeUInt32LE(image.length + 2, 2);
  tag.writeUInt16LE(1, 6);
  const body = Buffer.concat([Buffer.from([0x00, 0x00, 0x0c, 0x01, 0x00]), tag, image, Buffer.from([0x40, 0x00, 0x00, 0x00])]);
  const out = Buffer.concat([Buffer.from(compressed ? 'CWS' : 'FWS'), Buffer.from([8, 0, 0, 0, 0]), compressed ? zlib.deflateSync(body) : body]);
  out.writeUInt32LE(8 + body.length, 4);
  return out;
}

const outlineXml = (entries, level = 1) => entries.map((o) => '<o><c>' + escapeXml(o.caption) + '</c><p>' + o.page + '</p><l>' + level
  + '</l><ci>' + outlineXml(o.items ?? [], level + 1) + '</ci></o>').join('');

function linksXml(count, links) {
  const kind = 'com.vellix.flipbook.pageeditor.';
  return Array.from({ length: count }, (_, i) => '<pageAnnos pageIndex="' + (i + 1) + '">'
    + (links[i + 1] ?? []).map((l) => '<anno annotype="' + kind + 'TAnnoLink"><action triggerEventType="mouseDown" actionType="'
      + kind + (l.url ? 'TAnnoActionOpenURL"><url>' + escapeXml(l.url) + '</url>' : 'TAnnoActionGotoPage"><pageIndex>' + l.page + '</pageIndex>')
      + '</action><location x="' + l.x + '" y="' + l.y + '" width="' + l.width + '" height="' + l.height + '"/></anno>').join('')
    + '</pageAnnos>').join('');
}

const languagesXml = (languages) => languages.map((l) => '<language><info><name>' + escapeXml(l.name) + '</name></info><items>'
  + Object.entries(l.texts).map(([k, v]) => '<item key="' + k + '"><value>' + escapeXml(v) + '</value></item>').join('') + '</items></language>').join('');

function bookXml({ pages, settings, outline, links, languages, needExt }) {
  return '<?xml version="1.0" encoding="UTF-8"?>\n<flipbook count="' + pages.length + '" appAppShortName="pt" appAppName="Leaf Mill for Mac"'
    + ' appAppVersion="1.0" appWebsite="" templateValidCode="T" e="' + (needExt ? 'needext' : 'noext') + '" templateName="Float">'
    + '<extConfig>' + Object.entries(settings).map(([k, v]) => '<item name="' + k + '">' + escapeXml(v) + '</item>').join('') + '</extConfig>'
    + '<pages>' + pages.map((p) => '<page isHardPage="false" isEncrypted="false"' + (p.text ? ' textUrl="' + p.text + '"' : '')
      + '><normalUrl>' + p.normal + '</normalUrl><largeUrl>' + (p.large ?? p.normal) + '</largeUrl><thumbUrl>' + p.thumb + '</thumbUrl></page>').join('')
    + '</pages>' + (outline ? '<ols>' + outlineXml(outline) + '</ols>' : '') + (links ? '<pagesAnnos>' + linksXml(pages.length, links) + '</pagesAnnos>' : '')
    + '<languages>' + languagesXml(languages) + '</languages></flipbook>';
}

export function bookBin(xml) {
  const zip = zipSync({ 'book.xml': [new TextEncoder().encode(xml), { level: 9 }] });
  return Buffer.from(rc4(asciiBytes('qv-bookkey-2009'), zip));
}

function write(file, data) {
  fs.mkdirSync(path.dirname(file), { recursive: true });
  fs.writeFileSync(file, data);
}

// The publisher's substitution of the page placeholders, for the values the tests need.
const fillPlaceholders = (html, values) => html.replace(/\$\{([^}]*)\}\s*/g, (whole, key) => values[key.trim()] ?? '');

let cachedPlayer = null;

// options: count, settings, outline, links ({ page number: [{ page or url, x, y, width, height }] }),
// languages, width/height (page size), swf (SWF normal pages), text(index) (the page's lines, or null
// for none: text files and words drawn on the page), zoomTier ([normal width, large width]: PNG pages
// in two sizes), needExt (a preview's book), bookFiles: false to leave files/book.bin and book.js out,
// bin(xml) (the bytes of files/book.bin, written alone), mobile (kinds of phone page to write),
// mobileFirstIndex, mobileSettings (see writeMobile).
export function makeBook(folder, options = {}) {
  const count = options.count ?? 8, tier = options.zoomTier;
  const width = options.width ?? 600, height = options.height ?? 800;
  const pages = Array.from({ length: count }, (_, i) => {
    write(path.join(folder, 'files/thumb', i + '.svg'), pageSvg(i, width / 5, height / 5));
    const lines = options.text?.(i);
    const words = lines ? pageWords(lines) : null;
    if (words) write(path.join(folder, 'files/text', i + '.js'), textScript(i, words));
    const normal = options.swf ? i + '.swf' : tier ? i + '.png' : i + '.svg';
    write(path.join(folder, 'files/page', normal), options.swf
      ? swfWithImage(solidPng(width / 4, height / 4, pageColor(i)), i % 2 === 1)
      : tier ? solidPng(tier[0], Math.round((tier[0] * height) / width), pageColor(i)) : pageSvg(i, width, height, words?.words));
    if (tier) write(path.join(folder, 'files/large', i + '.png'), solidPng(tier[1], Math.round((tier[1] * height) / width), pageColor(i)));
    return { normal: './files/page/' + normal, thumb: './files/thumb/' + i + '.svg', text: words ? './files/text/' + i + '.js' : '',
      large: tier ? './files/large/' + i + '.png' : undefined };
  });
  const settings = { pageWidth: String(width), pageHeight: String(height), bookTitle: 'Fixture book', flipDuration: '250', ...options.settings };
  const xml = bookXml({ ...options, pages, settings, languages: options.languages ?? [{ name: 'English', texts: {} }] });
  if (options.bin) write(path.join(folder, 'files/book.bin'), options.bin(xml));
  else if (options.bookFiles !== false) {
    const bin = bookBin(xml);
    write(path.join(folder, 'files/book.bin'), bin);
    write(path.join(folder, 'files/book.js'), 'LEAFMILL_BOOK_BIN="' + bin.toString('base64') + '";\n');
  }
  cachedPlayer ??= playerPage();
  write(path.join(folder, 'index.html'), fillPlaceholders(cachedPlayer, { 'index.title': 'Fixture book' }));
  for (const kind of options.mobile ?? []) writeMobile(folder, kind, count, options.mobileFirstIndex ?? 0, width, height, options.mobileSettings);
  return { folder, count, xml };
}

// mobileSettings: more bookConfig values (Flip) and the page links (a script value) in place of the default ones.
function writeMobile(folder, kind, count, first, width, height, mobileSettings = {}) {
  const { links, ...more } = mobileSettings;
  for (let i = 0; i < count; i++) write(path.join(folder, 'files/mobile', i + first + '.png'), solidPng(width / 4, height / 4, pageColor(i)));
  const options = kind === 'Flip'
    ? 'bookConfig.totalPageCount="' + count + '";\nbookConfig.largePageWidth="' + width + '";\nbookConfig.largePageHeight="' + height
      + '";\nbookConfig.bookTitle="Fixture book";\nbookConfig.normalPath="../files/mobile/";\nbookConfig.largePath="../files/mobile/";\n'
      + 'bookConfig.thumbPath="../files/thumb/";\n' + Object.entries(more).map(([k, v]) => 'bookConfig.' + k + '=' + JSON.stringify(v) + ';\n').join('')
      + 'var pageEditor =' + (links ?? '[[{annotype:"x",action:{triggerEventType:"mouseDown",'
      + 'actionType:"com.vellix.flipbook.pageeditor.TAnnoActionGotoPage",pageIndex:"3"},location:{x:"0.1",y:"0.1",width:"0.5",height:"0.2"}}]]') + ';'
    : '{pageWidth:' + width + ',pageHeight:' + height + ',totalPage:' + count + ',zoomPageDir:"../files/mobile/",normalPageDir:"../files/mobile/"}';
  write(path.join(folder, 'mobile/index.html'), fillPlaceholders(mobilePage(kind), { 'fbbook.options': options }));
}

// The preview page in place of the published page, as the live preview does.
export function writePreview(folder) {
  write(path.join(folder, 'index.html'), previewPage(new URL('../../resources/extIndex.html', import.meta.url).pathname));
}
