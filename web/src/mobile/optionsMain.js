import { MobileBook } from './mobileBook.js';

// The options kind: the publisher writes one object literal into the page.
const options = globalThis.fbOptions || {};
new MobileBook(document.getElementById('leafmill-mobile'), {
  count: parseInt(options.totalPage, 10) || 0,
  width: parseFloat(options.pageWidth) || 900,
  height: parseFloat(options.pageHeight) || 900,
  title: document.title,
  pageDir: options.normalPageDir || '../files/mobile/',
});
