import { el, icon, ICONS } from '../core/dom.js';
import { readEditorBook, PageNumbers, FILE_KINDS, linkProblem, saveText } from './editorBook.js';
import { EditorTexts } from './editorTexts.js';
import { EditHistory } from './editHistory.js';
import { PageView } from './pageView.js';
import { LinkForm, KIND_TEXT } from './linkForm.js';
import { OutlineEditor } from './outlineEditor.js';

const EDIT_ICONS = {
  undo: 'M12 5a8 8 0 0 1 7.7 10.2l-1.9-.6A6 6 0 0 0 12 7H7.8l2.6 2.6L9 11 4 6l5-5 1.4 1.4L7.8 5z',
  redo: 'M12 5a8 8 0 0 0-7.7 10.2l1.9-.6A6 6 0 0 1 12 7h4.2l-2.6 2.6L15 11l5-5-5-5-1.4 1.4L16.2 5z',
  add: 'M11 5h2v6h6v2h-6v6h-2v-6H5v-2h6z',
  fit: 'M4 4h6v2H6v4H4zM14 4h6v6h-2V6h-4zM4 14h2v4h4v2H4zM18 14h2v6h-6v-2h4z',
};

// The page editor: the links of every page and the book's contents, saved back to the
// application through connector (see main.js).
export class PageEditor {
  constructor(root, bridge) {
    this.root = root;
    this.bridge = bridge;
    this.texts = new EditorTexts();
    this.root.replaceChildren(el('p', { class: 'ed-waiting' }, this.texts.get('edLoading')));
    document.addEventListener('keydown', (e) => this.key(e));
  }

  load(xmlText) {
    const book = readEditorBook(xmlText);
    if (!book || !book.pages.length) {
      this.root.replaceChildren(el('p', { class: 'ed-waiting', role: 'alert' }, new EditorTexts(book?.texts).get('edBookUnreadable')));
      return;
    }
    this.book = book;
    this.texts = new EditorTexts(book.texts);
    this.numbers = new PageNumbers(book.pages);
    this.links = book.links;
    this.outline = book.outline;
    this.loadedOutline = JSON.stringify(this.outline);
    this.selection = new Set();
    this.current = 0;
    this.tab = 'links';
    this.history = new EditHistory(() => this.snapshot(), (s) => this.restore(s));
    this.saved = this.snapshot();
    this.build();
    this.showPage(0);
  }

  snapshot() {
    return JSON.stringify({ links: this.links, outline: this.outline });
  }

  restore(text) {
    const state = JSON.parse(text);
    this.links = state.links;
    this.outline = state.outline;
    this.selection = new Set();
    this.changed();
    this.outlineEditor.render();
  }

  get dirty() {
    return this.snapshot() !== this.saved;
  }

  t(key, number) {
    return this.texts.get(key, number);
  }

  // A button with a text, or with an icon whose text is its name and tooltip.
  button(label, iconPath, onclick, extra = {}) {
    return el('button', { type: 'button', class: 'ed-button' + (iconPath ? ' ed-icon-button' : ''), title: iconPath ? label : null, onclick, ...extra },
      iconPath ? icon(iconPath) : null, el('span', { class: iconPath ? 'ed-button-text' : null }, label));
  }

  build() {
    const t = (k) => this.t(k);
    this.tabButtons = ['links', 'outline'].map((tab) => el('button', { type: 'button', role: 'tab', class: 'ed-tab', id: 'ed-tab-' + tab,
      'aria-controls': 'ed-side', onclick: () => this.showTab(tab), onkeydown: (e) => this.tabKey(e) }, t(tab === 'links' ? 'edTabLinks' : 'edTabOutline')));
    this.undoButton = this.button(t('edUndo'), EDIT_ICONS.undo, () => this.history.undo());
    this.redoButton = this.button(t('edRedo'), EDIT_ICONS.redo, () => this.history.redo());
    this.status = el('p', { class: 'ed-status', role: 'status' });
    const header = el('header', { class: 'ed-header' },
      el('h1', { class: 'ed-title' }, t('edTitle')),
      el('div', { class: 'ed-tabs', role: 'tablist' }, this.tabButtons),
      el('div', { class: 'ed-group' }, this.undoButton, this.redoButton),
      el('div', { class: 'ed-spacer' }), this.status,
      el('div', { class: 'ed-group' },
        this.button(t('edSave'), null, () => this.save(false)),
        this.button(t('edSaveClose'), null, () => this.save(true), { class: 'ed-button ed-primary' }),
        this.button(t('edClose'), null, () => this.close())));
    this.thumbs = el('nav', { class: 'ed-thumbs', 'aria-label': t('edPages') });
    this.thumbs.addEventListener('keydown', (e) => this.thumbKey(e));
    this.view = new PageView(this);
    this.pageLabel = el('span', { class: 'ed-page-label', 'aria-live': 'polite' });
    this.zoomLabel = el('span', { class: 'ed-zoom-label' }, '100%');
    const zoom = (step) => { this.zoomLabel.textContent = Math.round(this.view.setZoom(step) * 100) + '%'; };
    const pageTools = el('div', { class: 'ed-page-tools', role: 'toolbar' },
      this.pageLabel,
      el('button', { type: 'button', class: 'ed-button', onclick: () => this.addLink({ x: 0.35, y: 0.45, w: 0.3, h: 0.08 }) }, icon(EDIT_ICONS.add), t('edNewLink')),
      el('div', { class: 'ed-spacer' }),
      this.button(t('edZoomOut'), ICONS.zoomOut, () => zoom(-1)), this.zoomLabel,
      this.button(t('edZoomIn'), ICONS.zoomIn, () => zoom(1)),
      this.button(t('edZoomFit'), EDIT_ICONS.fit, () => zoom(0)));
    this.form = new LinkForm(this);
    this.outlineEditor = new OutlineEditor(this);
    this.side = el('aside', { class: 'ed-side', id: 'ed-side', role: 'tabpanel' });
    this.root.replaceChildren(el('div', { class: 'ed-app' }, header, this.thumbs,
      el('main', { class: 'ed-main' }, pageTools, this.view.element), this.side));
    this.renderThumbs();
    this.showTab('links');
  }

  renderThumbs() {
    this.thumbs.replaceChildren(...this.book.pages.map((page, i) => el('button', { type: 'button', class: 'ed-thumb', onclick: () => this.showPage(i) },
      el('img', { src: page.thumb, alt: '', loading: 'lazy', draggable: 'false' }),
      el('span', { class: 'ed-thumb-number' }, String(i + 1)),
      el('span', { class: 'ed-thumb-count', 'aria-hidden': 'true' }))));
  }

  // The page on show and each page's link count; the pictures stay as they are.
  refreshThumbs() {
    [...this.thumbs.children].forEach((thumb, i) => {
      const count = this.links[i].length;
      thumb.toggleAttribute('aria-current', i === this.current);
      if (i === this.current) thumb.setAttribute('aria-current', 'page');
      thumb.tabIndex = i === this.current ? 0 : -1;
      thumb.setAttribute('aria-label', this.t('lblPage') + ' ' + (i + 1) + (count ? ', ' + count + ' ' + this.t('edTabLinks') : ''));
      thumb.lastChild.textContent = count ? String(count) : '';
    });
  }

  thumbKey(event) {
    const step = { ArrowDown: 1, ArrowRight: 1, ArrowUp: -1, ArrowLeft: -1 }[event.key];
    if (!step) return;
    event.preventDefault();
    this.showPage(this.current + step);
    this.thumbs.children[this.current].focus();
  }

  tabKey(event) {
    if (event.key !== 'ArrowLeft' && event.key !== 'ArrowRight') return;
    this.showTab(this.tab === 'links' ? 'outline' : 'links');
    this.tabButtons.find((b) => b.getAttribute('aria-selected') === 'true').focus();
  }

  showTab(tab) {
    this.tab = tab;
    this.tabButtons.forEach((b) => {
      const on = b.id === 'ed-tab-' + tab;
      b.setAttribute('aria-selected', String(on));
      b.tabIndex = on ? 0 : -1;
    });
    this.side.setAttribute('aria-labelledby', 'ed-tab-' + tab);
    this.root.querySelector('.ed-app').dataset.tab = tab;
    this.side.replaceChildren(tab === 'links' ? this.form.element : this.outlineEditor.element);
    if (tab === 'links') this.form.render(); else this.outlineEditor.render();
  }

  showPage(index) {
    const next = Math.max(0, Math.min(this.book.pages.length - 1, index));
    if (next !== this.current) this.selection = new Set();
    this.current = next;
    this.pageLabel.textContent = this.t('lblPage') + ' ' + (next + 1) + ' / ' + this.book.pages.length;
    this.view.showPage(this.book.pages[next]);
    this.changed(false);
    this.thumbs.children[next]?.scrollIntoView({ block: 'nearest' });
  }

  pageLinks() {
    return this.links[this.current];
  }

  describe(link) {
    const kind = this.t(KIND_TEXT[link.kind]);
    if (link.kind === 'page') {
      const index = this.numbers.bookIndex(link.pdf);
      return kind + ' ' + (index === null ? '?' : index + 1);
    }
    const detail = link.kind === 'url' ? link.url : link.file?.split('/').pop();
    return detail ? kind + ': ' + detail : kind;
  }

  problem(link) {
    return linkProblem(link);
  }

  select(links) {
    this.selection = new Set(links);
    this.view.render();
    this.form.render();
  }

  record(tag) {
    this.history.record(tag);
  }

  // After a change of the state: redraw what shows it. The form is redrawn only when asked, so
  // that a field being typed in keeps its place.
  changed(renderForm = true) {
    this.view.render();
    if (renderForm && this.tab === 'links') this.form.render();
    this.refreshThumbs();
    this.undoButton.disabled = !this.history.undoSteps.length;
    this.redoButton.disabled = !this.history.redoSteps.length;
  }

  edit(link, tag, values, renderForm = false) {
    this.record(tag);
    Object.assign(link, values);
    this.changed(renderForm);
    if (renderForm) this.form.focus();
  }

  addLink(box) {
    this.record();
    const link = { ...box, kind: 'page', pdf: 0, tooltip: '' };
    this.pageLinks().push(link);
    this.select([link]);
    this.changed();
    this.form.focus();
  }

  deleteSelected() {
    if (!this.selection.size) return;
    this.record();
    this.links[this.current] = this.pageLinks().filter((l) => !this.selection.has(l));
    this.selection = new Set();
    this.changed();
    this.view.element.focus();
  }

  copySelected() {
    this.clipboard = JSON.stringify([...this.selection]);
  }

  paste() {
    if (!this.clipboard) return;
    this.record();
    const copies = JSON.parse(this.clipboard);
    this.pageLinks().push(...copies);
    this.select(copies);
    this.changed();
  }

  // Copies the selected links to the book pages named like "2-5, 8".
  copyToPages(text) {
    const pages = pageList(text, this.book.pages.length).filter((i) => i !== this.current);
    if (!pages.length || !this.selection.size) return;
    this.record();
    const copy = JSON.stringify([...this.selection]);
    for (const i of pages) this.links[i].push(...JSON.parse(copy));
    this.changed();
    this.tell(this.t('edCopied', pages.length));
  }

  focusForm() {
    this.form.focus();
  }

  chooseFile(link) {
    this.pendingFile = link;
    const kind = FILE_KINDS[link.kind];
    this.bridge.chooseFiles(this.t(KIND_TEXT[link.kind]) + '|' + kind.filter);
  }

  // The application answers a file choice with the chosen files' book addresses.
  filesChosen(paths) {
    const link = this.pendingFile;
    if (!link || !paths.length || !this.links.some((list) => list.includes(link))) return;
    this.edit(link, '', { file: String(paths[0]) }, true);
  }

  tell(text) {
    this.status.textContent = text;
    clearTimeout(this.statusTimer);
    this.statusTimer = setTimeout(() => { this.status.textContent = ''; }, 4000);
  }

  // Incomplete links keep the book from being saved: the first one is shown.
  save(exit) {
    for (let page = 0; page < this.links.length; page++) {
      const link = this.links[page].find((l) => this.problem(l));
      if (!link) continue;
      this.showTab('links');
      this.showPage(page);
      this.select([link]);
      this.tell(this.t('edIncomplete'));
      this.form.focus();
      return false;
    }
    this.bridge.save(saveText(this.links, this.outline, { exit, withOutline: JSON.stringify(this.outline) !== this.loadedOutline }));
    this.saved = this.snapshot();
    this.tell(this.t('edSaved'));
    return true;
  }

  close() {
    if (!this.dirty) {
      this.bridge.leave();
      return;
    }
    const t = (k) => this.t(k);
    const dialog = el('dialog', { class: 'ed-dialog', 'aria-labelledby': 'ed-dialog-text' },
      el('p', { id: 'ed-dialog-text' }, t('edUnsaved')),
      el('form', { method: 'dialog', class: 'ed-row ed-dialog-buttons' },
        el('button', { class: 'ed-button ed-primary', value: 'save' }, t('edSave')),
        el('button', { class: 'ed-button', value: 'discard' }, t('edDiscard')),
        el('button', { class: 'ed-button', value: 'cancel', autofocus: true }, t('edCancel'))));
    dialog.addEventListener('close', () => {
      dialog.remove();
      if (dialog.returnValue === 'save') this.save(true);
      if (dialog.returnValue === 'discard') this.bridge.leave();
    });
    document.body.append(dialog);
    dialog.showModal();
  }

  key(event) {
    if (!this.book || document.querySelector('dialog[open]')) return;
    const command = event.ctrlKey || event.metaKey;
    const typing = event.target.closest?.('input, select, textarea');
    const key = event.key.toLowerCase();
    if (command && key === 's') {
      event.preventDefault();
      this.save(event.shiftKey);
    } else if (command && !typing && (key === 'y' || (key === 'z' && event.shiftKey))) {
      event.preventDefault();
      this.history.redo();
    } else if (command && !typing && key === 'z') {
      event.preventDefault();
      this.history.undo();
    } else if (!typing && !command && (event.key === 'PageDown' || event.key === 'PageUp')) {
      event.preventDefault();
      this.showPage(this.current + (event.key === 'PageDown' ? 1 : -1));
    }
  }
}

// "2-5, 8" as 0-based book pages inside the book.
export function pageList(text, count) {
  const pages = new Set();
  for (const part of String(text).split(/[,;\s]+/).filter(Boolean)) {
    const range = part.match(/^(\d+)(?:-(\d+))?$/);
    if (!range) continue;
    const from = parseInt(range[1], 10), to = parseInt(range[2] ?? range[1], 10);
    for (let n = Math.max(1, Math.min(from, to)); n <= Math.min(count, Math.max(from, to)); n++) pages.add(n - 1);
  }
  return [...pages];
}
