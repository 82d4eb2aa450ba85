// The page-turn sound: the template's sound file; a book without one turns silently.
export class FlipSound {
  constructor(url) {
    this.url = url;
    this.on = !!url;
  }

  get available() {
    return !!this.url;
  }

  play() {
    if (!this.on || !this.url) return;
    new Audio(this.url).play().catch(() => {});
  }
}
