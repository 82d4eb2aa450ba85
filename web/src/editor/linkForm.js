import { el } from '../core/dom.js';
import { KINDS, FILE_KINDS, validAddress } from './editorBook.js';

export const KIND_TEXT = { page: 'edKindPage', url: 'edKindUrl', image: 'edKindImage', video: 'edKindVideo', sound: 'edKindSound', file: 'edKindFile', other: 'edKindOther' };

let fieldCount = 0;

// A labelled field: the label names the input for assistive technology too.
function field(label, input, note) {
  const id = 'ed-field-' + ++fieldCount;
  input.id = id;
  return el('div', { class: 'ed-field' }, el('label', { for: id }, label), input, note ?? null);
}

// The form of the selected link (or of several selected links) in the side panel.
export class LinkForm {
  constructor(editor) {
    this.editor = editor;
    this.element = el('section', { class: 'ed-form' });
  }

  render() {
    const t = (k, n) => this.editor.texts.get(k, n);
    const selected = [...this.editor.selection];
    if (!selected.length) {
      const parts = [el('p', { class: 'ed-help' }, t('edNoSelection')), this.linkList(), el('p', { class: 'ed-help ed-small' }, t('edKeysHelp'))];
      this.element.replaceChildren(...parts.filter(Boolean));   // a page without links has no list
      return;
    }
    const only = selected.length === 1 && selected[0];
    const heading = only
      ? el('h2', { class: 'ed-form-title ed-kind-' + only.kind }, el('span', { class: 'ed-chip', 'aria-hidden': 'true' }), t('edLinkNumber', this.editor.pageLinks().indexOf(only) + 1))
      : el('h2', { class: 'ed-form-title' }, t('edSelectedCount', selected.length));
    const parts = [heading, ...(only ? this.linkFields(only) : [])];
    this.element.replaceChildren(...parts, this.copyFields(),
      el('div', { class: 'ed-row' }, el('button', { type: 'button', class: 'ed-button ed-danger', onclick: () => this.editor.deleteSelected() }, t('edDelete'))));
  }

  // The page's links as a list, for an overview and a way to them by keyboard.
  linkList() {
    const links = this.editor.pageLinks();
    if (!links.length) return null;
    return el('div', { class: 'ed-link-list' }, el('h2', { class: 'ed-form-title' }, this.editor.texts.get('edPageLinks')),
      el('ul', {}, links.map((link) => el('li', {}, el('button', { type: 'button', class: 'ed-link-item ed-kind-' + link.kind,
        onclick: () => { this.editor.select([link]); this.editor.view.focusLink(link); } },
      el('span', { class: 'ed-chip', 'aria-hidden': 'true' }), el('span', { class: 'ed-link-text' }, this.editor.describe(link)))))));
  }

  linkFields(link) {
    const editor = this.editor;
    const t = (k) => editor.texts.get(k);
    const kinds = link.kind === 'other' ? ['other'] : KINDS;
    this.kindInput = el('select', { disabled: link.kind === 'other', onchange: (e) => editor.edit(link, 'kind', { kind: e.target.value }, true) },
      kinds.map((k) => el('option', { value: k, selected: k === link.kind }, t(KIND_TEXT[k]))));
    const fields = [field(t('edLinkKind'), this.kindInput)];
    if (link.kind === 'page') fields.push(this.pageField(link));
    if (link.kind === 'url') {
      const note = el('p', { class: 'ed-note', 'aria-live': 'polite' });
      const input = el('input', { type: 'url', value: link.url ?? '', placeholder: 'https://', spellcheck: 'false',
        oninput: (e) => { editor.edit(link, 'url', { url: e.target.value }); check(); } });
      const check = () => {
        const bad = !!input.value.trim() && !validAddress(input.value);
        input.setAttribute('aria-invalid', String(bad));
        note.textContent = bad ? t('edBadAddress') : '';
      };
      check();
      fields.push(field(t('edAddress'), input, note));
    }
    if (FILE_KINDS[link.kind]) {
      const name = link.file ? link.file.split('/').pop() : '';
      const shown = el('output', { class: 'ed-file-name' + (name ? '' : ' ed-empty') }, name || '—');
      const choose = el('button', { type: 'button', class: 'ed-button', onclick: () => editor.chooseFile(link) }, t('edChooseFile'));
      fields.push(el('div', { class: 'ed-field' }, el('span', { class: 'ed-label' }, t('edFile')), el('div', { class: 'ed-row' }, shown, choose)));
    }
    const tooltip = el('input', { type: 'text', value: link.tooltip ?? '', oninput: (e) => editor.edit(link, 'tooltip', { tooltip: e.target.value }) });
    fields.push(field(t('edTooltip'), tooltip));
    const problem = editor.problem(link);
    if (problem && link.kind !== 'url') fields.push(el('p', { class: 'ed-note' }, t(problem)));
    return fields;
  }

  pageField(link) {
    const editor = this.editor;
    const index = editor.numbers.bookIndex(link.pdf);
    const note = el('p', { class: 'ed-note', 'aria-live': 'polite' });
    const input = el('input', { type: 'number', min: '1', max: String(editor.book.pages.length), value: index === null ? '' : String(index + 1),
      oninput: (e) => {
        const pdf = editor.numbers.pdf(parseInt(e.target.value, 10) - 1);
        editor.edit(link, 'page', { pdf });
        note.textContent = pdf ? '' : editor.texts.get('edBadPage');
      } });
    if (index === null && link.pdf) note.textContent = editor.texts.get('lblPage') + ' ' + link.pdf + ': ' + editor.texts.get('edNotInBook');
    return field(editor.texts.get('edTargetPage'), input, note);
  }

  copyFields() {
    const t = (k) => this.editor.texts.get(k);
    const input = el('input', { type: 'text', placeholder: t('edCopyToHint'), inputmode: 'numeric',
      onkeydown: (e) => { if (e.key === 'Enter') this.editor.copyToPages(input.value); } });
    return el('div', { class: 'ed-copy' }, field(t('edCopyTo'), input),
      el('button', { type: 'button', class: 'ed-button', onclick: () => this.editor.copyToPages(input.value) }, t('edCopy')));
  }

  focus() {
    this.kindInput?.focus();
  }
}
