const START = 8, TURN = 30, FORWARD = 0, BACK = 1;

// Turning pages by drag: any drag by finger or pen, and mouse drags on a single page. The
// turn-effect library's own gesture registers a touch only after a pause and decides the way from
// where the drag is then, and turns only when the corner passes the far edge, so a slow leftward
// drag went back. Here the drag starts a fold on the side the pointer leaves from, the folded corner
// stays under the pointer, and letting go after a short travel completes the turn the way the
// pointer went; a tap turns as the library does. Mouse drags on spreads stay with the library.
export class PageDrag {
  constructor(element, pageFlip, onePage, zoomed) {
    this.pageFlip = pageFlip;
    this.onePage = onePage;
    this.zoomed = zoomed;
    this.touch = false;
    this.drag = null;
    // The library listens on its own block inside element: keep presses from it while this
    // applies. A pointer's down event comes before its touch or mouse one.
    for (const type of ['mousedown', 'touchstart']) element.addEventListener(type, (e) => { if (this.active()) e.stopPropagation(); }, true);
    element.addEventListener('pointerdown', (e) => {
      this.touch = e.pointerType !== 'mouse';
      this.press(e);
    });
    window.addEventListener('pointermove', (e) => this.move(e));
    window.addEventListener('pointerup', (e) => this.release(e, true));
    window.addEventListener('pointercancel', (e) => this.release(e, false));
  }

  active() {
    return !this.zoomed() && (this.touch || this.onePage());
  }

  // The part of the library's bounds on show: on one page, the right half.
  shown() {
    const { left, pageWidth, height } = this.pageFlip.getBoundsRect();
    return { low: left + (this.onePage() ? pageWidth : 0), high: left + 2 * pageWidth, pageWidth, height };
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
      const { low, high } = this.shown();
      if (!this.controller().start({ x: drag.way === FORWARD ? high - 1 : low + 1, y: drag.start.y })) {
        this.drag = null;
        return;
      }
    }
    event.preventDefault();
    this.controller().fold(this.corner(at));
  }

  // The folded corner stays under the pointer, within the pages on show.
  corner(at) {
    const { low, high, height } = this.shown();
    const clamp = (v, min, max) => Math.min(max, Math.max(min, v));
    return { x: clamp(at.x, low + 1, high - 1), y: clamp(at.y, 1, height - 1) };
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
