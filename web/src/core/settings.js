// The template settings the players honour, read from the book description's extConfig items
// (keys as resources/AppFiles/Templates/PLAYER_KEYS.md lists them).
export class PlayerSettings {
  constructor(values) {
    this.values = values;
  }

  text(key, fallback = '') {
    const value = this.values.get(key);
    return value === undefined || value === '' ? fallback : value;
  }

  number(key, fallback) {
    const value = parseFloat(this.text(key).replace(',', '.'));
    return Number.isFinite(value) ? value : fallback;
  }

  // Switches: "YES", "SHOW", "ENABLE" and "TRUE" in any case are on, any other text is off.
  flag(key, fallback) {
    const value = this.text(key).trim().toUpperCase();
    if (!value) return fallback;
    return ['YES', 'SHOW', 'ENABLE', 'TRUE'].includes(value);
  }

  color(key, fallback) {
    return cssColor(this.text(key), fallback);
  }
}

// Colours are written "0x" and six hex digits; "#rrggbb" passes too.
export function cssColor(value, fallback) {
  const hex = (value || '').trim().match(/^(?:0x|#)([0-9a-f]{6})$/i);
  return hex ? '#' + hex[1].toLowerCase() : fallback;
}

export function linkTarget(value) {
  const target = (value || '_blank').trim();
  return /^_(blank|self|parent|top)$/i.test(target) ? target.toLowerCase() : target;
}

// Link addresses from a book may come from any PDF: only web, mail and phone addresses and
// addresses relative to the book are followed, never script or data ones. The address is read as
// the browser's URL parser reads it (tabs and line breaks dropped, controls and spaces trimmed)
// before its scheme is checked; "example.org/page" is a web address, not a file next to the book.
const FILE_ENDINGS = new Set(('htm html xhtml shtml php asp aspx jsp pdf jpg jpeg png gif bmp svg webp tif tiff ico ' +
  'swf flv mp3 mp4 m4a m4v wav ogg ogv webm avi mov wmv txt rtf doc docx xls xlsx ppt pptx odt ods odp csv xml ' +
  'json js css zip rar gz tar epub exe dmg apk thm bin').split(' '));
const HOST = /^((?:[a-z0-9](?:[a-z0-9-]{0,61}[a-z0-9])?\.)+([a-z]{2,63}))(?::\d{1,5})?(?:[/?#]|$)/i;

export function normalizedUrl(value) {
  return String(value || '').replace(/[\t\n\r]/g, '').replace(/^[\u0000-\u0020]+|[\u0000-\u0020]+$/g, '');
}

export function safeUrl(value) {
  const url = normalizedUrl(value);
  if (!url) return '';
  if (url.startsWith('//')) return 'https:' + url;
  const host = url.match(HOST);
  if (host && (/^www\./i.test(url) || !FILE_ENDINGS.has(host[2].toLowerCase()))) return 'https://' + url;
  const scheme = url.match(/^([a-z][a-z0-9+.-]*):/i);
  return scheme && !/^(https?|mailto|tel|ftp)$/i.test(scheme[1]) ? '' : url;
}
