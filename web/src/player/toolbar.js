import { el, icon, ICONS } from '../core/dom.js';

// The control bar: buttons labelled from the interface texts, the page number field and,
// with several languages, the language switch. Tab order follows the visual order.
export class Toolbar {
  constructor(texts, buttons, onPageEntered, onLanguage) {
    this.texts = texts;
    this.specs = buttons.filter((spec) => spec.label);
    this.buttons = new Map();
    this.element = el('nav', { class: 'lm-toolbar', role: 'toolbar' });
    this.pageInput = el('input', {
      class: 'lm-page-input', type: 'text', inputmode: 'numeric', autocomplete: 'off',
      onkeydown: (e) => { if (e.key === 'Enter') onPageEntered(this.pageInput.value); e.stopPropagation(); },
      onchange: () => onPageEntered(this.pageInput.value),
    });
    this.pageCount = el('span', { class: 'lm-page-count' });
    for (const spec of buttons) {
      if (spec.id === 'pageField') {
        this.element.append(el('span', { class: 'lm-page-field', dir: 'ltr' }, this.pageInput, this.pageCount));
        continue;
      }
      if (!spec.visible) continue;
      const button = el('button', { type: 'button', class: 'lm-button lm-' + spec.id, 'data-action': spec.id, onclick: spec.handler },
        icon(ICONS[spec.id]));
      if (spec.toggle) button.setAttribute('aria-pressed', 'false');
      this.buttons.set(spec.id, button);
      this.element.append(button);
    }
    if (texts.names.length > 1) {
      this.language = el('select', { class: 'lm-language', onchange: () => onLanguage(this.language.selectedIndex) },
        texts.names.map((name) => el('option', {}, name)));
      this.element.append(this.language);
    }
    this.relabel();
  }

  // Labels come from the interface texts; a spec's label() may depend on the button's state.
  relabel() {
    for (const spec of this.specs) {
      const button = this.buttons.get(spec.id);
      if (!button) continue;
      const label = this.texts.get(spec.label());
      button.setAttribute('aria-label', label);
      button.title = label;
    }
    this.pageInput.setAttribute('aria-label', this.texts.get('lblGoToPage'));
    this.pageInput.title = this.texts.get('lblGoToPage');
    this.language?.setAttribute('aria-label', this.texts.get('btnLanguage'));
  }

  showPage(label, count) {
    if (document.activeElement !== this.pageInput) this.pageInput.value = label;
    this.pageCount.textContent = '/ ' + count;
  }

  setPressed(id, pressed) {
    this.buttons.get(id)?.setAttribute('aria-pressed', String(pressed));
    this.relabel();
  }

  setDisabled(id, disabled) {
    const button = this.buttons.get(id);
    if (button) button.disabled = disabled;
  }
}
