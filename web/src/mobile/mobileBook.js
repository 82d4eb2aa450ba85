import { el, icon, ICONS } from '../core/dom.js';
import { cssColor, linkTarget, safeUrl } from '../core/settings.js';
import { findNumbering } from './pageNumbering.js';

// A touch-first single-page book over the phone pages in ../files/mobile/.
// config: { count, width, height, title, pageDir, links, linkColor, linkAlpha, openWindow }
export class MobileBook {
  constructor(root, config) {
    this.root = root;
    this.config = config;
    this.current = 0;
    this.build();
    findNumbering(config.pageDir).then((numbering) => {
      this.numbering = numbering;
      this.show(this.hashPage());
    });
    globalThis.leafmillMobile = this;
  }

  build() {
    const c = this.config;
    this.slides = Array.from({ length: c.count }, (_, index) => el('div', { class: 'lm-m-page', 'data-page': String(index), hidden: true },
      el('img', { alt: 'Page ' + (index + 1), draggable: 'false' }), this.linkElements(index)));
    this.track = el('div', { class: 'lm-m-track' }, this.slides);
    this.indicator = el('span', { class: 'lm-m-indicator', 'aria-live': 'polite' });
    const button = (id, label, handler) => el('button', { type: 'button', class: 'lm-m-button lm-m-' + id, 'aria-label': label, onclick: handler }, icon(ICONS[id]));
    this.root.replaceChildren(el('div', { class: 'lm-m-app', style: { '--lm-link': cssColor(c.linkColor, '#808080'), '--lm-link-alpha': String(parseFloat(c.linkAlpha) || 0.5) } },
      c.title ? el('header', { class: 'lm-m-header' }, c.title) : null,
      el('main', { class: 'lm-m-stage' }, this.track),
      el('nav', { class: 'lm-m-bar' }, button('previous', 'Previous page', () => this.show(this.current - 1)), this.indicator,
        button('next', 'Next page', () => this.show(this.current + 1)))));
    this.listen();
    window.addEventListener('resize', () => this.fit());
    this.fit();
  }

  // Pages keep the book's proportions and fill the stage.
  fit() {
    const { width, height } = this.config;
    const scale = Math.min(this.track.clientWidth / width, this.track.clientHeight / height);
    this.track.style.setProperty('--page-w', Math.floor(width * scale) + 'px');
    this.track.style.setProperty('--page-h', Math.floor(height * scale) + 'px');
  }

  // Links of the page at a position, from the page-links script form (all values are strings).
  linkElements(index) {
    const links = Array.isArray(this.config.links?.[index]) ? this.config.links[index] : [];
    return links.map((link) => {
      const action = link.action || {}, box = link.location || {};
      const goTo = /GotoPage$/.test(action.actionType || '') ? parseInt(action.pageIndex, 10) - 1 : null;
      const url = goTo === null ? safeUrl(action.url) : '';
      if (goTo === null && !url) return null;
      return el('a', {
        class: 'lm-m-link', href: url || '#p=' + (goTo + 1),
        target: url ? linkTarget(this.config.openWindow) : null,
        'data-goto': goTo === null ? null : String(goTo),
        style: { left: box.x * 100 + '%', top: box.y * 100 + '%', width: box.width * 100 + '%', height: box.height * 100 + '%' },
      });
    });
  }

  listen() {
    let start = null;
    this.track.addEventListener('touchstart', (e) => { start = { x: e.touches[0].clientX, y: e.touches[0].clientY }; }, { passive: true });
    this.track.addEventListener('touchend', (e) => {
      if (!start) return;
      const dx = e.changedTouches[0].clientX - start.x, dy = e.changedTouches[0].clientY - start.y;
      start = null;
      if (Math.abs(dx) > 40 && Math.abs(dx) > Math.abs(dy)) this.show(this.current + (dx < 0 ? 1 : -1));
    });
    this.track.addEventListener('click', (e) => {
      const link = e.target.closest('a');
      if (link?.dataset.goto) {
        e.preventDefault();
        this.show(parseInt(link.dataset.goto, 10));
      } else if (!link) {
        const box = this.track.getBoundingClientRect();
        const x = (e.clientX - box.left) / box.width;
        if (x < 0.3) this.show(this.current - 1);
        if (x > 0.7) this.show(this.current + 1);
      }
    });
    document.addEventListener('keydown', (e) => {
      if (e.key === 'ArrowRight' || e.key === 'PageDown') this.show(this.current + 1);
      if (e.key === 'ArrowLeft' || e.key === 'PageUp') this.show(this.current - 1);
    });
  }

  hashPage() {
    const match = location.hash.match(/p=(\d+)/);
    return match ? parseInt(match[1], 10) - 1 : 0;
  }

  show(index) {
    if (!this.numbering || !this.config.count) return;
    this.current = Math.min(this.config.count - 1, Math.max(0, index));
    this.slides.forEach((slide, i) => {
      slide.hidden = i !== this.current;
      if (Math.abs(i - this.current) <= 1) this.load(slide, i);
    });
    this.indicator.textContent = this.current + 1 + ' / ' + this.config.count;
    history.replaceState(null, '', '#p=' + (this.current + 1));
  }

  load(slide, index) {
    const img = slide.querySelector('img');
    if (img.getAttribute('src')) return;
    img.src = this.config.pageDir + (index + this.numbering.first) + '.' + this.numbering.extension;
  }
}
