let kit = null;

// Runs the text part the page carries inert (selection, search, print) the first time it is asked
// for; answers its entry points, or null when the page has none.
export function textKit() {
  if (!kit) {
    const source = document.querySelector('script[type="text/x-leafmill-later"]');
    if (source) {
      const script = document.createElement('script');
      script.text = source.text.split('$%' + '{').join('$' + '{');
      document.head.append(script);
    }
    kit = Promise.resolve(globalThis.leafmillTextKit ?? null);
  }
  return kit;
}
