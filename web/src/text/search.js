import { el, icon, ICONS } from '../core/dom.js';
import { foldQuery, findInPage, snippet } from './pageText.js';

// Rows of the result list are made a hundred at a time, as the list scrolls to its end.
const ROWS = 100;

// Search through the whole book: a field (the host's, in its toolbar, or one of its own in the
// panel), the results with page numbers and snippets, and a walk through the hits (Enter,
// Shift+Enter). Pages whose text is not loaded yet are fetched while searching, with progress.
// host: { pages, texts, goTo(index), changed(), field? }, pageTexts: PageTexts.
export class Search {
  constructor(host, pageTexts) {
    this.host = host;
    this.pageTexts = pageTexts;
    this.hits = [];
    this.current = -1;
    this.run = 0;
    const t = (key) => host.texts.get(key);
    this.input = host.field ?? el('input', { type: 'search', class: 'lm-search-input', autocomplete: 'off', enterkeyhint: 'search',
      'aria-label': t('lblSearch'), placeholder: t('lblSearch'), onkeydown: (e) => {
        e.stopPropagation();
        if (this.keyPressed(e.key, e.shiftKey)) e.preventDefault();
      } });
    this.status = el('p', { class: 'lm-search-status', role: 'status' });
    this.list = el('ol', { class: 'lm-search-results' });
    this.rendered = 0;
    this.more = el('li', { class: 'lm-search-more', 'aria-hidden': 'true' });
    new IntersectionObserver((seen) => { if (seen.some((e) => e.isIntersecting)) this.renderUpTo(this.rendered + ROWS); }).observe(this.more);
    const walk = (key, path, step) => el('button', { type: 'button', class: 'lm-button', 'aria-label': t(key), title: t(key), onclick: () => this.step(step) }, icon(path));
    this.closeButton = el('button', { type: 'button', class: 'lm-button lm-close', 'aria-label': t('btnClose'), onclick: () => this.show(false) }, icon(ICONS.close));
    this.element = el('aside', { class: 'lm-panel lm-panel-search', hidden: true, 'aria-labelledby': 'lm-panel-search' },
      el('div', { class: 'lm-panel-head' }, el('h2', { class: 'lm-panel-title', id: 'lm-panel-search' }, t('btnSearch')), this.closeButton),
      el('div', { class: 'lm-search-bar' }, host.field ? null : this.input, walk('btnPrevResult', 'M12 7l7 8H5z', -1), walk('btnNextResult', 'M12 17l7-8H5z', 1)),
      el('div', { class: 'lm-panel-body' }, this.status, this.list));
  }

  get open() {
    return !this.element.hidden;
  }

  // Fetching every page's text starts when the field is opened or takes the focus.
  prefetch() {
    this.host.pages.forEach((_, index) => this.pageTexts.searchText(index));
  }

  show(open, query) {
    this.element.hidden = !open;
    this.host.opened?.(open);
    if (!open) return this.host.changed();
    this.prefetch();
    if (query !== undefined) {
      this.input.value = query;
      this.find(query, true);
    }
    this.input.focus();
    this.input.select();
  }

  // Escape closes; Enter searches for new words, or walks on to the next hit (back with Shift).
  // True when the key was taken.
  keyPressed(key, back) {
    if (key === 'Escape') {
      this.show(false);
      return true;
    }
    if (key !== 'Enter') return false;
    if (!this.open) this.show(true);
    if (foldQuery(this.input.value) !== this.query) this.find(this.input.value, true);
    else this.step(back ? -1 : 1);
    return true;
  }

  // Lists the hits page by page as their texts arrive; goes to the first when asked.
  async find(text, goToFirst) {
    const run = ++this.run, query = foldQuery(text), t = (key) => this.host.texts.get(key);
    this.query = query;
    this.hits = [];
    this.current = -1;
    this.rendered = 0;
    this.list.replaceChildren();
    this.host.changed();
    if (!query) return this.status.replaceChildren();
    this.element.dataset.state = 'searching';
    const count = this.host.pages.length;
    const loads = this.host.pages.map((_, index) => this.pageTexts.searchText(index));
    for (let index = 0; index < count; index++) {
      const page = await loads[index];
      if (run !== this.run) return;
      for (const hit of page ? findInPage(page, query) : []) this.hits.push({ ...hit, page: index, text: page.text });
      if (goToFirst && this.current < 0 && this.hits.length) this.select(0);
      if (index % 25 === 0) {
        this.renderUpTo(ROWS);
        this.status.textContent = t('msgSearching').replace('%1', String(index + 1)).replace('%2', String(count));
      }
    }
    this.renderUpTo(ROWS);
    this.status.textContent = this.hits.length ? t('lblResultCount').replace('%1', String(this.hits.length)) : t('msgNoResults');
    this.element.dataset.state = 'done';
    this.host.changed();
  }

  renderUpTo(count) {
    const rows = [];
    for (; this.rendered < Math.min(count, this.hits.length); this.rendered++) rows.push(this.row(this.rendered));
    this.list.append(...rows, this.more);
    this.more.hidden = this.rendered >= this.hits.length;
  }

  row(number) {
    const hit = this.hits[number], part = snippet(hit.text, hit);
    return el('li', {}, el('button', { type: 'button', class: 'lm-search-hit', 'data-hit': String(number), onclick: () => this.select(number) },
      el('span', { class: 'lm-search-page' }, this.host.texts.page(hit.page + 1)),
      el('span', { class: 'lm-search-snippet' }, part.before, el('mark', {}, part.match), part.after)));
  }

  step(direction) {
    if (!this.hits.length) return;
    this.select((this.current + direction + this.hits.length) % this.hits.length);
  }

  select(number) {
    this.current = number;
    const hit = this.hits[number];
    this.renderUpTo(number + 1);
    this.list.querySelectorAll('[aria-current]').forEach((item) => item.removeAttribute('aria-current'));
    const item = this.list.querySelector('[data-hit="' + number + '"]');
    item?.setAttribute('aria-current', 'true');
    item?.scrollIntoView({ block: 'nearest' });
    this.host.goTo(hit.page);
    this.host.changed();
  }

  // The hits on one page and the current one, for the page's highlights.
  hitsOn(index) {
    return { hits: this.open ? this.hits.filter((hit) => hit.page === index) : [], current: this.hits[this.current] };
  }
}
