import { el } from '../core/dom.js';
import { fitPage } from '../core/pageBox.js';

const HANDLES = ['nw', 'n', 'ne', 'e', 'se', 's', 'sw', 'w'];
const MIN_DRAW = 8;
const ZOOMS = [1, 1.5, 2, 3, 4];

// The page on show with its links as boxes: draw a box by dragging on the page, move the
// selected boxes by dragging or with the arrow keys, resize with the handles or Alt and the
// arrow keys.
export class PageView {
  constructor(editor) {
    this.editor = editor;
    this.zoom = 0;
    this.picture = el('img', { class: 'ed-picture', alt: '', draggable: 'false' });
    this.boxes = el('div', { class: 'ed-boxes' });
    this.sheet = el('div', { class: 'ed-sheet' }, this.picture, this.boxes);
    this.element = el('div', { class: 'ed-canvas', tabindex: '-1' }, this.sheet);
    this.picture.addEventListener('load', () => this.layout());
    this.sheet.addEventListener('pointerdown', (e) => this.pointerDown(e));
    this.element.addEventListener('keydown', (e) => this.key(e));
    new ResizeObserver(() => this.layout()).observe(this.element);
  }

  get links() {
    return this.editor.pageLinks();
  }

  showPage(page) {
    this.page = page;
    this.picture.src = page.picture || page.thumb;
    this.layout();
  }

  setZoom(step) {
    this.zoom = step === 0 ? 0 : Math.min(ZOOMS.length - 1, Math.max(0, this.zoom + step));
    this.layout();
    return ZOOMS[this.zoom];
  }

  // The page at its own shape, as large as the canvas allows, times the zoom.
  layout() {
    if (!this.page) return;
    const size = this.page.size ?? (this.picture.naturalWidth ? { width: this.picture.naturalWidth, height: this.picture.naturalHeight } : { width: 3, height: 4 });
    const room = { width: Math.max(100, this.element.clientWidth - 48), height: Math.max(100, this.element.clientHeight - 48) };
    const fit = fitPage(size.width, size.height, room.width, room.height);
    const width = (parseFloat(fit.width) / 100) * room.width * ZOOMS[this.zoom];
    const height = (parseFloat(fit.height) / 100) * room.height * ZOOMS[this.zoom];
    Object.assign(this.sheet.style, { width: width + 'px', height: height + 'px' });
  }

  render() {
    const selected = this.editor.selection;
    const focused = this.boxes.contains(document.activeElement) ? this.boxFor.get(document.activeElement) : null;
    this.boxFor = new Map();
    this.boxes.replaceChildren(...this.links.map((link, i) => {
      const box = el('div', {
        class: 'ed-box ed-kind-' + link.kind + (selected.has(link) ? ' ed-selected' : '') + (this.editor.problem(link) ? ' ed-incomplete' : ''),
        tabindex: '0', role: 'button', 'aria-pressed': String(selected.has(link)),
        'aria-label': (i + 1) + '. ' + this.editor.describe(link),
        style: { left: link.x * 100 + '%', top: link.y * 100 + '%', width: link.w * 100 + '%', height: link.h * 100 + '%' },
      }, el('span', { class: 'ed-box-label', 'aria-hidden': 'true' }, this.editor.describe(link)));
      box.addEventListener('focus', () => { if (!selected.has(link)) this.editor.select([link]); });
      if (selected.size === 1 && selected.has(link)) box.append(...HANDLES.map((h) => el('span', { class: 'ed-handle ed-handle-' + h, 'data-handle': h })));
      this.boxFor.set(box, link);
      return box;
    }));
    if (focused) [...this.boxFor].find(([, link]) => link === focused)?.[0].focus();
  }

  focusLink(link) {
    [...(this.boxFor ?? [])].find(([, l]) => l === link)?.[0].focus();
  }

  // Pointer position as fractions of the page.
  at(event) {
    const r = this.sheet.getBoundingClientRect();
    return { x: (event.clientX - r.left) / r.width, y: (event.clientY - r.top) / r.height, r };
  }

  pointerDown(event) {
    if (event.button !== 0) return;
    event.preventDefault();
    const start = this.at(event);
    const box = event.target.closest('.ed-box');
    const link = box && this.boxFor.get(box);
    const handle = event.target.dataset.handle;
    const selection = this.editor.selection;
    if (link && (event.shiftKey || event.ctrlKey || event.metaKey)) {
      const next = new Set(selection);
      if (next.has(link)) next.delete(link); else next.add(link);
      this.editor.select([...next]);
      return;
    }
    if (link && !selection.has(link)) this.editor.select([link]);
    const moving = link ? [...this.editor.selection] : [];
    const origin = moving.map((l) => ({ x: l.x, y: l.y, w: l.w, h: l.h }));
    const ghost = link ? null : el('div', { class: 'ed-ghost' });
    if (!link) {
      this.editor.select([]);
      this.boxes.append(ghost);
    }
    let changed = false;
    const move = (e) => {
      const p = this.at(e);
      const dx = p.x - start.x, dy = p.y - start.y;
      if (ghost) {
        Object.assign(ghost.style, { left: Math.min(p.x, start.x) * 100 + '%', top: Math.min(p.y, start.y) * 100 + '%',
          width: Math.abs(dx) * 100 + '%', height: Math.abs(dy) * 100 + '%' });
        return;
      }
      if (!changed && Math.hypot(dx * start.r.width, dy * start.r.height) < 2) return;
      if (!changed) this.editor.record(handle ? 'resize' : 'move');
      changed = true;
      moving.forEach((l, i) => Object.assign(l, handle ? resized(origin[i], handle, dx, dy) : moved(origin[i], dx, dy)));
      this.render();
    };
    const up = (e) => {
      this.sheet.removeEventListener('pointermove', move);
      this.sheet.removeEventListener('pointerup', up);
      this.sheet.removeEventListener('pointercancel', up);
      if (ghost) {
        ghost.remove();
        const p = this.at(e);
        if (Math.abs(p.x - start.x) * start.r.width >= MIN_DRAW && Math.abs(p.y - start.y) * start.r.height >= MIN_DRAW) {
          this.editor.addLink(clamp({ x: Math.min(p.x, start.x), y: Math.min(p.y, start.y), w: Math.abs(p.x - start.x), h: Math.abs(p.y - start.y) }));
        }
      } else if (changed) this.editor.changed();
      else {
        if (this.editor.selection.size > 1) this.editor.select([link]);
        this.focusLink(link);
      }
    };
    this.sheet.setPointerCapture(event.pointerId);
    this.sheet.addEventListener('pointermove', move);
    this.sheet.addEventListener('pointerup', up);
    this.sheet.addEventListener('pointercancel', up);
  }

  key(event) {
    const editor = this.editor;
    const selected = [...editor.selection];
    const steps = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] }[event.key];
    const command = event.ctrlKey || event.metaKey;
    if (steps && selected.length) {
      const r = this.sheet.getBoundingClientRect();
      const px = event.shiftKey ? 10 : 1;
      const dx = (steps[0] * px) / r.width, dy = (steps[1] * px) / r.height;
      editor.record(event.altKey ? 'key-resize' : 'key-move');
      for (const l of selected) Object.assign(l, event.altKey ? resized(l, 'se', dx, dy) : moved(l, dx, dy));
      editor.changed();
    } else if ((event.key === 'Delete' || event.key === 'Backspace') && selected.length) {
      editor.deleteSelected();
    } else if (event.key === 'Escape' && selected.length) {
      this.element.focus();   // first: a focused box would select itself again when redrawn
      editor.select([]);
    } else if (command && event.key.toLowerCase() === 'a') {
      editor.select(this.links);
    } else if (command && event.key.toLowerCase() === 'c' && selected.length) {
      editor.copySelected();
    } else if (command && event.key.toLowerCase() === 'v') {
      editor.paste();
    } else if (event.key === 'Enter' && selected.length === 1) {
      editor.focusForm();
    } else return;
    event.preventDefault();
    event.stopPropagation();
  }
}

function clamp(box) {
  const w = Math.min(1, Math.max(0.005, box.w)), h = Math.min(1, Math.max(0.005, box.h));
  return { x: Math.min(1 - w, Math.max(0, box.x)), y: Math.min(1 - h, Math.max(0, box.y)), w, h };
}

function moved(box, dx, dy) {
  return clamp({ ...box, x: box.x + dx, y: box.y + dy });
}

// The box with the named handle (n, se, w, …) dragged by dx, dy.
function resized(box, handle, dx, dy) {
  let { x, y, w, h } = box;
  if (handle.includes('e')) w += dx;
  if (handle.includes('s')) h += dy;
  if (handle.includes('w')) { x += dx; w -= dx; }
  if (handle.includes('n')) { y += dy; h -= dy; }
  if (w < 0.005) { if (handle.includes('w')) x -= 0.005 - w; w = 0.005; }
  if (h < 0.005) { if (handle.includes('n')) y -= 0.005 - h; h = 0.005; }
  x = Math.max(0, x); y = Math.max(0, y);
  return { x, y, w: Math.min(w, 1 - x), h: Math.min(h, 1 - y) };
}
