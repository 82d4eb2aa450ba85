import { rc4, asciiBytes } from './rc4.js';

// files/book.js assigns the bytes of files/book.bin, base64-encoded, to this global.
export const BOOK_SCRIPT_GLOBAL = 'LEAFMILL_BOOK_BIN';
const BOOK_KEY = 'qv-bookkey-2009';

export class BookError extends Error {}

export const MISSING_BOOK = 'The book could not be opened: files/book.bin was not found.';
export const DAMAGED_BOOK = 'The book could not be opened: files/book.bin is damaged or is not a book description.';

// The bytes of book.bin from the folder at baseUrl ("" for the page's own folder). Browsers do
// not let pages opened from disk fetch, so those read files/book.js first; over http book.bin
// comes first.
export async function loadBookBytes(baseUrl) {
  const overHttp = /^https?:$/.test(globalThis.location?.protocol ?? '');
  const loaders = overHttp ? [fetchBookBin, loadBookScript] : [loadBookScript, fetchBookBin];
  for (const load of loaders) {
    const bytes = await load(baseUrl).catch(() => null);
    if (bytes) return bytes;
  }
  throw new BookError(MISSING_BOOK);
}

// The page may have asked for its own folder's book already (LEAFMILL_BOOK_REQUEST, once).
async function fetchBookBin(baseUrl) {
  const early = baseUrl === '' ? globalThis.LEAFMILL_BOOK_REQUEST : undefined;
  delete globalThis.LEAFMILL_BOOK_REQUEST;
  const response = await (early ?? fetch(baseUrl + 'files/book.bin', { cache: 'no-cache' }));
  if (!response?.ok) return null;
  return new Uint8Array(await response.arrayBuffer());
}

function loadBookScript(baseUrl) {
  return new Promise((resolve) => {
    delete globalThis[BOOK_SCRIPT_GLOBAL];
    const script = document.createElement('script');
    script.src = baseUrl + 'files/book.js';
    script.onload = () => {
      script.remove();
      const text = globalThis[BOOK_SCRIPT_GLOBAL];
      resolve(typeof text === 'string' ? base64Bytes(text) : null);
    };
    script.onerror = () => { script.remove(); resolve(null); };
    document.head.appendChild(script);
  });
}

export function base64Bytes(text) {
  try {
    return Uint8Array.from(atob(text.replace(/\s+/g, '')), (c) => c.charCodeAt(0));
  } catch {
    throw new BookError(DAMAGED_BOOK);
  }
}

// book.bin is an RC4-scrambled zip archive whose first entry is book.xml.
export function bookXmlText(bookBin) {
  const zip = rc4(asciiBytes(BOOK_KEY), bookBin);
  let entries;
  try {
    entries = globalThis.fflate.unzipSync(zip);
  } catch {
    throw new BookError(DAMAGED_BOOK);
  }
  const xml = entries['book.xml'] ?? Object.values(entries)[0];
  if (!xml) throw new BookError(DAMAGED_BOOK);
  return new TextDecoder('utf-8').decode(xml);
}
