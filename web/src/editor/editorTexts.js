// The editor's interface texts: the book's first language (keys of AppFiles/lang/Meta.xml),
// English for any text it lacks.
export const EDITOR_TEXTS = {
  lblPage: 'Page',
  edTitle: 'Edit pages',
  edTabLinks: 'Links',
  edTabOutline: 'Contents',
  edPages: 'Pages',
  edUndo: 'Undo',
  edRedo: 'Redo',
  edZoomFit: 'Fit',
  edZoomIn: 'Zoom in',
  edZoomOut: 'Zoom out',
  edSave: 'Save',
  edSaveClose: 'Save and close',
  edClose: 'Close',
  edNewLink: 'New link',
  edDelete: 'Delete',
  edCopyTo: 'Copy to pages',
  edCopyToHint: 'For example 2-5, 8',
  edCopied: 'Copied to %d pages.',
  edCopy: 'Copy',
  edPageLinks: 'Links on this page',
  edLinkNumber: 'Link %d',
  edLinkKind: 'Link type',
  edKindPage: 'Go to page',
  edKindUrl: 'Web address',
  edKindImage: 'Picture',
  edKindVideo: 'Video',
  edKindSound: 'Sound',
  edKindFile: 'Document',
  edKindOther: 'Other link (kept as it is)',
  edTargetPage: 'Book page',
  edAddress: 'Address',
  edFile: 'File',
  edChooseFile: 'Choose file…',
  edTooltip: 'Tooltip (optional)',
  edNoSelection: 'Drag on the page to draw a link, or choose New link. Select a link to edit it.',
  edKeysHelp: 'Arrow keys move the selected links (Shift: 10 px), Alt with arrow keys resizes, Delete removes, Ctrl+C and Ctrl+V copy to another page.',
  edSelectedCount: '%d links selected',
  edBadAddress: 'Use an address that starts with http://, https://, mailto: or tel:.',
  edBadPage: 'Enter a page of this book.',
  edNoFile: 'Choose a file of this type.',
  edIncomplete: 'This link is not complete yet.',
  edUnsaved: 'Save your changes before closing?',
  edDiscard: 'Don\'t save',
  edCancel: 'Cancel',
  edSaved: 'Saved.',
  edOutlineAdd: 'Add entry',
  edOutlineDelete: 'Delete entry',
  edIndent: 'Indent',
  edOutdent: 'Outdent',
  edMoveUp: 'Move up',
  edMoveDown: 'Move down',
  edCaption: 'Title',
  edUseShownPage: 'Use the page on show',
  edNewEntry: 'New entry',
  edOutlineEmpty: 'This book has no contents yet. Choose Add entry.',
  edOutlineKeys: 'Alt with arrow keys moves, indents and outdents the entry; drag entries to reorder them.',
  edNotInBook: 'not in this book',
  edLoading: 'Opening the book…',
  edBookUnreadable: 'The book could not be read.',
};

export class EditorTexts {
  constructor(texts = {}) {
    this.texts = texts;
  }

  get(key, number) {
    const text = this.texts[key] || EDITOR_TEXTS[key] || key;
    return number === undefined ? text : text.replace('%d', String(number));
  }
}
