import { openBook } from '../player/player.js';
import { snapshotBase64 } from './snapshot.js';

// The live preview: the book published in this folder, and its current look for theme shots.
const root = document.getElementById('leafmill-book');
openBook(root);

globalThis.snapCurrentTmpl = function snapCurrentTmpl() {
  return snapshotBase64(root.querySelector('.lm-app') || root);
};
