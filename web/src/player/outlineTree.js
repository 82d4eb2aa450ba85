import { el } from '../core/dom.js';

// The outline entries as a tree widget: rows carry their level, entries below the first level
// start closed, and one row at a time is in the tab order. Keys: Up/Down move, Right opens or
// goes to the first child, Left closes or goes to the parent, Home/End, Enter or Space go to the
// entry's page, "*" opens the siblings, a letter moves to the next entry starting with it.
// An entry whose page is not in the book shows but goes nowhere.
export class OutlineTree {
  constructor(entries, goTo, labelledBy) {
    this.goTo = goTo;
    this.nodes = [];
    this.element = el('div', { class: 'lm-tree', role: 'tree', 'aria-labelledby': labelledBy,
      onkeydown: (e) => this.key(e), onclick: (e) => this.clicked(e) });
    this.addLevel(entries, null, 1);
    this.focused = this.nodes[0];
    this.focused.row.tabIndex = 0;
  }

  addLevel(entries, parent, level) {
    entries.forEach((entry, i) => {
      const node = { entry, parent, level, children: [], expanded: false };
      node.row = el('div', {
        class: 'lm-tree-row', role: 'treeitem', tabindex: '-1', hidden: level > 1, style: '--level:' + (level - 1),
        'aria-level': String(level), 'aria-setsize': String(entries.length), 'aria-posinset': String(i + 1),
        'aria-expanded': entry.items.length ? 'false' : null, 'aria-disabled': entry.page === null ? 'true' : null,
      }, el('span', { class: 'lm-twisty', 'aria-hidden': 'true' }), el('span', { class: 'lm-tree-caption' }, entry.caption));
      node.row.title = entry.caption;
      this.nodes.push(node);
      this.element.append(node.row);
      parent?.children.push(node);
      this.addLevel(entry.items, node, level + 1);
    });
  }

  focusedRow() {
    return this.focused.row;
  }

  shownNodes() {
    return this.nodes.filter((node) => !node.row.hidden);
  }

  expand(node, open) {
    if (!node.children.length || node.expanded === open) return;
    node.expanded = open;
    node.row.setAttribute('aria-expanded', String(open));
    const show = (parent, shown) => parent.children.forEach((child) => {
      child.row.hidden = !shown;
      show(child, shown && child.expanded);
    });
    show(node, open);
  }

  moveTo(node) {
    if (!node) return;
    this.focused.row.tabIndex = -1;
    this.focused = node;
    node.row.tabIndex = 0;
    node.row.focus();
  }

  activate(node) {
    if (node.entry.page !== null) this.goTo(node.entry.page);
    else this.expand(node, !node.expanded);
  }

  key(event) {
    const node = this.focused, shown = this.shownNodes(), at = shown.indexOf(node);
    const rtl = getComputedStyle(this.element).direction === 'rtl';
    const key = rtl && event.key === 'ArrowRight' ? 'ArrowLeft' : rtl && event.key === 'ArrowLeft' ? 'ArrowRight' : event.key;
    const actions = {
      ArrowDown: () => this.moveTo(shown[at + 1]),
      ArrowUp: () => this.moveTo(shown[at - 1]),
      Home: () => this.moveTo(shown[0]),
      End: () => this.moveTo(shown.at(-1)),
      ArrowRight: () => (node.expanded ? this.moveTo(node.children[0]) : this.expand(node, true)),
      ArrowLeft: () => (node.expanded ? this.expand(node, false) : this.moveTo(node.parent)),
      Enter: () => this.activate(node),
      ' ': () => this.activate(node),
      '*': () => (node.parent?.children ?? this.nodes.filter((n) => n.level === 1)).forEach((n) => this.expand(n, true)),
    };
    const action = actions[key] ?? (key.length === 1 && /\S/.test(key) ? () => this.typeAhead(key, shown, at) : null);
    if (!action || event.altKey || event.ctrlKey || event.metaKey) return;
    event.preventDefault();
    event.stopPropagation();
    action();
  }

  typeAhead(letter, shown, at) {
    const starts = (n) => n.entry.caption.trim().toLowerCase().startsWith(letter.toLowerCase());
    this.moveTo(shown.slice(at + 1).find(starts) ?? shown.slice(0, at).find(starts));
  }

  clicked(event) {
    const node = this.nodes.find((n) => n.row === event.target.closest('.lm-tree-row'));
    if (!node) return;
    this.moveTo(node);
    if (event.target.closest('.lm-twisty')) this.expand(node, !node.expanded);
    else this.activate(node);
  }

  // The section on show: the entry starting latest at or before the last page on show (the
  // deepest one where several start there). Its parents open and the panel scrolls to it.
  markCurrent(visible, scroller) {
    const last = Math.max(...visible);
    let current = null;
    for (const node of this.nodes) {
      const page = node.entry.page;
      if (page !== null && page <= last && (!current || page >= current.entry.page)) current = node;
    }
    for (const node of this.nodes) if (node !== current) node.row.removeAttribute('aria-current');
    if (!current) return;
    current.row.setAttribute('aria-current', 'location');
    for (let up = current.parent; up; up = up.parent) this.expand(up, true);
    if (!this.element.contains(document.activeElement)) {
      this.focused.row.tabIndex = -1;
      this.focused = current;
      current.row.tabIndex = 0;
    }
    const top = current.row.offsetTop, height = current.row.offsetHeight;
    if (top < scroller.scrollTop || top + height > scroller.scrollTop + scroller.clientHeight) {
      scroller.scrollTop = top - scroller.clientHeight / 3;
    }
  }
}
