import { MobileBook } from './mobileBook.js';
import { safeUrl } from '../core/settings.js';
import { mediaOf } from '../core/linkMedia.js';

// The "Flip" kind: the publisher writes bookConfig assignments into the page and the page links,
// pageEditor, into a script beside it (bookConfig.linksScript), loaded here by a script element
// so that it works from disk too.
const config = globalThis.bookConfig || {};

function loadScript(name) {
  return new Promise((resolve) => {
    if (!/^[\w.-]+\.js$/.test(name || '')) return resolve();
    const script = document.createElement('script');
    script.src = name;
    script.onload = script.onerror = () => resolve();
    document.head.append(script);
  });
}

loadScript(config.linksScript).then(() => new MobileBook(document.getElementById('leafmill-mobile'), {
  count: parseInt(config.totalPageCount, 10) || 0,
  width: parseFloat(config.largePageWidth) || 900,
  height: parseFloat(config.largePageHeight) || 900,
  title: config.bookTitle || '',
  pageDir: config.normalPath || '../files/mobile/',
  links: Array.isArray(globalThis.pageEditor) ? globalThis.pageEditor.map(scriptLinks) : undefined,
  linkColor: config.LinkDownColor,
  linkAlpha: config.LinkAlpha,
  openWindow: config.OpenWindow,
}));

// The page links of one page from their script form (all values are strings), as the book
// description has them: boxes as fractions of the page, go-to targets 0-based.
function scriptLinks(links) {
  return (Array.isArray(links) ? links : []).map((link) => {
    const action = link?.action || {}, box = link?.location || {};
    const place = { x: parseFloat(box.x), y: parseFloat(box.y), width: parseFloat(box.width), height: parseFloat(box.height) };
    if (Object.values(place).some((v) => !Number.isFinite(v))) return null;
    place.tooltip = typeof link.tooltip === 'string' ? link.tooltip.split('<br/>').join('\n') : '';
    const media = mediaOf(action.actionType, action.file);
    if (media) return media.file ? { ...place, ...media } : null;
    if (/GotoPage$/.test(action.actionType || '')) return { ...place, page: (parseInt(action.pageIndex, 10) || 1) - 1 };
    const url = safeUrl(action.url);
    return url ? { ...place, url } : null;
  }).filter(Boolean);
}
