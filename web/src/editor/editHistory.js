// Undo and redo over snapshots of the edited state. Steps of one kind that follow each other
// quickly (a run of arrow keys, typing into one field) are one step.
export class EditHistory {
  constructor(snapshot, restore) {
    this.snapshot = snapshot;
    this.restore = restore;
    this.undoSteps = [];
    this.redoSteps = [];
    this.lastTag = '';
    this.lastTime = 0;
  }

  // Call before a change; tag names the kind of change for merging.
  record(tag = '') {
    const now = Date.now();
    if (!(tag && tag === this.lastTag && now - this.lastTime < 1200)) this.undoSteps.push(this.snapshot());
    this.lastTag = tag;
    this.lastTime = now;
    this.redoSteps = [];
  }

  undo() {
    this.step(this.undoSteps, this.redoSteps);
  }

  redo() {
    this.step(this.redoSteps, this.undoSteps);
  }

  step(from, to) {
    if (!from.length) return;
    to.push(this.snapshot());
    this.restore(from.pop());
    this.lastTag = '';
  }
}
