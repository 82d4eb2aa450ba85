import { BookError, DAMAGED_BOOK } from './bookFile.js';
import { safeUrl } from './settings.js';
import { declaredSize } from './pageBox.js';
import { pageTargets, pdfPageOf } from './pageTargets.js';

// The book description (book.xml) as plain data for the players.
export function parseBook(xmlText) {
  const doc = new DOMParser().parseFromString(xmlText, 'application/xml');
  const root = doc.documentElement;
  if (!root || root.nodeName !== 'flipbook' || doc.getElementsByTagName('parsererror').length) {
    throw new BookError(DAMAGED_BOOK);
  }
  const pages = readPages(child(root, 'pages'));
  const target = pageTargets(pages.map((page) => page.pdfPage));
  return {
    templateName: root.getAttribute('templateName') || '',
    needExt: root.getAttribute('e') === 'needext',
    settings: readSettings(child(root, 'extConfig')),
    pages,
    outline: readOutline(child(root, 'ols'), target),
    links: readLinks(child(root, 'pagesAnnos'), pages.length, target),
    languages: readLanguages(child(root, 'languages')),
  };
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

// One list of links per page position; link boxes are fractions of the page from its top left.
function readLinks(pagesAnnos, pageCount, target) {
  const links = Array.from({ length: pageCount }, () => []);
  children(pagesAnnos, 'pageAnnos').forEach((pageAnnos, position) => {
    const index = (parseInt(pageAnnos.getAttribute('pageIndex'), 10) || position + 1) - 1;
    if (index < 0 || index >= pageCount) return;
    for (const anno of children(pageAnnos, 'anno')) {
      const link = readLink(anno, target);
      if (link) links[index].push(link);
    }
  });
  return links;
}

function readLink(anno, target) {
  const action = child(anno, 'action');
  const location = child(anno, 'location');
  if (!action || !location) return null;
  const box = ['x', 'y', 'width', 'height'].map((a) => parseFloat(location.getAttribute(a)));
  if (box.some((v) => !Number.isFinite(v))) return null;
  const type = action.getAttribute('actionType') || '';
  const link = { x: box[0], y: box[1], width: box[2], height: box[3] };
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
