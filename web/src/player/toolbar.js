import { el, icon, ICONS } from '../core/dom.js';

// The control bar: buttons labelled from the interface texts, the page number field, the search
// field and, with several languages, the language switch. It keeps to one row: the controls after
// the page turning ones that do not fit move, last first, into the "more" menu. Tab order follows
// the visual order.
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
    this.movable = [];
    for (const spec of buttons) {
      if (spec.id === 'pageField') {
        this.element.append(el('span', { class: 'lm-page-field', dir: 'ltr' }, this.pageInput, this.pageCount));
        continue;
      }
      if (!spec.visible) continue;
      if (spec.id === 'searchField') {
        this.searchField = el('input', { type: 'search', class: 'lm-search-input lm-toolbar-search', 'data-action': 'search', autocomplete: 'off',
          enterkeyhint: 'search', onkeydown: (e) => this.searchKey(e, spec.handler), onfocus: spec.onFocus });
        this.buttons.set('search', this.searchField);
        this.element.append(this.searchField);
        this.movable.push(this.searchField);
        continue;
      }
      const button = el('button', { type: 'button', class: 'lm-button lm-' + spec.id, 'data-action': spec.id, onclick: spec.handler },
        icon(ICONS[spec.id]), el('span', { class: 'lm-button-label' }));
      if (spec.toggle) button.setAttribute('aria-pressed', 'false');
      this.buttons.set(spec.id, button);
      this.element.append(button);
      if (!['first', 'previous', 'next', 'last'].includes(spec.id)) this.movable.push(button);
    }
    if (texts.names.length > 1) {
      this.language = el('select', { class: 'lm-language', onchange: () => onLanguage(this.language.selectedIndex) },
        texts.names.map((name) => el('option', {}, name)));
      this.element.append(this.language);
      this.movable.push(this.language);
    }
    this.buildMenu();
    this.relabel();
  }

  buildMenu() {
    this.menu = el('div', { class: 'lm-more-menu', id: 'lm-more-menu', hidden: true,
      onclick: (e) => { if (e.target.closest('button')) this.openMenu(false); } });
    this.moreButton = el('button', { type: 'button', class: 'lm-button lm-more', 'aria-expanded': 'false', 'aria-controls': 'lm-more-menu',
      hidden: true, onclick: () => this.openMenu(this.menu.hidden) }, icon(ICONS.more));
    this.element.append(this.moreButton, this.menu);
    this.element.addEventListener('keydown', (e) => {
      if (e.key !== 'Escape' || this.menu.hidden) return;
      e.stopPropagation();
      this.openMenu(false);
      this.moreButton.focus();
    });
    document.addEventListener('pointerdown', (e) => {
      if (!this.menu.contains(e.target) && !this.moreButton.contains(e.target)) this.openMenu(false);
    });
  }

  // From the menu, a search closes it: the results it would cover are what the reader wants.
  searchKey(event, handler) {
    event.stopPropagation();
    handler(event);
    if (event.key !== 'Enter' || this.menu.hidden || !this.menu.contains(this.searchField)) return;
    this.openMenu(false);
    this.moreButton.focus();
  }

  openMenu(open) {
    this.menu.hidden = !open;
    this.moreButton.setAttribute('aria-expanded', String(open));
    if (open) this.menu.querySelector('button:not(:disabled), select')?.focus();
  }

  // Puts every control back in the bar, then moves controls into the menu until the row fits.
  // The widths are measured once: every measurement lays out the whole page.
  fit() {
    const focused = this.element.contains(document.activeElement) ? document.activeElement : null;
    this.openMenu(false);
    for (const control of this.movable) this.element.insertBefore(control, this.moreButton);
    this.moreButton.hidden = true;
    const style = getComputedStyle(this.element);
    const gap = parseFloat(style.columnGap) || 0;
    const room = this.element.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
    const shown = [...this.element.children].filter((c) => c !== this.menu && !c.hidden);
    const width = new Map(shown.map((c) => [c, c.getBoundingClientRect().width + gap
      + parseFloat(getComputedStyle(c).marginLeft) + parseFloat(getComputedStyle(c).marginRight)]));
    let needed = [...width.values()].reduce((sum, w) => sum + w, -gap);
    if (needed > room + 0.5) {
      this.moreButton.hidden = false;
      needed += width.get(shown[0]);
      for (const control of [...this.movable].reverse()) {
        if (needed <= room + 0.5) break;
        needed -= width.get(control) ?? 0;
        this.menu.prepend(control);
      }
    }
    if (focused) (this.menu.contains(focused) ? this.moreButton : focused).focus();
  }

  // Labels come from the interface texts; a spec's label() may depend on the button's state.
  relabel() {
    for (const spec of this.specs) {
      const button = this.buttons.get(spec.id);
      if (!button) continue;
      const label = this.texts.get(spec.label());
      button.setAttribute('aria-label', label);
      button.title = label;
      button.lastChild.textContent = label;
    }
    this.pageInput.setAttribute('aria-label', this.texts.get('lblGoToPage'));
    this.pageInput.title = this.texts.get('lblGoToPage');
    this.searchField?.setAttribute('aria-label', this.texts.get('lblSearch'));
    this.searchField?.setAttribute('placeholder', this.texts.get('lblSearch'));
    this.language?.setAttribute('aria-label', this.texts.get('btnLanguage'));
    this.moreButton.setAttribute('aria-label', this.texts.get('btnMore'));
    this.moreButton.title = this.texts.get('btnMore');
  }

  showPage(label, count) {
    if (document.activeElement !== this.pageInput) this.pageInput.value = label;
    if (this.pageCount.textContent === '/ ' + count) return;
    this.pageCount.textContent = '/ ' + count;
    if (this.element.isConnected) this.fit();
  }

  setPressed(id, pressed) {
    const button = this.buttons.get(id);
    if (button?.hasAttribute('aria-pressed')) button.setAttribute('aria-pressed', String(pressed));
    this.relabel();
  }

  setDisabled(id, disabled) {
    const button = this.buttons.get(id);
    if (button) button.disabled = disabled;
  }

  // A control in the closed menu cannot take the focus; the menu button takes it instead.
  focusButton(id) {
    const button = this.buttons.get(id);
    (this.menu.hidden && this.menu.contains(button) ? this.moreButton : button)?.focus();
  }

  // Focuses the control, opening the menu first when it is there; false when there is none.
  reveal(id) {
    const control = this.buttons.get(id);
    if (!control) return false;
    if (this.menu.contains(control)) this.openMenu(true);
    control.focus();
    return true;
  }

  // The first control a reader can use, for the skip link over the page links.
  focusFirst() {
    [...this.element.querySelectorAll('button, input, select')].find((c) => !c.disabled && !c.hidden && !c.closest('[hidden]'))?.focus();
  }
}
