import { el, icon, ICONS } from '../core/dom.js';
import { Texts } from '../core/texts.js';
import { PlayerSettings } from '../core/settings.js';
import { PageTexts } from './pageText.js';
import { TextLayer, copyFromLayers } from './textLayer.js';
import { Search } from './search.js';
import { Printer } from './print.js';

// The players load this part after their first page is painted: the pages' text (selection,
// search, screen readers) and printing.

const KIT_TEXTS = {
  btnSearch: 'Search', btnPrint: 'Print', btnPrevResult: 'Previous result', btnNextResult: 'Next result', btnCancel: 'Cancel',
  lblSearch: 'Search the book', lblResultCount: 'Results: %1', msgSearching: 'Searching… page %1 of %2', msgNoResults: 'No results.',
  lblPrintShown: 'The pages on show', lblPrintRange: 'Pages', lblPrintTo: 'to',
};
const KEEP = 6;

function kitTexts(texts) {
  return { get: (key) => { const text = texts.get(key); return text === key ? KIT_TEXTS[key] ?? key : text; }, page: (n) => texts.page(n) };
}

// The search words of a "#search=word" address, or null.
export function searchOfHash(hash) {
  const match = /[#&]search=([^&]*)/.exec(hash || '');
  if (!match) return null;
  try {
    return decodeURIComponent(match[1].replace(/\+/g, ' '));
  } catch {
    return null;
  }
}

// host: { pages, url(address), texts, settings, container, shown(), sheet(index), goTo(index),
// aspect(index), hash, opened(open), closed(button), field?, reveal?() }
class BookText {
  constructor(host) {
    this.host = host;
    this.pageTexts = new PageTexts(host.pages, host.url);
    this.layers = new Map();
    this.wanted = [];
    const flag = (key, fallback) => host.settings.flag(key, fallback);
    this.selectable = flag('textSelection', true);
    const withText = this.pageTexts.withText;
    if (withText && flag('showSearch', true)) {
      this.search = new Search({ ...host, changed: () => this.mark() }, this.pageTexts);
      host.container.append(this.search.element);
      document.addEventListener('keydown', (e) => this.key(e));
      const words = searchOfHash(host.hash);
      if (words) this.search.show(true, words);
    }
    if (withText) copyFromLayers(() => this.layers.values());
  }

  key(event) {
    const find = (event.ctrlKey || event.metaKey) && !event.altKey && event.key.toLowerCase() === 'f';
    const slash = event.key === '/' && !event.ctrlKey && !event.metaKey && !event.target.closest?.('input, textarea, select');
    if (!find && !slash) return;
    event.preventDefault();
    if (!this.host.reveal?.()) this.search.show(true);
  }

  openSearch() {
    this.search?.show(!this.search.open);
  }

  prepareSearch() {
    this.search?.prefetch();
  }

  searchKey(key, back) {
    this.search?.keyPressed(key, back);
  }

  print() {
    this.printer ??= new Printer(this.host);
    this.printer.show(true);
  }

  // The pages on show get their text; layers of pages far away go.
  async shown(visible) {
    this.wanted = visible;
    const low = Math.min(...visible), high = Math.max(...visible);
    for (const [index, layer] of this.layers) {
      if (index >= low - KEEP && index <= high + KEEP) continue;
      layer.element.remove();
      this.layers.delete(index);
    }
    await Promise.all(visible.map(async (index) => {
      const page = await this.pageTexts.load(index);
      const sheet = this.host.sheet(index);
      if (!page || !sheet || !this.wanted.includes(index)) return;
      let layer = this.layers.get(index);
      if (!layer) {
        layer = new TextLayer(page, this.host.aspect(index), this.host.texts.page(index + 1));
        layer.element.classList.toggle('lm-text-fixed', !this.selectable);
        this.layers.set(index, layer);
      }
      if (layer.element.parentElement !== sheet) sheet.querySelector('img').after(layer.element);
    }));
    this.mark();
  }

  mark() {
    for (const [index, layer] of this.layers) {
      const { hits, current } = this.search?.hitsOn(index) ?? { hits: [] };
      layer.mark(hits, current);
    }
  }
}

function aspectOf(page, img, fallback) {
  const size = page.size ?? (img?.naturalWidth ? { width: img.naturalWidth, height: img.naturalHeight } : fallback);
  return size.width / size.height;
}

// The template and preview players.
function forPlayer(player) {
  const text = new BookText({
    pages: player.book.pages, url: (address) => player.images.url(address), texts: kitTexts(player.texts),
    settings: player.settings, container: player.app, hash: player.openedHash,
    field: player.toolbar.searchField, reveal: () => player.toolbar.reveal('search'),
    shown: () => player.visiblePages(), sheet: (index) => player.sheets.get(index), goTo: (index) => player.goTo(index),
    aspect: (index) => aspectOf(player.book.pages[index], player.images.images.get(index), player.pageSize()),
    opened: (open) => {
      const inside = !!document.activeElement?.closest('.lm-panel-search');
      player.toolbar.setPressed('search', open);
      if (!open && inside) player.toolbar.focusButton('search');
    },
    closed: (id) => player.toolbar.focusButton(id),
  });
  text.shown(player.visiblePages());
  return text;
}

// The phone pages: the book description beside them has the pages' text addresses.
function forMobile(mobile, bar) {
  const book = mobile.book;
  if (!book || book.pages.length !== mobile.config.count) return null;
  const folder = mobile.config.pageDir.replace(/files\/mobile\/?$/, '');
  const text = new BookText({
    pages: book.pages, url: (address) => folder + address.replace(/^\.\//, ''), texts: kitTexts(new Texts(book.languages)),
    settings: new PlayerSettings(book.settings), container: mobile.root.firstElementChild, hash: mobile.openedHash,
    shown: () => [mobile.current], sheet: (index) => mobile.slides[index], goTo: (index) => mobile.show(index),
    aspect: (index) => aspectOf(book.pages[index], mobile.slides[index].querySelector('img'), mobile.config),
  });
  if (text.search) {
    const label = text.host.texts.get('btnSearch');
    bar.insertBefore(el('button', { type: 'button', class: 'lm-m-button lm-m-search', 'aria-label': label, title: label,
      onclick: () => text.openSearch() }, icon(ICONS.search)), bar.lastElementChild);
  }
  text.shown([mobile.current]);
  return text;
}

globalThis.leafmillTextKit = { forPlayer, forMobile };
