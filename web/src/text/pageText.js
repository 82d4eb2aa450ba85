// The words of the book's pages: each page's text file is a script with one call,
// leafmillPageText(N, {t, w}), loaded by a script element so that it works from disk too.
// t is the text in reading order; w holds six numbers a word: start and length in t, then the
// word's box (x, y, width, height) as fractions of the shown page. Search reads the book's search
// parts instead where the book has them: a few files with the text of many pages each.

const PARALLEL = 24;
const MAX_TEXT = 1 << 20;

// The page's text as checked plain data, or null: anything else in the file is ignored. boxes may
// be a function that answers the array: the words are then made when first asked for.
export function checkedPageText(data, boxes = data?.w) {
  const t = data?.t;
  if (typeof t !== 'string' || t.length > MAX_TEXT) return null;
  let words = typeof boxes === 'function' ? null : checkedWords(t, boxes);
  if (!words && typeof boxes !== 'function') return null;
  return { text: t, get words() { return (words ??= checkedWords(t, boxes()) ?? []); } };
}

function checkedWords(t, w) {
  if (!Array.isArray(w) || w.length % 6) return null;
  const words = [];
  for (let i = 0; i < w.length; i += 6) {
    const [start, length, x, y, width, height] = w.slice(i, i + 6).map(Number);
    if (![start, length, x, y, width, height].every(Number.isFinite)) return null;
    if (start < 0 || length <= 0 || start + length > t.length || width <= 0 || height <= 0) continue;
    words.push({ start, end: start + length, x, y, width, height });
  }
  return words;
}

const parsed = (text) => { try { return JSON.parse(text); } catch { return undefined; } };

// A text file read as data: the text alone first; the word boxes, most of the file, only when a
// layer asks for them.
export function parsePageText(file) {
  const body = file.slice(file.indexOf('{'), file.lastIndexOf('}') + 1), split = body.indexOf(',"w":[');
  const t = body.startsWith('{"t":"') && body.endsWith(']}') && split > 0 ? parsed(body.slice(5, split)) : undefined;
  return typeof t === 'string' ? checkedPageText({ t }, () => parsed(body.slice(split + 5, -1))) : checkedPageText(JSON.parse(body));
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

// A search part, leafmillSearchText(K,[[N,"text"],…]), holds the text of many pages, each under
// its text file's number N: a Map of N to text, or null.
function checkedSearchPart(data) {
  return Array.isArray(data)
    ? new Map(data.filter((e) => Array.isArray(e) && Number.isInteger(e[0]) && typeof e[1] === 'string' && e[1].length <= MAX_TEXT))
    : null;
}

const parseSearchPart = (file) => checkedSearchPart(JSON.parse(file.slice(file.indexOf('['), file.lastIndexOf(']') + 1)));

export class PageTexts {
  // pages: the book's pages ({ text } holds the text address, { search } the search part's);
  // url(address) makes an address loadable.
  constructor(pages, url) {
    this.pages = pages;
    this.url = url;
    this.loaded = new Map();
    this.parts = new Map();
    this.searched = new Map();
    this.waiting = new Map();
    this.running = 0;
    this.queue = [];
    this.listen('leafmillPageText', 'page');
    this.listen('leafmillSearchText', 'part');
  }

  listen(name, kind) {
    const previous = globalThis[name];
    globalThis[name] = (number, data) => {
      this.waiting.get(kind + number)?.(data);
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
      this.loaded.set(index, this.has(index) ? this.queued(() => this.read(this.pages[index].text, 'page', parsePageText, checkedPageText)) : Promise.resolve(null));
    }
    return this.loaded.get(index);
  }

  // The page's text for search ({ text }), or null: from the search part that holds it (a few
  // files for the whole book), else, in books without parts, from the page's own file.
  searchText(index) {
    if (!this.searched.has(index)) {
      const address = this.pages[index]?.search;
      if (this.has(index) && insideBook(address) && fileNumber(address) !== null && !this.parts.has(address))
        this.parts.set(address, this.queued(() => this.read(address, 'part', parseSearchPart, checkedSearchPart)));
      const text = this.parts.get(address)?.then((texts) => texts?.get(fileNumber(this.pages[index].text))) ?? Promise.resolve();
      this.searched.set(index, text.then((t) => (typeof t === 'string' ? { text: t } : this.load(index))));
    }
    return this.searched.get(index);
  }

  // Files in flight are limited, so that a search does not starve the pictures.
  queued(task) {
    return new Promise((done) => {
      this.queue.push({ task, done });
      this.pump();
    });
  }

  pump() {
    while (this.running < PARALLEL && this.queue.length) {
      const { task, done } = this.queue.shift();
      this.running++;
      task().then((result) => {
        this.running--;
        done(result);
        this.pump();
      });
    }
  }

  // Over http the file is read as data (its one call's argument); from disk, where reading fails,
  // it runs as a script. Settles with what check makes of the data, or null.
  read(address, kind, parse, check) {
    const asData = /^https?:$/.test(location.protocol)
      ? fetch(this.url(address)).then((r) => (r.ok ? r.text() : Promise.reject())).then(parse)
      : Promise.reject();
    return asData.catch(() => this.run(address, kind).then((data) => (data === undefined ? null : check(data))));
  }

  run(address, kind) {
    const key = kind + fileNumber(address);
    return new Promise((resolve) => {
      const script = document.createElement('script');
      const finish = (data) => {
        if (this.waiting.get(key) === finish) this.waiting.delete(key);
        script.remove();
        resolve(data);
      };
      this.waiting.set(key, finish);
      script.onerror = () => finish(undefined);
      script.onload = () => finish(undefined);
      script.src = this.url(address);
      document.head.append(script);
    });
  }
}

const FOLDS = new Map();

// One character as search sees it: white space is a space, accents go, lower case, and
// compatibility forms become the letters they stand for ("ﬁ" is "fi", "Ｂ" is "b", "²" is "2").
function foldChar(char) {
  let plain = FOLDS.get(char);
  if (plain === undefined) {
    plain = char < ' ' || /\s/.test(char) ? ' ' : char.normalize('NFKD').replace(/\p{M}/gu, '').toLowerCase();
    FOLDS.set(char, plain);
  }
  return plain;
}

// Case, accents and ligatures do not count: "É" finds "e", "find" finds "ﬁnd". Answers the
// folded text and, for each of its characters, the index in the original text it came from (one
// past the end last); origin is null while every character folds to one of the same length (it
// then equals the index). Runs of printable ASCII are only lowered; the others fold one by one.
export function foldText(text) {
  let folded = '', origin = null, from = 0;
  const spread = (to) => { for (let i = from; i < to; i++) origin.push(i); };
  for (const match of text.matchAll(/[^\x20-\x7e]/gu)) {
    const char = match[0], at = match.index, plain = foldChar(char);
    folded += text.slice(from, at).toLowerCase();
    if (origin) spread(at);
    else if (plain.length !== char.length) origin = Array.from({ length: at }, (_, i) => i);
    if (origin) for (let k = 0; k < plain.length; k++) origin.push(at);
    folded += plain;
    from = at + char.length;
  }
  folded += text.slice(from).toLowerCase();
  if (origin) {
    spread(text.length);
    origin.push(text.length);
  }
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
    const last = origin ? origin[at + foldedQuery.length - 1] : at + foldedQuery.length - 1;
    hits.push({ start: origin ? origin[at] : at, end: last + (text.codePointAt(last) > 0xffff ? 2 : 1) });
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
