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
// addresses relative to the book are followed, never script or data ones.
export function safeUrl(value) {
  const url = (value || '').trim();
  const scheme = url.match(/^([a-z][a-z0-9+.-]*):/i);
  return !url || (scheme && !/^(https?|mailto|tel|ftp)$/i.test(scheme[1])) ? '' : url;
}
