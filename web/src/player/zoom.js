const MIN = 1, MAX = 4;

// Zoom with pan over the whole book. While zoomed, presses on the stage pan instead of turning.
export class Zoom {
  constructor(stage, layer, onChange) {
    this.stage = stage;
    this.layer = layer;
    this.onChange = onChange;
    this.scale = 1;
    this.x = 0;
    this.y = 0;
    this.drag = null;
    this.moved = false;
    for (const type of ['mousedown', 'touchstart']) stage.addEventListener(type, (e) => this.grab(e), true);
    window.addEventListener('mousemove', (e) => this.pan(e));
    window.addEventListener('touchmove', (e) => this.pan(e), { passive: false });
    window.addEventListener('mouseup', () => { this.drag = null; });
    window.addEventListener('touchend', () => { this.drag = null; });
    stage.addEventListener('click', (e) => this.swallowDragClick(e), true);
    stage.addEventListener('wheel', (e) => this.wheel(e), { passive: false });
    stage.addEventListener('dblclick', (e) => this.toggleAt(e.clientX, e.clientY));
  }

  get zoomed() {
    return this.scale > MIN;
  }

  zoomIn() { this.setScale(this.scale * 1.5); }

  zoomOut() { this.setScale(this.scale / 1.5); }

  reset() { this.setScale(MIN); }

  toggleAt(clientX, clientY) {
    this.setScale(this.zoomed ? MIN : 2, clientX, clientY);
  }

  // Keeps the point under (clientX, clientY), the stage centre by default, where it is.
  setScale(scale, clientX, clientY) {
    const box = this.stage.getBoundingClientRect();
    const px = (clientX ?? box.left + box.width / 2) - box.left;
    const py = (clientY ?? box.top + box.height / 2) - box.top;
    const next = Math.min(MAX, Math.max(MIN, scale));
    this.x = px - ((px - this.x) * next) / this.scale;
    this.y = py - ((py - this.y) * next) / this.scale;
    this.scale = next;
    this.apply();
    this.onChange(this.scale);
  }

  apply() {
    const box = this.stage.getBoundingClientRect();
    this.x = Math.min(0, Math.max(box.width - box.width * this.scale, this.x));
    this.y = Math.min(0, Math.max(box.height - box.height * this.scale, this.y));
    this.layer.style.transform = this.zoomed ? 'translate(' + this.x + 'px,' + this.y + 'px) scale(' + this.scale + ')' : '';
    this.stage.classList.toggle('lm-zoomed', this.zoomed);
  }

  // Presses on a page's words select text; elsewhere they pan.
  grab(event) {
    if (!this.zoomed || event.target.closest?.('.lm-word')) return;
    event.stopPropagation();
    const point = event.touches ? event.touches[0] : event;
    this.drag = { x: point.clientX - this.x, y: point.clientY - this.y };
    this.moved = false;
  }

  pan(event) {
    if (!this.drag) return;
    const point = event.touches ? event.touches[0] : event;
    this.x = point.clientX - this.drag.x;
    this.y = point.clientY - this.drag.y;
    this.moved = true;
    event.preventDefault();
    this.apply();
  }

  swallowDragClick(event) {
    if (this.moved) {
      event.stopPropagation();
      event.preventDefault();
      this.moved = false;
    }
  }

  wheel(event) {
    if (!event.ctrlKey && !this.zoomed) return;
    event.preventDefault();
    if (event.ctrlKey) this.setScale(this.scale * (event.deltaY < 0 ? 1.25 : 0.8), event.clientX, event.clientY);
    else {
      this.x -= event.deltaX;
      this.y -= event.deltaY;
      this.apply();
    }
  }
}
