import { loadBookBytes, bookXmlText, BookError } from '../core/bookFile.js';
import { startReadingBook } from '../core/bookModel.js';
import { PlayerSettings, linkTarget, safeUrl } from '../core/settings.js';
import { LinkMedia, linkElement } from '../core/linkMedia.js';
import { Texts } from '../core/texts.js';
import { el } from '../core/dom.js';
import { fitPage } from '../core/pageBox.js';
import { PageImages } from './pageImages.js';
import { flipOrder } from './flipOrder.js';
import { Toolbar } from './toolbar.js';
import { ThumbnailPanel, OutlinePanel } from './panels.js';
import { Zoom } from './zoom.js';
import { PageDrag } from './pageDrag.js';
import { FlipSound } from './flipSound.js';
import { textKit } from '../core/later.js';

// Opens the book published in the folder at baseUrl inside root; a book that cannot be read
// leaves a message saying why. The first pages are asked for before the page links and the
// outline are read.
export async function openBook(root, baseUrl = '') {
  root.replaceChildren(el('div', { class: 'lm-message', role: 'status' }, 'Loading the book…'));
  try {
    const reading = startReadingBook(bookXmlText(await loadBookBytes(baseUrl)));
    const player = new BookPlayer(root, reading.book, baseUrl);
    await Promise.resolve();
    player.start();
    await player.firstPictures();
    reading.readRest();
    player.restRead();
    player.painted();
    globalThis.leafmillPlayer = player;
    return player;
  } catch (error) {
    const message = error instanceof BookError ? error.message : 'The book could not be shown: ' + error;
    if (!(error instanceof BookError)) console.error(error);
    root.replaceChildren(el('div', { class: 'lm-message lm-error', role: 'alert' }, message));
    return null;
  }
}

const PREVIEW_PAGE_KEY = 'leafmill.previewPage';

export class BookPlayer {
  constructor(root, book, baseUrl) {
    this.root = root;
    this.book = book;
    this.settings = new PlayerSettings(book.settings);
    this.texts = new Texts(book.languages);
    this.rightToLeft = this.settings.flag('rightToLeft', false);
    this.order = flipOrder(book.pages.length, this.rightToLeft);
    this.images = new PageImages(book.pages, baseUrl);
    if (book.pages.length) this.images.prefetch(this.spreadOf(this.startPage()));
    this.sheets = new Map();
    this.autoFlipTimer = null;
    this.openedHash = location.hash;
  }

  // After the first page: sharper pictures where the screen needs them, then the pages' text.
  painted() {
    this.isPainted = true;
    if (!this.pageFlip) return;
    this.sharpen();
    const wanted = this.book.pages.some((page) => page.text) || this.settings.flag('showPrint', false);
    if (wanted) this.textPart = textKit().then((kit) => kit?.forPlayer(this));
  }

  sharpen() {
    if (this.isPainted && ['read', 'fold_corner'].includes(this.pageFlip?.getState())) this.images.sharpen(this.visiblePages());
  }

  withText(action, ...args) {
    (this.textPart ??= textKit().then((kit) => kit?.forPlayer(this))).then((text) => text?.[action](...args));
  }

  // Enter in the toolbar's search field searches (again: the next hit), Escape closes the results.
  searchKey(event) {
    if (event.key !== 'Enter' && event.key !== 'Escape') return;
    event.preventDefault();
    this.withText('searchKey', event.key, event.shiftKey);
  }

  // The pictures asked for in the constructor are fetched while the view is made.
  start() {
    const book = this.book;
    this.sound = new FlipSound(this.fileUrl('flipSound'));
    this.buildView();
    this.applyLook();
    if (book.pages.length) this.startFlipping();
    else this.toolbar.showPage('0', 0);
    if (this.settings.flag('autoFlip', false)) this.toggleAutoFlip();
  }

  // Settles once the pages on show have their pictures, or could not get them, and a frame has
  // drawn them; after a second at the latest (hidden pages draw no frames).
  firstPictures() {
    const images = this.pageFlip ? this.visiblePages().map((index) => this.images.images.get(index)) : [];
    const decoded = Promise.all(images.map((img) => img?.decode().catch(() => {})));
    const drawn = () => new Promise((done) => requestAnimationFrame(() => setTimeout(done)));
    return Promise.race([decoded.then(drawn), new Promise((done) => setTimeout(done, 1000))]);
  }

  // The page links and the outline have been read.
  restRead() {
    this.linksRead = true;
    if (this.pageFlip) this.addLinksAround(this.visiblePages());
  }

  fileUrl(name) {
    const path = this.settings.text(name);
    return path ? this.images.url(path) : '';
  }

  // The download button's address, or the book's own document that publishing put beside it.
  downloadUrl() {
    const address = safeUrl(this.settings.text('downloadURL'));
    const file = this.book.downloadFile;
    return address || (file && !/^[a-z][a-z0-9+.-]*:|^\/|\.\./i.test(file) ? this.images.url(file) : '');
  }

  download() {
    if (safeUrl(this.settings.text('downloadURL'))) {
      window.open(this.downloadUrl(), '_blank', 'noopener');
      return;
    }
    const link = el('a', { href: this.downloadUrl(), download: '', hidden: true });
    document.body.append(link);
    link.click();
    link.remove();
  }

  // ---- view

  buildView() {
    const s = this.settings;
    this.bookElement = el('div', { class: 'lm-book' });
    this.zoomLayer = el('div', { class: 'lm-zoom-layer' }, this.bookElement);
    this.skipLink = el('a', { class: 'lm-skip', href: '#', onclick: (e) => { e.preventDefault(); this.toolbar.focusFirst(); } },
      this.texts.get('lnkSkipToToolbar'));
    this.stage = el('main', { class: 'lm-stage' }, this.skipLink, this.zoomLayer);
    this.live = el('div', { class: 'lm-live', 'aria-live': 'polite' });
    const shown = (key, fallback = true) => s.flag(key, fallback);
    const pressed = (id) => this.toolbar?.buttons.get(id)?.getAttribute('aria-pressed') === 'true';
    this.toolbar = new Toolbar(this.texts, [
      { id: 'first', visible: true, label: () => 'btnFirstPage', handler: () => this.first() },
      { id: 'previous', visible: true, label: () => 'btnPrevPage', handler: () => this.previous() },
      { id: 'pageField' },
      { id: 'next', visible: true, label: () => 'btnNextPage', handler: () => this.next() },
      { id: 'last', visible: true, label: () => 'btnLastPage', handler: () => this.last() },
      { id: 'thumbnails', visible: shown('showThumbnails'), toggle: true, label: () => 'btnThumbnails', handler: () => this.togglePanel(this.thumbPanel) },
      { id: 'outline', visible: shown('showOutline'), toggle: true, label: () => 'btnOutline', handler: () => this.togglePanel(this.outlinePanel) },
      { id: 'zoomIn', visible: shown('showZoom'), label: () => 'btnZoomIn', handler: () => this.zoom.zoomIn() },
      { id: 'zoomOut', visible: shown('showZoom'), label: () => 'btnZoomOut', handler: () => this.zoom.zoomOut() },
      { id: 'autoFlip', visible: shown('autoFlip', false), toggle: true, label: () => (pressed('autoFlip') ? 'btnAutoFlipStop' : 'btnAutoFlipStart'), handler: () => this.toggleAutoFlip() },
      { id: 'sound', visible: shown('showSound') && this.sound.available, toggle: true, label: () => (pressed('sound') ? 'btnSoundOff' : 'btnSoundOn'), handler: () => this.toggleSound() },
      { id: 'fullscreen', visible: shown('showFullscreen') && document.fullscreenEnabled, label: () => (document.fullscreenElement ? 'btnExitFullscreen' : 'btnFullscreen'), handler: () => this.toggleFullscreen() },
      { id: 'download', visible: shown('showDownload', false) && !!this.downloadUrl(), label: () => 'btnDownload', handler: () => this.download() },
      { id: 'share', visible: shown('showShare'), label: () => 'btnShare', handler: () => this.share() },
      { id: 'searchField', visible: shown('showSearch') && this.book.pages.some((page) => page.text),
        handler: (e) => this.searchKey(e), onFocus: () => this.withText('prepareSearch') },
      { id: 'print', visible: shown('showPrint', false), label: () => 'btnPrint', handler: () => this.withText('print') },
    ], (text) => this.goTo(parseInt(text, 10) - 1), (index) => this.chooseLanguage(index));
    this.toolbar.setPressed('sound', this.sound.on);
    const goTo = (page) => this.goTo(page);
    this.thumbPanel = new ThumbnailPanel(this.book.pages, this.images, this.texts, goTo, () => this.togglePanel(this.thumbPanel));
    this.outlinePanel = new OutlinePanel(this.book.outline, this.texts, goTo, () => this.togglePanel(this.outlinePanel));
    this.notice = el('div', { class: 'lm-notice', role: 'status', hidden: true });
    const toolbarOnTop = s.text('toolbarPosition', 'Bottom').toLowerCase() === 'top';
    this.app = el('div', { class: 'lm-app' + (toolbarOnTop ? ' lm-toolbar-top' : ''), dir: this.rightToLeft ? 'rtl' : 'ltr' },
      this.header(), this.stage, this.toolbar.element, this.thumbPanel.element, this.outlinePanel.element, this.notice, this.live);
    this.toolbar.showPage('', this.book.pages.length);
    this.root.replaceChildren(this.app);
    this.toolbar.fit();
    window.addEventListener('resize', () => this.toolbar.fit());
    this.zoom = new Zoom(this.stage, this.zoomLayer, (scale) => this.zoomed(scale));
    document.addEventListener('keydown', (e) => this.key(e));
    this.app.addEventListener('click', (e) => this.linkClicked(e));
    this.linkMedia = new LinkMedia(this.app, () => this.texts.get('btnClose'));
    document.addEventListener('fullscreenchange', () => this.toolbar.relabel());
  }

  header() {
    const title = this.settings.text('bookTitle', document.title);
    const logo = this.fileUrl('logoFile');
    const logoImage = logo ? el('img', { class: 'lm-logo', src: logo, alt: title }) : null;
    const link = safeUrl(this.settings.text('logoLink'));
    return el('header', { class: 'lm-header' },
      logoImage && link ? el('a', { href: link, target: '_blank', rel: 'noopener' }, logoImage) : logoImage,
      el('h1', { class: 'lm-title', title }, title));
  }

  applyLook() {
    const s = this.settings;
    const style = this.app.style;
    style.setProperty('--lm-background', s.color('backgroundColor', '#2f4f6f'));
    style.setProperty('--lm-bar', s.color('toolbarColor', '#1e2b38'));
    style.setProperty('--lm-icon', s.color('toolbarIconColor', '#ffffff'));
    style.setProperty('--lm-link', s.color('linkOverColor', '#808080'));
    style.setProperty('--lm-link-alpha', String(s.number('linkOverColorAlpha', 0.5)));
    const background = this.fileUrl('backgroundImage');
    if (background) {
      style.setProperty('--lm-background-image', 'url("' + background.replace(/["\\\n]/g, encodeURIComponent) + '")');
      this.app.dataset.backgroundFit = s.text('backgroundImagePosition', 'Fill').toLowerCase();
    }
  }

  pageElement(index) {
    if (index < 0) return el('div', { class: 'lm-page lm-pad', 'aria-hidden': 'true' });
    const page = this.book.pages[index];
    const img = el('img', { class: 'lm-page-image', alt: this.texts.page(index + 1), draggable: 'false' });
    const sheet = el('div', { class: 'lm-sheet' }, img);
    img.addEventListener('error', () => { if (img.getAttribute('src')) sheet.parentElement.dataset.failed = this.texts.get('msgPageLoadFailed'); });
    // Without a declared size the picture's own shape places the page once it is known.
    if (page.size) this.placeSheet(sheet, page.size.width, page.size.height);
    else img.addEventListener('load', () => this.placeSheet(sheet, img.naturalWidth, img.naturalHeight));
    this.images.attach(index, img);
    this.sheets.set(index, sheet);
    return el('div', { class: 'lm-page', 'data-density': page.hard ? 'hard' : 'soft', 'data-page': String(index) }, sheet);
  }

  // Link elements are made for the pages around the ones on show, once the links have been read.
  addLinksAround(visible) {
    if (!this.linksRead || !visible.length) return;
    for (let index = Math.min(...visible) - 2; index <= Math.max(...visible) + 3; index++) {
      const sheet = this.sheets.get(index);
      if (!sheet || sheet.dataset.links) continue;
      sheet.dataset.links = 'on';
      const target = linkTarget(this.settings.text('linkOpenedWindow', '_blank'));
      sheet.append(...this.book.links[index].map((link) => linkElement(link, { className: 'lm-link', base: '', target, pageLabel: (n) => this.texts.page(n) })));
    }
  }

  // Every page box has the template's page shape; the page itself keeps its own inside it.
  placeSheet(sheet, width, height) {
    const box = this.pageSize();
    Object.assign(sheet.style, fitPage(width, height, box.width, box.height));
  }

  // ---- page turning

  // The page size the template holds (set from the imported document); nonsense gives 600 x 800.
  pageSize() {
    const width = this.settings.number('pageWidth', 600), height = this.settings.number('pageHeight', 800);
    return width > 0 && height > 0 ? { width, height } : { width: 600, height: 800 };
  }

  startFlipping() {
    const s = this.settings;
    const { width, height } = this.pageSize();
    const duration = s.number('flipDuration', 800);
    const elements = this.order.map((index) => this.pageElement(index));
    window.addEventListener('resize', () => this.layout());
    this.pageFlip = new globalThis.St.PageFlip(this.bookElement, {
      width, height, size: 'stretch', minWidth: 1, maxWidth: 100000, minHeight: 1, maxHeight: 100000,
      autoSize: false, showCover: true, usePortrait: true, mobileScrollSupport: true,
      drawShadow: s.flag('pageShadow', true), maxShadowOpacity: 0.5,
      flippingTime: Math.max(100, duration),
      startPage: this.flipIndexOf(this.startPage()),
    });
    this.pageFlip.on('flip', () => this.pageShown());
    this.pageFlip.on('changeState', (e) => this.stateChanged(e.data));
    this.pageFlip.on('changeOrientation', () => this.pageShown());
    this.drag = new PageDrag(this.bookElement, this.pageFlip, () => this.onePage(), () => this.zoom.zoomed);
    this.layout(false);
    this.pageFlip.loadFromHTML(elements);
    this.order.forEach((index, position) => this.pageFlip.getPage(position).setDensity(index >= 0 && this.book.pages[index].hard ? 'hard' : 'soft'));
    Object.assign(this.bookElement.style, { minWidth: '0', minHeight: '0' });
    this.layout();
    window.addEventListener('hashchange', () => this.goTo(this.hashPage() ?? this.currentPage));
    this.pageShown();
  }

  // The live preview (a book built with the external interface) reopens where the reader was.
  startPage() {
    const remembered = this.book.needExt ? parseInt(sessionStorage.getItem(PREVIEW_PAGE_KEY), 10) : NaN;
    if (Number.isFinite(remembered) && !location.hash) return this.clampPage(remembered);
    return this.hashPage() ?? this.clampPage(this.settings.number('startPage', 1) - 1);
  }

  // The pages shown together with the page: a cover alone, else the pair it belongs to.
  spreadOf(page) {
    if (page === 0) return [0];
    const left = page % 2 ? page : page - 1;
    return [left, left + 1].filter((index) => index < this.book.pages.length);
  }

  hashPage() {
    const match = location.hash.match(/[#&]p=(\d+)/);
    return match ? this.clampPage(parseInt(match[1], 10) - 1) : null;
  }

  clampPage(page) {
    return Math.min(this.book.pages.length - 1, Math.max(0, page || 0));
  }

  flipIndexOf(page) {
    return this.order.indexOf(page);
  }

  // Spreads on wide stages, single pages on narrow ones; the book fills the stage.
  layout(update = true) {
    const { width: pageW, height: pageH } = this.pageSize();
    const margin = this.zoomLayer.clientWidth < 520 ? 8 : 32;
    const w = this.zoomLayer.clientWidth - margin, h = this.zoomLayer.clientHeight - margin;
    const spreadScale = Math.min(w / (2 * pageW), h / pageH), singleScale = Math.min(w / pageW, h / pageH);
    const portrait = w < 500 || spreadScale < 0.7 * singleScale;
    const scale = portrait ? singleScale : spreadScale;
    this.bookElement.style.width = Math.floor(pageW * scale * (portrait ? 1 : 2)) + 'px';
    this.bookElement.style.height = Math.floor(pageH * scale) + 'px';
    if (!this.pageFlip) return;
    this.pageFlip.getSettings().minWidth = portrait ? w : 1;
    if (update && this.pageFlip.getUI()) this.pageFlip.update();
    this.zoom?.apply();
    this.foldCorners();
    this.sharpen();
  }

  onePage() {
    return !!this.pageFlip?.getRender() && this.pageFlip.getOrientation() === 'portrait';
  }

  // Corners fold under the mouse on spreads; a single page turns by drag (PageDrag).
  foldCorners() {
    if (this.pageFlip) this.pageFlip.getSettings().showPageCorners = !this.onePage() && !this.zoom?.zoomed;
  }

  visiblePages() {
    const pages = this.pageFlip.getPageCollection();
    const spread = pages.getSpread()[pages.getCurrentSpreadIndex()] ?? [pages.getCurrentPageIndex()];
    return spread.map((position) => this.order[position]).filter((index) => index >= 0).sort((a, b) => a - b);
  }

  get currentPage() {
    return this.visiblePages()[0] ?? 0;
  }

  pageShown() {
    const visible = this.visiblePages();
    if (!visible.length) return;
    this.images.keepAround(visible);
    this.addLinksAround(visible);
    const count = this.book.pages.length;
    const label = visible.map((i) => i + 1).join('-');
    this.toolbar.showPage(label, count);
    this.report(label, visible[0] + 1);
    this.thumbPanel.markCurrent(visible);
    this.outlinePanel.markCurrent(visible);
    this.live.textContent = this.texts.pageOf(label, count);
    const spread = this.pageFlip.getOrientation() === 'landscape' && visible.length === 2;
    this.bookElement.classList.toggle('lm-spine', spread && this.settings.flag('pageShadow', true));
    const atStart = visible[0] === 0, atEnd = visible[visible.length - 1] === count - 1;
    this.toolbar.setDisabled('first', atStart);
    this.toolbar.setDisabled('previous', atStart);
    this.toolbar.setDisabled('next', atEnd);
    this.toolbar.setDisabled('last', atEnd);
    if (!visible.includes(this.hashPage() ?? 0)) history.replaceState(null, '', '#p=' + (visible[0] + 1));
    if (this.book.needExt) sessionStorage.setItem(PREVIEW_PAGE_KEY, String(visible[0]));
    this.sharpen();
    this.textPart?.then((text) => text?.shown(visible));
    if (atEnd) this.stopAutoFlip();
  }

  // With an analytics ID the page's extra script defines gtag; every spread shown is an event.
  report(label, pageNumber) {
    if (label === this.reportedLabel || typeof globalThis.gtag !== 'function') return;
    this.reportedLabel = label;
    globalThis.gtag('event', 'page_turn', { page_number: pageNumber, page_label: label });
  }

  // A jump asked for while a page is turning or held waits for the turn to end; the turn still
  // tidies up after telling it ended (a jump started inside would be cut short), so it goes after.
  stateChanged(state) {
    if (state === 'flipping') this.sound.play();
    this.bookElement.classList.toggle('lm-turning', state !== 'read');
    if (state === 'read' && this.pendingPage !== undefined) {
      const page = this.pendingPage;
      this.pendingPage = undefined;
      queueMicrotask(() => this.goTo(page));
    }
  }

  next() {
    if (!this.pageFlip) return;
    if (this.zoom.zoomed) this.zoom.reset();
    this.rightToLeft ? this.pageFlip.flipPrev() : this.pageFlip.flipNext();
  }

  previous() {
    if (!this.pageFlip) return;
    if (this.zoom.zoomed) this.zoom.reset();
    this.rightToLeft ? this.pageFlip.flipNext() : this.pageFlip.flipPrev();
  }

  first() { this.goTo(0); }

  last() { this.goTo(this.book.pages.length - 1); }

  goTo(page, animate = true) {
    if (!this.pageFlip || !Number.isFinite(page)) return;
    const target = this.clampPage(page);
    if (['flipping', 'user_fold'].includes(this.pageFlip.getState())) {
      this.pendingPage = target;
      return;
    }
    if (this.visiblePages().includes(target)) return this.pageShown();
    const position = this.flipIndexOf(target);
    if (animate && Math.abs(target - this.currentPage) <= 2) this.pageFlip.flip(position);
    else this.pageFlip.turnToPage(position);
  }

  // ---- controls

  key(event) {
    if (event.target.closest?.('input, select, textarea') || event.altKey || event.ctrlKey || event.metaKey) return;
    const forward = this.rightToLeft ? () => this.previous() : () => this.next();
    const back = this.rightToLeft ? () => this.next() : () => this.previous();
    const actions = {
      ArrowRight: forward, ArrowLeft: back, PageDown: () => this.next(), PageUp: () => this.previous(),
      ' ': () => this.next(), Home: () => this.first(), End: () => this.last(),
      '+': () => this.zoom.zoomIn(), '=': () => this.zoom.zoomIn(), '-': () => this.zoom.zoomOut(),
      Escape: () => this.closeOverlays(),
    };
    const action = actions[event.key];
    if (!action || (event.key === ' ' && event.target.closest?.('button, a'))) return;
    event.preventDefault();
    action();
  }

  linkClicked(event) {
    const link = event.target.closest('a[data-goto]');
    if (!link) return;
    event.preventDefault();
    this.goTo(parseInt(link.dataset.goto, 10));
  }

  togglePanel(panel) {
    const open = !panel.open;
    for (const other of [this.thumbPanel, this.outlinePanel]) {
      other.show(other === panel && open);
      this.toolbar.setPressed(other.kind, other === panel && open);
    }
    if (!open) this.toolbar.focusButton(panel.kind);
  }

  closeOverlays() {
    if (this.zoom.zoomed) return this.zoom.reset();
    for (const panel of [this.thumbPanel, this.outlinePanel]) if (panel.open) this.togglePanel(panel);
  }

  zoomed(scale) {
    this.foldCorners();
    this.sharpen();
    this.toolbar.setDisabled('zoomOut', scale <= 1);
  }

  toggleSound() {
    this.sound.on = !this.sound.on;
    this.toolbar.setPressed('sound', this.sound.on);
  }

  // The system share sheet where there is one, else the address goes to the clipboard.
  share() {
    if (navigator.share) return navigator.share({ title: document.title, url: location.href }).catch(() => {});
    navigator.clipboard?.writeText(location.href).then(() => this.tell(this.texts.get('msgLinkCopied')), () => {});
  }

  tell(message) {
    this.notice.textContent = message;
    this.notice.hidden = false;
    clearTimeout(this.noticeTimer);
    this.noticeTimer = setTimeout(() => { this.notice.hidden = true; }, 2500);
  }

  toggleAutoFlip() {
    if (this.autoFlipTimer) return this.stopAutoFlip();
    const seconds = this.settings.number('autoFlipInterval', 0);
    this.autoFlipTimer = setInterval(() => this.next(), Math.max(1, seconds) * 1000);
    this.toolbar.setPressed('autoFlip', true);
  }

  stopAutoFlip() {
    clearInterval(this.autoFlipTimer);
    this.autoFlipTimer = null;
    this.toolbar.setPressed('autoFlip', false);
  }

  toggleFullscreen() {
    const done = () => this.toolbar.relabel();
    if (document.fullscreenElement) document.exitFullscreen().then(done, done);
    else this.app.requestFullscreen?.().then(done, done);
  }

  chooseLanguage(index) {
    this.texts.choose(index);
    this.toolbar.relabel();
    this.skipLink.textContent = this.texts.get('lnkSkipToToolbar');
    this.thumbPanel.relabel();
    this.outlinePanel.relabel();
    this.toolbar.fit();
    this.bookElement.querySelectorAll('.lm-page[data-page] img').forEach((img) => {
      img.alt = this.texts.page(parseInt(img.closest('.lm-page').dataset.page, 10) + 1);
    });
    this.pageShown();
  }
}
