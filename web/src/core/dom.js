// el('button', { class: 'x', onclick: f }, child...) builds an element; strings become text.
export function el(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (value === undefined || value === null || value === false) continue;
    if (name.startsWith('on')) node.addEventListener(name.slice(2), value);
    else if (name === 'style' && typeof value === 'object') Object.assign(node.style, value);
    else node.setAttribute(name, value === true ? '' : value);
  }
  node.append(...children.flat().filter((c) => c !== null && c !== undefined && c !== false));
  return node;
}

const SVG = 'http://www.w3.org/2000/svg';

export function icon(path) {
  const svg = document.createElementNS(SVG, 'svg');
  svg.setAttribute('viewBox', '0 0 24 24');
  svg.setAttribute('aria-hidden', 'true');
  const shape = document.createElementNS(SVG, 'path');
  shape.setAttribute('d', path);
  svg.append(shape);
  return svg;
}

export const ICONS = {
  first: 'M6 5h2v14H6zM19 5v14l-9-7z',
  previous: 'M16 5v14L6 12z',
  next: 'M8 5v14l10-7z',
  last: 'M16 5h2v14h-2zM5 5v14l9-7z',
  thumbnails: 'M4 4h7v7H4zM13 4h7v7h-7zM4 13h7v7H4zM13 13h7v7h-7z',
  outline: 'M4 5h3v2H4zM9 5h11v2H9zM4 11h3v2H4zM9 11h11v2H9zM4 17h3v2H4zM9 17h11v2H9z',
  zoomIn: 'M10 3a7 7 0 0 1 5.6 11.2l5.1 5.1-1.4 1.4-5.1-5.1A7 7 0 1 1 10 3zm0 2a5 5 0 1 0 0 10 5 5 0 0 0 0-10zM9 7h2v2h2v2h-2v2H9v-2H7V9h2z',
  zoomOut: 'M10 3a7 7 0 0 1 5.6 11.2l5.1 5.1-1.4 1.4-5.1-5.1A7 7 0 1 1 10 3zm0 2a5 5 0 1 0 0 10 5 5 0 0 0 0-10zM7 9h6v2H7z',
  fullscreen: 'M4 4h6v2H6v4H4zM14 4h6v6h-2V6h-4zM4 14h2v4h4v2H4zM18 14h2v6h-6v-2h4z',
  sound: 'M4 9h4l5-4v14l-5-4H4zM16 8a5 5 0 0 1 0 8l-1.2-1.6a3 3 0 0 0 0-4.8z',
  autoFlip: 'M8 5v14l11-7z',
  download: 'M11 4h2v9l3-3 1.4 1.4L12 16.8 6.6 11.4 8 10l3 3zM5 18h14v2H5z',
  share: 'M18 16a3 3 0 1 1-2.8 2l-6.4-3.4a3 3 0 1 1 0-5.2l6.4-3.4A3 3 0 1 1 16 7.8l-6.2 3.3a3 3 0 0 1 0 1.8l6.2 3.3A3 3 0 0 1 18 16z',
  search: 'M10 3a7 7 0 0 1 5.6 11.2l5.1 5.1-1.4 1.4-5.1-5.1A7 7 0 1 1 10 3zm0 2a5 5 0 1 0 0 10 5 5 0 0 0 0-10z',
  print: 'M7 3h10v5H7zM5 9h14a2 2 0 0 1 2 2v6h-4v4H7v-4H3v-6a2 2 0 0 1 2-2zm4 7v3h6v-3zm8-4a1 1 0 1 0 2 0 1 1 0 0 0-2 0z',
  close: 'M6 5l6 6 6-6 1 1-6 6 6 6-1 1-6-6-6 6-1-1 6-6-6-6z',
  more: 'M10 5a2 2 0 1 0 4 0 2 2 0 1 0-4 0zM10 12a2 2 0 1 0 4 0 2 2 0 1 0-4 0zM10 19a2 2 0 1 0 4 0 2 2 0 1 0-4 0z',
};
