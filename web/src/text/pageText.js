// The words of the book's pages: each page's text file is a script with one call,
// leafmillPageText(N, {t, w}), loaded by a script element so that it works from disk too.
// t is the text in reading order; w holds six numbers a word: start and length in t, then the
// word's box (x, y, width, height) as fractions of the shown page.

const PARALLEL = 24;
const MAX_TEXT = 1 << 20;

// The page's text as checked plain data, or null: anything else in the file is ignored.
export function checkedPageText(data) {
  const t = data?.t, w = data?.w;
  if (typeof t !== 'string' || t.length > MAX_TEXT || !Array.isArray(w) || w.length % 6) return null;
  const words = [];
  for (let i = 0; i < w.length; i += 6) {
    const [start, length, x, y, width, height] = w.slice(i, i + 6).map(Number);
    if (![start, length, x, y, width, height].every(Number.isFinite)) return null;
    if (start < 0 || length <= 0 || start + length > t.length || width <= 0 || height <= 0) continue;
    words.push({ start, end: start + length, x, y, width, height });
  }
  return { text: t, words };
}

// The file number a text address names ("./files/text/12.js" is 12), or null.
export function fileNumber(address) {
  const match = /(?:^|\/)(\d+)\.js$/.exec(address || '');
  return match ? parseInt(match[1], 10) : null;
}

// A relative address inside the book: no scheme, no root, no way up.
function insideBook(address) {
  return !!address && !/^[a-z][a-z0-9+.-]*:|^\/|\\|(^|\/)\.\.(\/|$)/i.test(address);
}

export class PageTexts {
  // pages: the book's pages ({ text } holds the text address); url(address) makes it loadable.
  constructor(pages, url) {
    this.pages = pages;
    this.url = url;
    this.loaded = new Map();
    this.waiting = new Map();
    this.running = 0;
    this.queue = [];
    const previous = globalThis.leafmillPageText;
    globalThis.leafmillPageText = (number, data) => {
      this.waiting.get(number)?.(data);
      if (typeof previous === 'function') previous(number, data);
    };
  }

  has(index) {
    return insideBook(this.pages[index]?.text) && fileNumber(this.pages[index].text) !== null;
  }

  get withText() {
    return this.pages.some((_, index) => this.has(index));
  }

  // Settles with the page's text, or null when it has none or it cannot be read.
  load(index) {
    if (!this.loaded.has(index)) {
      this.loaded.set(index, this.has(index) ? new Promise((done) => this.queue.push({ index, done })) : Promise.resolve(null));
      this.pump();
    }
    return this.loaded.get(index);
  }

  // Script elements in flight are limited, so that a search does not starve the pictures.
  pump() {
    while (this.running < PARALLEL && this.queue.length) {
      const { index, done } = this.queue.shift();
      this.running++;
      this.fetch(index).then((text) => {
        this.running--;
        done(text);
        this.pump();
      });
    }
  }

  // Over http the file is read as data (its one call's argument); from disk, where reading fails,
  // it runs as a script.
  fetch(index) {
    const url = this.url(this.pages[index].text);
    const asData = /^https?:$/.test(location.protocol)
      ? fetch(url).then((r) => (r.ok ? r.text() : Promise.reject())).then((text) => checkedPageText(JSON.parse(text.slice(text.indexOf('{'), text.lastIndexOf('}') + 1))))
      : Promise.reject();
    return asData.catch(() => this.run(index));
  }

  run(index) {
    const address = this.pages[index].text, number = fileNumber(address);
    return new Promise((resolve) => {
      const script = document.createElement('script');
      const finish = (data) => {
        if (this.waiting.get(number) === finish) this.waiting.delete(number);
        script.remove();
        resolve(data === undefined ? null : checkedPageText(data));
      };
      this.waiting.set(number, finish);
      script.onerror = () => finish(undefined);
      script.onload = () => finish(undefined);
      script.src = this.url(address);
      document.head.append(script);
    });
  }
}

// Case and accents do not count: "É" finds "e". Answers the folded text and, for each of its
// characters, the index in the original text it came from (one past the end last).
export function foldText(text) {
  let folded = '';
  const origin = [];
  for (let i = 0; i < text.length; i++) {
    const code = text.codePointAt(i);
    const char = String.fromCodePoint(code);
    const plain = code < 128 ? (code <= 32 ? ' ' : char.toLowerCase())
      : /\s/.test(char) ? ' ' : char.normalize('NFD').replace(/\p{M}/gu, '').toLowerCase();
    for (let k = 0; k < plain.length; k++) origin.push(i);
    folded += plain;
    if (code > 0xffff) i++;
  }
  origin.push(text.length);
  return { folded, origin };
}

export function foldQuery(query) {
  return foldText(query.trim().replace(/\s+/g, ' ')).folded;
}

// Every place the folded query occurs in a page's text ({ text } as checkedPageText answers it),
// as { start, end } in the original text.
export function findInPage(page, foldedQuery) {
  if (!foldedQuery) return [];
  const text = page.text;
  page.fold ??= foldText(text);
  const { folded, origin } = page.fold;
  const hits = [];
  for (let at = folded.indexOf(foldedQuery); at >= 0; at = folded.indexOf(foldedQuery, at + foldedQuery.length)) {
    const last = origin[at + foldedQuery.length - 1];
    hits.push({ start: origin[at], end: last + (text.codePointAt(last) > 0xffff ? 2 : 1) });
  }
  return hits;
}

// A line of text around a hit, for the list of results.
export function snippet(text, hit, around = 40) {
  const from = Math.max(0, hit.start - around), to = Math.min(text.length, hit.end + around);
  return {
    before: (from > 0 ? '…' : '') + text.slice(from, hit.start).replace(/\s+/g, ' ').trimStart(),
    match: text.slice(hit.start, hit.end),
    after: text.slice(hit.end, to).replace(/\s+/g, ' ').trimEnd() + (to < text.length ? '…' : ''),
  };
}

// The word boxes a stretch of the text covers, the first and last cut to the stretch's share.
export function boxesOf(words, start, end) {
  const boxes = [];
  for (const word of words) {
    if (word.end <= start || word.start >= end) continue;
    const length = word.end - word.start;
    const from = Math.max(0, start - word.start) / length, to = Math.min(length, end - word.start) / length;
    boxes.push({ x: word.x + word.width * from, y: word.y, width: word.width * (to - from), height: word.height });
  }
  return boxes;
}
