import { BookError, DAMAGED_BOOK } from './bookFile.js';
import { safeUrl } from './settings.js';
import { declaredSize } from './pageBox.js';
import { pageTargets, pdfPageOf } from './pageTargets.js';
import { mediaOf } from './linkMedia.js';

// The book description (book.xml) as plain data for the players.
export function parseBook(xmlText) {
  const reading = startReadingBook(xmlText);
  reading.readRest();
  return reading.book;
}

// The page links and the outline are most of a long book's description. They are cut out and
// read only by readRest(), so that a player can ask for its first pages before; until then the
// book has no links and no outline. A description that does not come apart cleanly is read whole.
export function startReadingBook(xmlText) {
  const parts = splitDescription(xmlText, ['ols', 'pagesAnnos']);
  const head = parts && documentRoot(parts.head, 'flipbook');
  let whole = head ? undefined : documentRoot(xmlText, 'flipbook');
  const root = head ?? whole;
  if (!root) throw new BookError(DAMAGED_BOOK);
  const pages = readPages(child(root, 'pages'));
  const book = {
    templateName: root.getAttribute('templateName') || '',
    needExt: root.getAttribute('e') === 'needext',
    downloadFile: root.getAttribute('downloadFile') || '',
    settings: readSettings(child(root, 'extConfig')),
    pages,
    outline: [],
    links: pages.map(() => []),
    languages: readLanguages(child(root, 'languages')),
  };
  // A part that does not read on its own is taken from the whole description.
  const part = (name) => {
    if (!head || !parts[name]) return child(root, name);
    const own = documentRoot(parts[name], name);
    if (own) return own;
    whole ??= documentRoot(xmlText, 'flipbook');
    return child(whole, name);
  };
  const readRest = () => {
    const target = pageTargets(pages.map((page) => page.pdfPage));
    book.outline.push(...readOutline(part('ols'), target));
    readLinks(part('pagesAnnos'), target, book.links);
  };
  return { book, readRest };
}

function documentRoot(xmlText, name) {
  const doc = new DOMParser().parseFromString(xmlText, 'application/xml');
  const root = doc.documentElement;
  return root && root.nodeName === name && !doc.getElementsByTagName('parsererror').length ? root : null;
}

// The description without the named elements, and each of them as a text of its own; null when
// they cannot be told apart by their tags.
function splitDescription(xmlText, names) {
  const spans = [];
  for (const name of names) {
    const start = xmlText.search(new RegExp('<' + name + '[\\s>]'));
    const end = xmlText.lastIndexOf('</' + name + '>');
    if (start >= 0 && end > start) spans.push({ name, start, end: end + name.length + 3 });
  }
  spans.sort((a, b) => a.start - b.start);
  if (spans.some((span, i) => i > 0 && span.start < spans[i - 1].end)) return null;
  const parts = { head: '' };
  let at = 0;
  for (const span of spans) {
    parts.head += xmlText.slice(at, span.start);
    parts[span.name] = xmlText.slice(span.start, span.end);
    at = span.end;
  }
  parts.head += xmlText.slice(at);
  return parts;
}

function child(node, name) {
  if (!node) return null;
  for (const c of node.children) if (c.nodeName === name) return c;
  return null;
}

function children(node, name) {
  return node ? [...node.children].filter((c) => c.nodeName === name) : [];
}

function text(node, name) {
  return child(node, name)?.textContent.trim() ?? '';
}

// A key may appear more than once; the first one wins, as in the template's own lookups.
function readSettings(extConfig) {
  const settings = new Map();
  for (const item of children(extConfig, 'item')) {
    const key = item.getAttribute('name');
    if (key && !settings.has(key)) settings.set(key, item.textContent.trim());
  }
  return settings;
}

function readPages(pagesNode) {
  return children(pagesNode, 'page').map((page) => ({
    hard: page.getAttribute('isHardPage') === 'true',
    normal: text(page, 'normalUrl'),
    large: text(page, 'largeUrl') || text(page, 'normalUrl'),
    text: page.getAttribute('textUrl') || text(page, 'textUrl'),
    search: page.getAttribute('searchUrl') || '',
    thumb: text(page, 'thumbUrl'),
    image: page.getAttribute('imageUrl') || '',
    size: declaredSize(page.getAttribute('width'), page.getAttribute('height')),
    pdfPage: pdfPageOf(page.getAttribute('pdfPage')),
  }));
}

// Outline entries point at 1-based PDF page numbers; page is the book page index, or null.
function readOutline(ols, target) {
  const read = (o) => ({
    caption: text(o, 'c'),
    page: target(parseInt(text(o, 'p'), 10)),
    items: children(child(o, 'ci'), 'o').map(read),
  });
  return children(ols, 'o').map(read);
}

// Links go into one list per page position; link boxes are fractions of the page from its top left.
function readLinks(pagesAnnos, target, links) {
  children(pagesAnnos, 'pageAnnos').forEach((pageAnnos, position) => {
    const index = (parseInt(pageAnnos.getAttribute('pageIndex'), 10) || position + 1) - 1;
    if (index < 0 || index >= links.length) return;
    for (const anno of children(pageAnnos, 'anno')) {
      const link = readLink(anno, target);
      if (link) links[index].push(link);
    }
  });
}

function readLink(anno, target) {
  const action = child(anno, 'action');
  const location = child(anno, 'location');
  if (!action || !location) return null;
  const box = ['x', 'y', 'width', 'height'].map((a) => parseFloat(location.getAttribute(a)));
  if (box.some((v) => !Number.isFinite(v))) return null;
  const type = action.getAttribute('actionType') || '';
  const link = { x: box[0], y: box[1], width: box[2], height: box[3], tooltip: text(anno, 'tooltip') };
  const media = mediaOf(type, text(action, 'file'));
  if (media) return media.file ? { ...link, ...media } : null;
  if (type.endsWith('OpenURL')) {
    const url = safeUrl(text(action, 'url'));
    return url ? { ...link, url } : null;
  }
  if (!type.endsWith('GotoPage')) return null;
  const page = target(parseInt(text(action, 'pageIndex'), 10));
  return page === null ? null : { ...link, page };
}

function readLanguages(languagesNode) {
  return children(languagesNode, 'language').map((language) => {
    const texts = {};
    for (const item of children(child(language, 'items'), 'item')) {
      texts[item.getAttribute('key')] = text(item, 'value');
    }
    return { name: text(child(language, 'info'), 'name'), texts };
  });
}
