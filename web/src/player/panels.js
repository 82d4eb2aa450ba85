import { el, icon, ICONS } from '../core/dom.js';
import { OutlineTree } from './outlineTree.js';

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

// The grid is built when the panel first opens; the browser then loads the thumbnails lazily.
export class ThumbnailPanel extends Panel {
  constructor(pages, images, texts, goTo, onClose) {
    super('thumbnails', texts, onClose);
    this.pages = pages;
    this.images = images;
    this.goTo = goTo;
    this.items = null;
    this.visible = [];
  }

  show(open) {
    if (open && !this.items) {
      this.items = this.pages.map((page, index) => el('button', { type: 'button', class: 'lm-thumb', onclick: () => this.goTo(index) },
        el('img', { alt: '', loading: 'lazy', src: this.images.url(page.thumb) }), el('span', {}, String(index + 1))));
      this.body.append(el('div', { class: 'lm-thumb-grid' }, this.items));
      this.labelItems();
      this.markCurrent(this.visible);
    }
    super.show(open);
  }

  markCurrent(visible) {
    this.visible = visible;
    this.items?.forEach((item, index) => {
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

// The outline as a tree: only the first level shows at first; the section of the page on show is
// marked, opened and scrolled to.
export class OutlinePanel extends Panel {
  constructor(entries, texts, goTo, onClose) {
    super('outline', texts, onClose);
    this.entries = entries;
    this.goTo = goTo;
    this.visible = [];
    this.empty = el('p', { class: 'lm-panel-empty' });
    this.relabel();
  }

  // The entries may still be read when the player starts: the tree is made at the first showing.
  show(open) {
    if (open && !this.tree && this.entries.length) {
      this.tree = new OutlineTree(this.entries, this.goTo, 'lm-panel-outline');
      this.body.replaceChildren(this.tree.element);
    } else if (open && !this.tree) this.body.replaceChildren(this.empty);
    if (!this.tree) return super.show(open);
    this.element.hidden = !open;
    if (!open) return;
    this.tree.markCurrent(this.visible, this.body);
    this.tree.focusedRow().focus();
  }

  markCurrent(visible) {
    this.visible = visible;
    if (this.open) this.tree?.markCurrent(visible, this.body);
  }

  relabel() {
    super.relabel();
    if (this.empty) this.empty.textContent = this.texts.get('msgNoOutline');
  }
}
