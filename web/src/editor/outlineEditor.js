import { el } from '../core/dom.js';

// The contents tab: a tree of entries that can be renamed, added, deleted, indented, outdented
// and reordered (buttons, Alt with the arrow keys, or dragging), each pointing at a book page.
export class OutlineEditor {
  constructor(editor) {
    this.editor = editor;
    this.selected = null;
    this.tree = el('ul', { class: 'ed-tree', role: 'tree', 'aria-label': editor.texts.get('edTabOutline') });
    this.tree.addEventListener('keydown', (e) => this.key(e));
    this.form = el('div', { class: 'ed-entry-form' });
    this.tools = el('div', { class: 'ed-tools', role: 'toolbar' });
    this.element = el('section', { class: 'ed-outline' }, this.tools, this.tree, this.form);
  }

  get entries() {
    return this.editor.outline;
  }

  // The list that holds entry, and its place in it.
  place(entry, list = this.entries) {
    const index = list.indexOf(entry);
    if (index >= 0) return { list, index };
    for (const item of list) {
      const found = this.place(entry, item.items);
      if (found) return { ...found, parent: found.parent ?? item };
    }
    return null;
  }

  visible() {
    const rows = [];
    const walk = (list, level) => list.forEach((entry) => { rows.push({ entry, level }); walk(entry.items, level + 1); });
    walk(this.entries, 1);
    return rows;
  }

  render(focus = false) {
    const t = (k) => this.editor.texts.get(k);
    const tool = (key, action, enabled) => el('button', { type: 'button', class: 'ed-button', disabled: !enabled, onclick: action }, t(key));
    const at = this.selected && this.place(this.selected);
    if (!at) this.selected = null;
    this.tools.replaceChildren(
      tool('edOutlineAdd', () => this.add(), true),
      tool('edOutlineDelete', () => this.remove(), !!at),
      tool('edOutdent', () => this.outdent(), !!at?.parent),
      tool('edIndent', () => this.indent(), at?.index > 0),
      tool('edMoveUp', () => this.move(-1), at?.index > 0),
      tool('edMoveDown', () => this.move(1), !!at && at.index < at.list.length - 1));
    const rows = this.visible();
    this.tree.replaceChildren(...rows.map(({ entry, level }) => this.row(entry, level)));
    if (!rows.length) this.tree.append(el('li', { class: 'ed-help', role: 'none' }, t('edOutlineEmpty')));
    this.renderForm();
    if (focus) this.rowOf(this.selected)?.focus();
  }

  row(entry, level) {
    const index = this.editor.numbers.bookIndex(entry.pdf);
    const selected = entry === this.selected;
    const row = el('li', { class: 'ed-tree-row' + (selected ? ' ed-selected' : ''), role: 'treeitem', 'aria-level': String(level),
      'aria-selected': String(selected), tabindex: selected || (!this.selected && entry === this.entries[0]) ? '0' : '-1', draggable: 'true',
      style: { paddingInlineStart: 10 + (level - 1) * 22 + 'px' },
      onclick: () => this.choose(entry, true) },
    el('span', { class: 'ed-tree-caption' }, entry.caption || '—'),
    el('span', { class: 'ed-tree-page' + (index === null ? ' ed-missing' : '') }, index === null ? '–' : String(index + 1)));
    row.entry = entry;
    row.addEventListener('dragstart', (e) => { this.dragged = entry; e.dataTransfer.effectAllowed = 'move'; e.dataTransfer.setData('text/plain', ''); });
    row.addEventListener('dragover', (e) => {
      if (!this.dragged || this.dragged === entry || this.contains(this.dragged, entry)) return;
      e.preventDefault();
      row.dataset.drop = dropSide(e, row);
    });
    row.addEventListener('dragleave', () => delete row.dataset.drop);
    row.addEventListener('drop', (e) => {
      e.preventDefault();
      delete row.dataset.drop;
      if (this.dragged) this.moveTo(this.dragged, entry, dropSide(e, row));
      this.dragged = null;
    });
    return row;
  }

  rowOf(entry) {
    return [...this.tree.children].find((row) => row.entry === entry);
  }

  contains(outer, inner) {
    return outer.items.some((item) => item === inner || this.contains(item, inner));
  }

  renderForm() {
    const entry = this.selected;
    const t = (k) => this.editor.texts.get(k);
    if (!entry) {
      this.form.replaceChildren(el('p', { class: 'ed-help ed-small' }, t('edOutlineKeys')));
      return;
    }
    const numbers = this.editor.numbers;
    const index = numbers.bookIndex(entry.pdf);
    this.captionInput = el('input', { id: 'ed-entry-caption', type: 'text', value: entry.caption,
      oninput: (e) => this.change('caption', () => { entry.caption = e.target.value; }, false) });
    const pageInput = el('input', { id: 'ed-entry-page', type: 'number', min: '1', max: String(this.editor.book.pages.length), value: index === null ? '' : String(index + 1),
      oninput: (e) => {
        const pdf = numbers.pdf(parseInt(e.target.value, 10) - 1);
        if (pdf) this.change('entry-page', () => { entry.pdf = pdf; }, false);
      } });
    this.form.replaceChildren(
      el('div', { class: 'ed-field' }, el('label', { for: 'ed-entry-caption' }, t('edCaption')), this.captionInput),
      el('div', { class: 'ed-field' }, el('label', { for: 'ed-entry-page' }, t('edTargetPage')),
        el('div', { class: 'ed-row' }, pageInput, el('button', { type: 'button', class: 'ed-button', onclick: () => {
          this.change('', () => { entry.pdf = numbers.pdf(this.editor.current) || entry.pdf; }, true);
        } }, t('edUseShownPage')))),
      el('p', { class: 'ed-help ed-small' }, t('edOutlineKeys')));
  }

  // A change of the outline; typing only updates the tree row, not the form being typed in.
  change(tag, mutate, renderAll = true) {
    this.editor.record(tag);
    mutate();
    this.editor.changed(false);
    if (renderAll) this.render(true);
    else {
      const row = this.rowOf(this.selected);
      const fresh = this.row(this.selected, parseInt(row.getAttribute('aria-level'), 10));
      row.replaceWith(fresh);
    }
  }

  choose(entry, focus) {
    this.selected = entry;
    const index = entry && this.editor.numbers.bookIndex(entry.pdf);
    if (index !== null && index !== undefined) this.editor.showPage(index);
    this.render(focus);
  }

  add() {
    const at = this.selected && this.place(this.selected);
    const entry = { caption: this.editor.texts.get('edNewEntry'), pdf: this.editor.numbers.pdf(this.editor.current), items: [] };
    this.change('', () => (at ? at.list.splice(at.index + 1, 0, entry) : this.entries.push(entry)));
    this.selected = entry;
    this.render();
    this.captionInput.focus();
    this.captionInput.select();
  }

  remove() {
    const at = this.place(this.selected);
    if (!at) return;
    this.change('', () => {
      at.list.splice(at.index, 1);
      this.selected = at.list[at.index] ?? at.list[at.index - 1] ?? at.parent ?? null;
    });
  }

  indent() {
    const at = this.place(this.selected);
    if (!at || at.index === 0) return;
    this.change('', () => at.list[at.index - 1].items.push(...at.list.splice(at.index, 1)));
  }

  outdent() {
    const at = this.place(this.selected);
    if (!at?.parent) return;
    const outer = this.place(at.parent);
    this.change('', () => outer.list.splice(outer.index + 1, 0, ...at.list.splice(at.index, 1)));
  }

  move(step) {
    const at = this.place(this.selected);
    const to = at ? at.index + step : -1;
    if (!at || to < 0 || to >= at.list.length) return;
    this.change('', () => at.list.splice(to, 0, ...at.list.splice(at.index, 1)));
  }

  moveTo(entry, target, side) {
    this.change('', () => {
      const from = this.place(entry);
      from.list.splice(from.index, 1);
      if (side === 'inside') target.items.push(entry);
      else {
        const to = this.place(target);
        to.list.splice(to.index + (side === 'after' ? 1 : 0), 0, entry);
      }
    });
    this.selected = entry;
    this.render(true);
  }

  key(event) {
    const rows = this.visible().map((r) => r.entry);
    const i = rows.indexOf(this.selected);
    const go = (index) => { if (rows[index]) this.choose(rows[index], true); };
    const alt = event.altKey;
    const actions = {
      ArrowDown: () => (alt ? this.move(1) : go(i + 1)),
      ArrowUp: () => (alt ? this.move(-1) : go(Math.max(0, i - 1))),
      ArrowRight: () => alt && this.indent(),
      ArrowLeft: () => alt && this.outdent(),
      Home: () => go(0),
      End: () => go(rows.length - 1),
      Delete: () => this.remove(),
      Insert: () => this.add(),
      F2: () => this.captionInput?.focus(),
      Enter: () => this.captionInput?.focus(),
    };
    if (!actions[event.key] || event.target.closest('input')) return;
    if (i < 0 && !['Insert', 'Home', 'End', 'ArrowDown'].includes(event.key)) return go(0);
    event.preventDefault();
    event.stopPropagation();
    actions[event.key]();
  }
}

function dropSide(event, row) {
  const r = row.getBoundingClientRect();
  const y = (event.clientY - r.top) / r.height;
  return y < 0.3 ? 'before' : y > 0.7 ? 'after' : 'inside';
}
