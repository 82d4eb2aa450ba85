const START = 8, TURN = 30, FORWARD = 0, BACK = 1;

// Turning single pages by drag, with finger or mouse. The turn-effect library's own gesture
// decides the way from where the drag first registers and turns only when the corner passes the
// far edge, so on one page a slow leftward drag went back. Here the drag starts a fold on the side
// the finger leaves from, the fold follows the finger's travel, and letting go after a short
// travel completes the turn the way the finger went; a tap turns as the library does.
// active() says when this applies (one page on show, not zoomed).
export class PageDrag {
  constructor(element, pageFlip, active) {
    this.pageFlip = pageFlip;
    this.active = active;
    this.drag = null;
    // The library listens on its own block inside element: keep presses from it while active.
    for (const type of ['mousedown', 'touchstart']) element.addEventListener(type, (e) => { if (this.active()) e.stopPropagation(); }, true);
    element.addEventListener('pointerdown', (e) => this.press(e));
    window.addEventListener('pointermove', (e) => this.move(e));
    window.addEventListener('pointerup', (e) => this.release(e, true));
    window.addEventListener('pointercancel', (e) => this.release(e, false));
  }

  // A point in the library's block coordinates.
  point(event) {
    const box = this.pageFlip.getUI().getDistElement().getBoundingClientRect();
    return { x: event.clientX - box.left, y: event.clientY - box.top };
  }

  press(event) {
    if (!event.isPrimary || event.button > 0 || !this.active() || this.pageFlip.getState() !== 'read') return;
    this.drag = { id: event.pointerId, start: this.point(event), way: null, onLink: !!event.target.closest('a') };
  }

  move(event) {
    const drag = this.drag;
    if (!drag || event.pointerId !== drag.id) return;
    const at = this.point(event), dx = at.x - drag.start.x, dy = at.y - drag.start.y;
    if (drag.way === null) {
      if (Math.abs(dx) < START || Math.abs(dx) < Math.abs(dy)) return;
      drag.way = dx < 0 ? FORWARD : BACK;
      const { left, pageWidth } = this.pageFlip.getBoundsRect();
      if (!this.controller().start({ x: left + pageWidth + (drag.way === FORWARD ? pageWidth - 1 : 1), y: drag.start.y })) {
        this.drag = null;
        return;
      }
    }
    event.preventDefault();
    this.controller().fold(this.corner(at));
  }

  // The folded corner stays under the finger, on the shown page: the right half of the
  // library's bounds.
  corner(at) {
    const { left, pageWidth, height } = this.pageFlip.getBoundsRect();
    const clamp = (v, low, high) => Math.min(high, Math.max(low, v));
    return { x: clamp(at.x, left + pageWidth + 1, left + 2 * pageWidth - 1), y: clamp(at.y, 1, height - 1) };
  }

  release(event, completed) {
    const drag = this.drag;
    if (!drag || event.pointerId !== drag.id) return;
    this.drag = null;
    const controller = this.controller();
    if (drag.way === null) {
      if (completed && !drag.onLink) controller.flip(this.point(event));
      return;
    }
    const calculation = controller.getCalculation();
    if (!calculation) return;
    const dx = this.point(event).x - drag.start.x;
    const turn = completed && (drag.way === FORWARD ? dx <= -TURN : dx >= TURN);
    const { pageWidth, height } = this.pageFlip.getBoundsRect();
    const y = calculation.getCorner() === 'bottom' ? height : 0;
    controller.animateFlippingTo(calculation.getPosition(), { x: turn ? -pageWidth : pageWidth, y }, turn);
  }

  controller() {
    return this.pageFlip.getFlipController();
  }
}
