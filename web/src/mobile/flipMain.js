import { MobileBook } from './mobileBook.js';

// The "Flip" kind: the publisher writes bookConfig assignments and pageEditor into the page.
const config = globalThis.bookConfig || {};
new MobileBook(document.getElementById('leafmill-mobile'), {
  count: parseInt(config.totalPageCount, 10) || 0,
  width: parseFloat(config.largePageWidth) || 900,
  height: parseFloat(config.largePageHeight) || 900,
  title: config.bookTitle || '',
  pageDir: config.normalPath || '../files/mobile/',
  links: globalThis.pageEditor,
  linkColor: config.LinkDownColor,
  linkAlpha: config.LinkAlpha,
  openWindow: config.OpenWindow,
});
