import { el, icon, ICONS } from '../core/dom.js';

// A side panel with a heading and a close button; focus moves into it when it opens.
class Panel {
  constructor(kind, texts, onClose) {
    this.texts = texts;
    this.kind = kind;
    this.heading = el('h2', { class: 'lm-panel-title', id: 'lm-panel-' + kind });
    this.closeButton = el('button', { type: 'button', class: 'lm-button lm-close', onclick: onClose }, icon(ICONS.close));
    this.body = el('div', { class: 'lm-panel-body' });
    this.element = el('aside', { class: 'lm-panel lm-panel-' + kind, hidden: true, 'aria-labelledby': 'lm-panel-' + kind },
      el('div', { class: 'lm-panel-head' }, this.heading, this.closeButton), this.body);
    this.relabel();
  }

  get open() {
    return !this.element.hidden;
  }

  show(open) {
    this.element.hidden = !open;
    if (open) (this.body.querySelector('[aria-current="page"]') || this.body.querySelector('button'))?.focus();
  }

  relabel() {
    this.heading.textContent = this.texts.get(this.kind === 'thumbnails' ? 'lblThumbnails' : 'lblOutline');
    this.closeButton.setAttribute('aria-label', this.texts.get('btnClose'));
  }
}

export class ThumbnailPanel extends Panel {
  constructor(pages, images, texts, goTo, onClose) {
    super('thumbnails', texts, onClose);
    this.items = pages.map((page, index) => {
      const img = el('img', { alt: '', loading: 'lazy', 'data-src': images.url(page.thumb) });
      const label = el('span', {}, String(index + 1));
      return el('button', { type: 'button', class: 'lm-thumb', onclick: () => goTo(index) }, img, label);
    });
    this.body.append(el('div', { class: 'lm-thumb-grid' }, this.items));
    this.labelItems();
  }

  // Thumbnail images are asked for only once the panel is opened, and then lazily by the browser.
  show(open) {
    if (open) for (const img of this.body.querySelectorAll('img[data-src]')) {
      img.src = img.dataset.src;
      img.removeAttribute('data-src');
    }
    super.show(open);
  }

  markCurrent(visible) {
    this.items.forEach((item, index) => {
      if (visible.includes(index)) item.setAttribute('aria-current', 'page');
      else item.removeAttribute('aria-current');
    });
  }

  relabel() {
    super.relabel();
    if (this.items) this.labelItems();
  }

  labelItems() {
    this.items.forEach((item, index) => item.setAttribute('aria-label', this.texts.page(index + 1)));
  }
}

export class OutlinePanel extends Panel {
  constructor(entries, texts, goTo, onClose) {
    super('outline', texts, onClose);
    const list = (items) => el('ul', {}, items.map((entry) =>
      el('li', {},
        el('button', { type: 'button', class: 'lm-outline-entry', onclick: () => goTo(entry.page) }, entry.caption),
        entry.items.length ? list(entry.items) : null)));
    this.empty = el('p', { class: 'lm-panel-empty' });
    this.body.append(entries.length ? list(entries) : this.empty);
    this.relabel();
  }

  relabel() {
    super.relabel();
    if (this.empty) this.empty.textContent = this.texts.get('msgNoOutline');
  }
}
