// Interface texts: the chosen languages of the book description, keyed as in
// AppFiles/lang/Meta.xml, with English defaults for any text a language lacks.
export const DEFAULT_TEXTS = {
  btnFirstPage: 'First page',
  btnPrevPage: 'Previous page',
  btnNextPage: 'Next page',
  btnLastPage: 'Last page',
  btnThumbnails: 'Thumbnails',
  btnOutline: 'Contents',
  btnZoomIn: 'Zoom in',
  btnZoomOut: 'Zoom out',
  btnFullscreen: 'Full screen',
  btnExitFullscreen: 'Exit full screen',
  btnSoundOn: 'Sound on',
  btnSoundOff: 'Sound off',
  btnDownload: 'Download',
  btnShare: 'Share',
  btnSearch: 'Search',
  lblSearch: 'Search the book',
  btnPrint: 'Print',
  btnAutoFlipStart: 'Play',
  btnAutoFlipStop: 'Pause',
  btnLanguage: 'Language',
  btnClose: 'Close',
  btnMore: 'More',
  lnkSkipToToolbar: 'Skip to the toolbar',
  lblPage: 'Page',
  lblPageOf: 'of',
  lblGoToPage: 'Go to page',
  lblThumbnails: 'Pages',
  lblOutline: 'Contents',
  lblLoading: 'Loading…',
  msgPageLoadFailed: 'This page could not be loaded.',
  msgLinkCopied: 'Link copied to the clipboard.',
  msgNoOutline: 'This book has no table of contents.',
};

export class Texts {
  constructor(languages) {
    this.languages = languages.length ? languages : [{ name: 'English', texts: {} }];
    this.current = 0;
  }

  get names() {
    return this.languages.map((l, i) => l.name || 'Language ' + (i + 1));
  }

  choose(index) {
    this.current = Math.min(Math.max(0, index), this.languages.length - 1);
  }

  get(key) {
    return this.languages[this.current].texts[key] || DEFAULT_TEXTS[key] || key;
  }

  page(number) {
    return this.get('lblPage') + ' ' + number;
  }

  pageOf(label, count) {
    return this.get('lblPage') + ' ' + label + ' ' + this.get('lblPageOf') + ' ' + count;
  }
}
