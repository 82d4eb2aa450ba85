import { el, icon, ICONS } from '../core/dom.js';
import { cssColor, linkTarget, PlayerSettings } from '../core/settings.js';
import { loadBookBytes, bookXmlText } from '../core/bookFile.js';
import { parseBook } from '../core/bookModel.js';
import { fitPage } from '../core/pageBox.js';
import { findNumbering } from './pageNumbering.js';
import { pageTargets } from '../core/pageTargets.js';
import { LinkMedia, linkElement } from '../core/linkMedia.js';
import { textKit } from '../core/later.js';

const NEAR = 1, KEEP = 4, SWIPE = 40;

// A touch-first single-page book over the phone pages in ../files/mobile/. The book description
// beside them, where it can be read, gives each page's size, the page links and the reading
// direction.
// config: { count, width, height, title, pageDir, links, linkColor, linkAlpha, openWindow }, links
// (when given) one list per page of { x, y, width, height, page | url } as the book description has them.
export class MobileBook {
  constructor(root, config) {
    this.root = root;
    this.config = config;
    this.current = 0;
    this.openedHash = location.hash;
    Promise.all([findNumbering(config.pageDir), readBook(config.pageDir)]).then(([numbering, book]) => {
      this.numbering = numbering;
      this.book = book;
      this.rightToLeft = !!book && new PlayerSettings(book.settings).flag('rightToLeft', false);
      this.build();
      this.show(this.hashPage());
      this.afterFirstPage();
    });
    globalThis.leafmillMobile = this;
  }

  build() {
    const c = this.config;
    this.slides = Array.from({ length: c.count }, (_, index) => this.slide(index));
    this.track = el('div', { class: 'lm-m-track' }, this.slides);
    this.indicator = el('span', { class: 'lm-m-indicator', 'aria-live': 'polite' });
    const button = (id, label, step) => el('button', { type: 'button', class: 'lm-m-button lm-m-' + id, 'aria-label': label, onclick: () => this.show(this.current + step) }, icon(ICONS[id]));
    this.bar = el('nav', { class: 'lm-m-bar' }, button('previous', 'Previous page', -1), this.indicator, button('next', 'Next page', 1));
    this.root.replaceChildren(el('div', { class: 'lm-m-app', dir: this.rightToLeft ? 'rtl' : 'ltr', style: { '--lm-link': cssColor(c.linkColor, '#808080'), '--lm-link-alpha': String(parseFloat(c.linkAlpha) || 0.5) } },
      c.title ? el('header', { class: 'lm-m-header', title: c.title }, c.title) : null,
      el('main', { class: 'lm-m-stage' }, this.track), this.bar));
    this.listen();
    new LinkMedia(this.root, () => 'Close');
    window.addEventListener('resize', () => this.fit());
    globalThis.visualViewport?.addEventListener('resize', () => this.sharpen());
  }

  // Once the first page is painted: the pages' text, and sharper pictures where the screen needs them.
  afterFirstPage() {
    const img = this.slides[this.current]?.querySelector('img');
    const painted = img ? img.decode().catch(() => {}) : Promise.resolve();
    painted.then(() => requestAnimationFrame(() => {
      this.painted = true;
      this.sharpen();
      if (this.book?.pages.some((page) => page.text)) textKit().then((kit) => { this.text = kit?.forMobile(this, this.bar); });
    }));
  }

  // The zoom tier of the book description, when the page on show needs more pixels than it has.
  sharpen() {
    const page = this.book?.pages.length === this.config.count ? this.book.pages[this.current] : null;
    const img = this.slides?.[this.current]?.querySelector('img');
    if (!this.painted || !page || !img?.naturalWidth || img.dataset.sharp || page.large === page.normal || /\.swf$/i.test(page.large)) return;
    const pixels = img.getBoundingClientRect().width * devicePixelRatio * (globalThis.visualViewport?.scale ?? 1);
    if (pixels <= img.naturalWidth + 1) return;
    img.dataset.sharp = 'on';
    img.src = this.config.pageDir.replace(/files\/mobile\/?$/, '') + page.large.replace(/^\.\//, '');
  }

  slide(index) {
    const img = el('img', { alt: 'Page ' + (index + 1), draggable: 'false' });
    const slide = el('div', { class: 'lm-m-page', 'data-page': String(index), hidden: true }, img, this.linkElements(index));
    img.addEventListener('load', () => {
      if (!this.declaredSize(index)) this.fit();
      if (index === this.current) this.sharpen();
    });
    return slide;
  }

  declaredSize(index) {
    return this.book?.pages.length === this.config.count ? this.book.pages[index].size : null;
  }

  // The page on show fills the stage at its own shape: the size the book declares, else its
  // picture's, else the book's.
  fit() {
    const slide = this.slides[this.current];
    if (!slide) return;
    const img = slide.querySelector('img');
    const size = this.declaredSize(this.current) ?? (img.naturalWidth ? { width: img.naturalWidth, height: img.naturalHeight } : this.config);
    Object.assign(slide.style, fitPage(size.width, size.height, this.track.clientWidth, this.track.clientHeight));
  }

  // The page's own list names PDF pages: they go through the book description's record of the
  // imported pages, as the description's links already have.
  links(index) {
    if (!Array.isArray(this.config.links)) return this.book?.links[index] ?? [];
    this.target ??= pageTargets(this.book?.pages.map((page) => page.pdfPage) ?? []);
    return (this.config.links[index] ?? []).map((link) => (link.page === undefined ? link : { ...link, page: this.target(link.page + 1) }))
      .filter((link) => link.page !== null);
  }

  linkElements(index) {
    return this.links(index).map((link) => linkElement(link, { className: 'lm-m-link', base: '../', target: linkTarget(this.config.openWindow), pageLabel: (n) => 'Page ' + n }));
  }

  // Swipes and taps go the way the finger points: towards the next page on the reading side.
  listen() {
    const ahead = this.rightToLeft ? -1 : 1;
    let start = null;
    this.track.addEventListener('touchstart', (e) => { start = { x: e.touches[0].clientX, y: e.touches[0].clientY }; }, { passive: true });
    this.track.addEventListener('touchend', (e) => {
      if (!start) return;
      const dx = e.changedTouches[0].clientX - start.x, dy = e.changedTouches[0].clientY - start.y;
      start = null;
      if (Math.abs(dx) > SWIPE && Math.abs(dx) > Math.abs(dy)) this.show(this.current + (dx < 0 ? ahead : -ahead));
    });
    this.track.addEventListener('click', (e) => {
      const link = e.target.closest('a');
      if (link?.dataset.goto) {
        e.preventDefault();
        this.show(parseInt(link.dataset.goto, 10));
      } else if (!link) {
        const box = this.track.getBoundingClientRect();
        const x = (e.clientX - box.left) / box.width;
        if (x < 0.3) this.show(this.current - ahead);
        if (x > 0.7) this.show(this.current + ahead);
      }
    });
    document.addEventListener('keydown', (e) => {
      if (e.key === 'ArrowRight') this.show(this.current + ahead);
      if (e.key === 'ArrowLeft') this.show(this.current - ahead);
      if (e.key === 'PageDown') this.show(this.current + 1);
      if (e.key === 'PageUp') this.show(this.current - 1);
    });
  }

  hashPage() {
    const match = location.hash.match(/p=(\d+)/);
    return match ? parseInt(match[1], 10) - 1 : 0;
  }

  show(index) {
    if (!this.slides || !this.config.count) return;
    this.current = Math.min(this.config.count - 1, Math.max(0, index));
    this.slides.forEach((slide, i) => {
      slide.hidden = i !== this.current;
      const img = slide.querySelector('img');
      if (Math.abs(i - this.current) <= NEAR) this.load(img, i);
      else if (Math.abs(i - this.current) > KEEP) {
        img.removeAttribute('src');
        delete img.dataset.sharp;
      }
    });
    this.fit();
    this.sharpen();
    this.text?.shown([this.current]);
    this.indicator.textContent = this.current + 1 + ' / ' + this.config.count;
    history.replaceState(null, '', '#p=' + (this.current + 1));
  }

  load(img, index) {
    if (!img.getAttribute('src')) img.src = this.config.pageDir + (index + this.numbering.first) + '.' + this.numbering.extension;
  }
}

// The book description of the published folder that holds the phone pages, or null.
function readBook(pageDir) {
  const folder = pageDir.replace(/files\/mobile\/?$/, '');
  if (folder === pageDir) return Promise.resolve(null);
  return loadBookBytes(folder).then((bytes) => parseBook(bookXmlText(bytes))).catch(() => null);
}
