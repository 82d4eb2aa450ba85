import { el } from '../core/dom.js';
import { boxesOf } from './pageText.js';

let measurer = null;

// The width of the word in the layer's font at 1px.
function unitWidth(word) {
  measurer ??= document.createElement('canvas').getContext('2d');
  measurer.font = '100px sans-serif';
  return measurer.measureText(word).width / 100 || 0.5 * word.length;
}

// Transparent words over a page picture, each stretched over its box, so that a reader can select
// and copy them and a screen reader reads them in order. Sizes follow the page box (container
// units), so zoom and resizing keep them in place. aspect: the page's width / height.
export class TextLayer {
  constructor(page, aspect, label) {
    this.page = page;
    this.hits = el('div', { class: 'lm-hits', 'aria-hidden': 'true' });
    this.words = page.words.map((word, index) => {
      const text = page.text.slice(word.start, word.end);
      const stretch = (word.width / word.height) * aspect / unitWidth(text);
      return el('span', { class: 'lm-word', 'data-i': String(index), style: {
        left: word.x * 100 + '%', top: word.y * 100 + '%', fontSize: word.height * 100 + 'cqh',
        transform: 'scaleX(' + stretch.toFixed(4) + ')',
      } }, text);
    });
    // Spaces between the words (unseen, out of the way) keep them apart for screen readers.
    this.element = el('div', { class: 'lm-text', role: 'document', 'aria-label': label }, this.hits,
      this.words.flatMap((span, i) => (i ? [' ', span] : [span])));
    // Older engines (the application's preview window) lack container units: sizes follow the layer.
    if (!globalThis.CSS?.supports('font-size', '1cqh')) {
      new ResizeObserver(([entry]) => this.words.forEach((span, i) => {
        span.style.fontSize = page.words[i].height * entry.contentRect.height + 'px';
      })).observe(this.element);
    }
    // Mouse presses on words select text instead of turning, panning or zooming; touch keeps its gestures.
    const keep = (e) => { if (e.target.classList.contains('lm-word') && (e.pointerType ?? 'mouse') === 'mouse') e.stopPropagation(); };
    for (const type of ['pointerdown', 'mousedown', 'dblclick']) this.element.addEventListener(type, keep);
  }

  // Marks the hits ({ start, end } in the page's text); the current one stands out.
  mark(hits, current) {
    this.hits.replaceChildren(...hits.flatMap((hit) => boxesOf(this.page.words, hit.start, hit.end).map((box) => el('div', {
      class: 'lm-hit' + (hit === current ? ' lm-hit-current' : ''),
      style: { left: box.x * 100 + '%', top: box.y * 100 + '%', width: box.width * 100 + '%', height: box.height * 100 + '%' },
    }))));
  }

  // The part of the page's text the selection covers, or '' when it covers none of it.
  selectedText(selection) {
    const inside = this.words.filter((span) => selection.containsNode(span, true));
    if (!inside.length) return '';
    const range = selection.getRangeAt(0);
    const first = this.page.words[+inside[0].dataset.i], last = this.page.words[+inside[inside.length - 1].dataset.i];
    const offset = (span, node, at, word) => (span.contains(node) ? Math.min(at, word.end - word.start) : null);
    const start = first.start + (offset(inside[0], range.startContainer, range.startOffset, first) ?? 0);
    const endOffset = offset(inside[inside.length - 1], range.endContainer, range.endOffset, last);
    const end = endOffset === null ? last.end : last.start + endOffset;
    return this.page.text.slice(start, Math.max(start, end));
  }
}

// Copying takes the pages' own text: words joined as the page has them, lines kept.
export function copyFromLayers(layers) {
  document.addEventListener('copy', (event) => {
    const selection = document.getSelection();
    if (!selection?.rangeCount) return;
    const parts = [...layers()].map((layer) => layer.selectedText(selection)).filter(Boolean);
    if (!parts.length) return;
    event.clipboardData.setData('text/plain', parts.join('\n\n'));
    event.preventDefault();
  });
}
