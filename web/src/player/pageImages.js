import { imageFromSwf } from '../core/swfImage.js';

const AHEAD = 3, BEHIND = 2, KEEP = 12;

// Loads page images only around the pages on show and lets far-away ones go.
export class PageImages {
  constructor(pages, baseUrl) {
    this.pages = pages;
    this.baseUrl = baseUrl;
    this.images = new Map();
    this.swfImages = new Map();
  }

  attach(index, img) {
    this.images.set(index, img);
  }

  url(path) {
    return /^[a-z][a-z0-9+.-]*:/i.test(path) ? path : this.baseUrl + path.replace(/^\.\//, '');
  }

  keepAround(visible) {
    const low = Math.min(...visible), high = Math.max(...visible);
    for (const [index, img] of this.images) {
      if (index >= low - BEHIND && index <= high + AHEAD) this.load(index, img);
      else if (index < low - KEEP || index > high + KEEP) this.release(img);
    }
  }

  load(index, img) {
    if (img.dataset.state) return;
    img.dataset.state = 'loading';
    img.addEventListener('load', () => {
      img.dataset.state = 'loaded';
      if (this.onShow?.includes(index)) this.sharpen(this.onShow);
    }, { once: true });
    this.setSource(img, this.pages[index], () => img.dataset.state === 'loading');
  }

  setSource(img, page, stillWanted = () => true) {
    if (page.image) {
      img.src = this.url(page.image);
      return;
    }
    if (/\.swf$/i.test(page.normal)) {
      this.swfUrl(page).then((src) => { if (stillWanted()) img.src = src; });
      return;
    }
    img.src = this.url(page.normal);
  }

  // The pages on show take the zoom tier once the screen needs more pixels than their normal
  // picture has (zoom, device pixel ratio); not called before the first page is painted.
  sharpen(indices) {
    this.onShow = indices;
    for (const index of indices) {
      const img = this.images.get(index), page = this.pages[index];
      if (!img?.naturalWidth || img.dataset.sharp || !page.large || page.large === page.normal || /\.swf$/i.test(page.large)) continue;
      if (img.getBoundingClientRect().width * devicePixelRatio <= img.naturalWidth + 1) continue;
      img.dataset.sharp = 'on';
      img.src = this.url(page.large);
    }
  }

  // Asks for the pictures of pages before their elements exist; the elements find them in the
  // browser's memory cache.
  prefetch(indices) {
    this.prefetched = indices.map((index) => {
      const img = new Image();
      this.setSource(img, this.pages[index]);
      return img;
    });
  }

  release(img) {
    if (!img.dataset.state) return;
    delete img.dataset.state;
    delete img.dataset.sharp;
    img.removeAttribute('src');
  }

  // A SWF page without a picture beside it shows the bitmap inside the movie; without one (or
  // unreadable) the thumbnail.
  swfUrl(page) {
    if (!this.swfImages.has(page.normal)) {
      const thumb = this.url(page.thumb);
      const found = fetch(this.url(page.normal))
        .then((r) => (r.ok ? r.arrayBuffer() : Promise.reject()))
        .then((data) => {
          const image = imageFromSwf(new Uint8Array(data));
          return image ? URL.createObjectURL(new Blob([image.bytes], { type: image.type })) : thumb;
        })
        .catch(() => thumb);
      this.swfImages.set(page.normal, found);
    }
    return this.swfImages.get(page.normal);
  }
}
