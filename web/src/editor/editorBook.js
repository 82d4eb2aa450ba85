import { declaredSize } from '../core/pageBox.js';
import { pdfPageOf } from '../core/pageTargets.js';
import { mediaOf } from '../core/linkMedia.js';

// The book description as the editor needs it, and the save text made from the edited links and
// outline. Every text of the description stays text: it reaches the page only through
// textContent, attribute values and the XML serializer.
export const ACTION = 'com.vellix.flipbook.pageeditor.TAnnoAction';
export const KINDS = ['page', 'url', 'image', 'video', 'sound', 'file'];
export const FILE_KINDS = {
  image: { type: 'ShowImage', filter: '*.jpg;*.jpeg;*.png;*.gif;*.webp;*.svg' },
  video: { type: 'PlayVideo', filter: '*.mp4;*.webm' },
  sound: { type: 'PlaySound', filter: '*.mp3;*.ogg;*.m4a' },
  file: { type: 'OpenFile', filter: '*.pdf' },
};
const SPLIT = '_$Split$_';

const childOf = (node, name) => (node ? [...node.children].find((c) => c.nodeName === name) ?? null : null);
const childrenOf = (node, name) => (node ? [...node.children].filter((c) => c.nodeName === name) : []);
const textOf = (node, name) => childOf(node, name)?.textContent.trim() ?? '';

export function readEditorBook(xmlText) {
  const doc = new DOMParser().parseFromString(String(xmlText || ''), 'application/xml');
  const root = doc.documentElement;
  if (!root || root.nodeName !== 'flipbook' || doc.getElementsByTagName('parsererror').length) return null;
  const pages = childrenOf(childOf(root, 'pages'), 'page').map((page) => {
    const normal = textOf(page, 'normalUrl');
    const picture = page.getAttribute('imageUrl') || (/\.swf$/i.test(normal) ? textOf(page, 'thumbUrl') : normal);
    return { picture: safeBookFile(picture), thumb: safeBookFile(textOf(page, 'thumbUrl') || picture),
      size: declaredSize(page.getAttribute('width'), page.getAttribute('height')), pdfPage: pdfPageOf(page.getAttribute('pdfPage')) };
  });
  const language = childOf(childOf(root, 'languages'), 'language');
  const texts = {};
  for (const item of childrenOf(childOf(language, 'items'), 'item')) texts[item.getAttribute('key')] = textOf(item, 'value');
  const links = pages.map(() => []);
  childrenOf(childOf(root, 'pagesAnnos'), 'pageAnnos').forEach((pageAnnos, position) => {
    const index = (parseInt(pageAnnos.getAttribute('pageIndex'), 10) || position + 1) - 1;
    if (links[index]) links[index].push(...childrenOf(pageAnnos, 'anno').map(readLink).filter(Boolean));
  });
  return { pages, texts, links, outline: childrenOf(childOf(root, 'ols'), 'o').map(readEntry) };
}

// Pictures of the book are named relative to its folder; anything with a scheme is not shown.
function safeBookFile(name) {
  return /^(\.\/)?files\/[^:?#]*$/.test(name) && !name.includes('..') ? name : '';
}

const readEntry = (o) => ({ caption: textOf(o, 'c'), pdf: parseInt(textOf(o, 'p'), 10) || 0, items: childrenOf(childOf(o, 'ci'), 'o').map(readEntry) });

// A link the editor does not know keeps its element as it was, only its box can move.
function readLink(anno) {
  const action = childOf(anno, 'action');
  const location = childOf(anno, 'location');
  const box = ['x', 'y', 'width', 'height'].map((a) => parseFloat(location?.getAttribute(a)));
  if (box.some((v) => !Number.isFinite(v))) return null;
  const link = { x: box[0], y: box[1], w: box[2], h: box[3], kind: 'other', tooltip: textOf(anno, 'tooltip') };
  const type = action?.getAttribute('actionType') || '';
  const media = mediaOf(type, textOf(action, 'file'));
  if (media) return { ...link, kind: media.media, file: media.file };
  if (type.endsWith('OpenURL')) return { ...link, kind: 'url', url: textOf(action, 'url') };
  if (type.endsWith('GotoPage')) return { ...link, kind: 'page', pdf: parseInt(textOf(action, 'pageIndex'), 10) || 0 };
  return { ...link, raw: new XMLSerializer().serializeToString(anno) };
}

// Book pages and the PDF page numbers that links and outline entries store.
export class PageNumbers {
  constructor(pages) {
    this.pages = pages;
    this.recorded = pages.some((p) => p.pdfPage > 0);
  }

  // The 0-based book page of a stored target, or null when the book does not have it.
  bookIndex(pdf) {
    if (!this.recorded) return pdf >= 1 && pdf <= this.pages.length ? pdf - 1 : null;
    const index = this.pages.findIndex((p) => p.pdfPage === pdf);
    return index >= 0 ? index : null;
  }

  // The stored target of a 0-based book page, 0 when it has none.
  pdf(index) {
    if (index < 0 || index >= this.pages.length) return 0;
    return this.recorded ? this.pages[index].pdfPage : index + 1;
  }
}

export function validAddress(url) {
  return /^(https?:\/\/[^\s/?#]+\S*|mailto:[^\s]+|tel:[+\d()\s.-]+)$/i.test(String(url || '').trim());
}

// What keeps a link from being saved, as a text key, or '' when it is complete.
export function linkProblem(link) {
  if (link.kind === 'page') return link.pdf > 0 ? '' : 'edBadPage';
  if (link.kind === 'url') return validAddress(link.url) ? '' : 'edBadAddress';
  if (FILE_KINDS[link.kind]) return mediaOf(ACTION + FILE_KINDS[link.kind].type, link.file)?.file ? '' : 'edNoFile';
  return '';
}

const fraction = (v) => Math.min(1, Math.max(0, v)).toFixed(6);

function linkElement(doc, link) {
  const anno = link.raw ? doc.importNode(new DOMParser().parseFromString(link.raw, 'application/xml').documentElement, true) : doc.createElement('anno');
  if (!link.raw) {
    anno.setAttribute('annotype', 'com.vellix.flipbook.pageeditor.TAnnoLink');
    const action = anno.appendChild(doc.createElement('action'));
    action.setAttribute('triggerEventType', 'mouseDown');
    const type = link.kind === 'url' ? 'OpenURL' : link.kind === 'page' ? 'GotoPage' : FILE_KINDS[link.kind].type;
    action.setAttribute('actionType', ACTION + type);
    const [name, value] = link.kind === 'url' ? ['url', link.url.trim()] : link.kind === 'page' ? ['pageIndex', String(link.pdf)] : ['file', link.file];
    action.appendChild(doc.createElement(name)).textContent = value;
  }
  let location = childOf(anno, 'location');
  if (!location) location = anno.appendChild(doc.createElement('location'));
  for (const [name, value] of [['x', link.x], ['y', link.y], ['width', link.w], ['height', link.h]]) location.setAttribute(name, fraction(value));
  childOf(anno, 'tooltip')?.remove();
  if (link.tooltip?.trim()) anno.appendChild(doc.createElement('tooltip')).textContent = link.tooltip.trim();
  return anno;
}

export function linksXml(links) {
  const doc = document.implementation.createDocument(null, 'pagesAnnos');
  links.forEach((pageLinks, index) => {
    const pageAnnos = doc.documentElement.appendChild(doc.createElement('pageAnnos'));
    pageAnnos.setAttribute('pageIndex', String(index + 1));
    for (const link of pageLinks) pageAnnos.appendChild(linkElement(doc, link));
  });
  return new XMLSerializer().serializeToString(doc);
}

export function outlineXml(entries) {
  const doc = document.implementation.createDocument(null, 'ols');
  const write = (parent, list, level) => {
    for (const entry of list) {
      const o = parent.appendChild(doc.createElement('o'));
      o.appendChild(doc.createElement('c')).textContent = entry.caption;
      o.appendChild(doc.createElement('p')).textContent = String(entry.pdf);
      o.appendChild(doc.createElement('l')).textContent = String(level);
      write(o.appendChild(doc.createElement('ci')), entry.items, level + 1);
    }
  };
  write(doc.documentElement, entries, 1);
  return new XMLSerializer().serializeToString(doc);
}

// The files that publishing must copy, each once.
export function neededFiles(links) {
  return [...new Set(links.flat().filter((l) => FILE_KINDS[l.kind] && l.file).map((l) => l.file))].join('>');
}

// links _$Split$_ needed files _$Split$_ EXIT or nothing, then _$Split$_ outline when it changed
export function saveText(links, outline, { exit, withOutline }) {
  const parts = [linksXml(links), neededFiles(links), exit ? 'EXIT' : ''];
  if (withOutline) parts.push(outlineXml(outline));
  return parts.join(SPLIT);
}
