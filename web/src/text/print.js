import { el } from '../core/dom.js';

// Printing: the pages on show or a range, one page per sheet, from the sharpest picture the book
// has. A small dialog asks which; the sheets exist only while the browser prints.
export class Printer {
  // host: { pages, url(address), shown(), texts, container }
  constructor(host) {
    this.host = host;
    const t = (key) => host.texts.get(key);
    const count = String(host.pages.length);
    const number = (value) => el('input', { type: 'number', class: 'lm-print-number', min: '1', max: count, value, inputmode: 'numeric' });
    this.spread = el('input', { type: 'radio', name: 'lm-print-what', value: 'spread', checked: true });
    this.range = el('input', { type: 'radio', name: 'lm-print-what', value: 'range' });
    this.from = number('1');
    this.to = number(count);
    for (const field of [this.from, this.to]) field.addEventListener('input', () => { this.range.checked = true; });
    this.element = el('div', { class: 'lm-print-dialog', role: 'dialog', 'aria-modal': 'true', 'aria-labelledby': 'lm-print-title', hidden: true,
      onkeydown: (e) => { e.stopPropagation(); if (e.key === 'Escape') this.show(false); } },
      el('form', { class: 'lm-print-form', onsubmit: (e) => { e.preventDefault(); this.printChosen(); } },
        el('h2', { id: 'lm-print-title' }, t('btnPrint')),
        el('label', {}, this.spread, ' ' + t('lblPrintShown')),
        el('label', {}, this.range, ' ' + t('lblPrintRange') + ' ', this.from, ' ' + t('lblPrintTo') + ' ', this.to),
        el('div', { class: 'lm-print-actions' },
          el('button', { type: 'button', onclick: () => this.show(false) }, t('btnCancel')),
          el('button', { type: 'submit', class: 'lm-print-go' }, t('btnPrint')))));
    host.container.append(this.element);
  }

  show(open) {
    this.element.hidden = !open;
    if (open) this.element.querySelector('.lm-print-go').focus();
    else this.host.closed?.('print');
  }

  // The chosen pages as 0-based indices, in order; a reversed range is read forwards.
  chosen() {
    if (this.spread.checked) return this.host.shown();
    const last = this.host.pages.length;
    const clamp = (field) => Math.min(last, Math.max(1, parseInt(field.value, 10) || 1));
    const [from, to] = [clamp(this.from), clamp(this.to)].sort((a, b) => a - b);
    return Array.from({ length: to - from + 1 }, (_, i) => from - 1 + i);
  }

  printChosen() {
    this.show(false);
    return this.print(this.chosen());
  }

  async print(indices) {
    document.querySelector('.lm-print-sheets')?.remove();
    const images = indices.map((index) => el('img', { class: 'lm-print-page', alt: this.host.texts.page(index + 1), src: this.picture(index) }));
    const sheets = el('div', { class: 'lm-print-sheets', 'aria-hidden': 'true' }, images);
    document.body.append(sheets);
    document.body.classList.add('lm-printing');
    await Promise.all(images.map((img) => img.decode().catch(() => {})));
    window.addEventListener('afterprint', () => {
      sheets.remove();
      document.body.classList.remove('lm-printing');
    }, { once: true });
    window.print();
    return sheets;
  }

  // The zoom tier where there is one; SWF pages print the picture beside the movie.
  picture(index) {
    const page = this.host.pages[index];
    const path = page.image || ([page.large, page.normal].find((p) => p && !/\.swf$/i.test(p)) ?? page.thumb);
    return this.host.url(path);
  }
}
