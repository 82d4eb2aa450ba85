import { el, icon, ICONS } from './dom.js';

// Page links that show a file of the book: a picture in a lightbox, a video or a sound in an
// overlay with the browser's own controls, a document in a new window. Their files live in
// files/pageConfig/ of the book; anything else named there is not shown.
const MEDIA = {
  ShowImage: { kind: 'image', endings: ['jpg', 'jpeg', 'png', 'gif', 'webp', 'svg'] },
  PlayVideo: { kind: 'video', endings: ['mp4', 'webm'] },
  PlaySound: { kind: 'sound', endings: ['mp3', 'ogg', 'm4a'] },
  OpenFile: { kind: 'file', endings: ['pdf'] },
};

// The link's file as { media, file } for a media action type, null when the type is no media
// kind or the file is not a plain name in files/pageConfig/ with an ending of its kind.
export function mediaOf(actionType, fileText) {
  const type = Object.keys(MEDIA).find((name) => String(actionType || '').endsWith('TAnnoAction' + name));
  if (!type) return null;
  const match = String(fileText || '').trim().match(/^\.\/files\/pageConfig\/([^/\\:?#]+)$/);
  let name = '';
  try { name = match ? decodeURIComponent(match[1]) : ''; } catch { name = ''; }
  const ending = name.includes('.') ? name.split('.').pop().toLowerCase() : '';
  if (!name || /[/\\]/.test(name) || name === '.' || name === '..' || !MEDIA[type].endings.includes(ending)) return { media: MEDIA[type].kind, file: '' };
  return { media: MEDIA[type].kind, file: match[0] };
}

// The link element of one page link; base leads from the page to the book folder ('' or '../').
// link: { x, y, width, height, page | url | media and file, tooltip }.
export function linkElement(link, { className, base, target, pageLabel }) {
  const href = link.url ?? (link.file ? base + link.file.slice(2) : '#p=' + (link.page + 1));
  const outside = link.url || link.media === 'file';
  return el('a', {
    class: className,
    href,
    target: outside ? (link.url ? target : '_blank') : null,
    rel: outside ? 'noopener' : null,
    'data-goto': link.page !== undefined ? String(link.page) : null,
    'data-media': link.media && link.media !== 'file' ? link.media : null,
    'data-tip': link.tooltip || null,
    'aria-label': link.tooltip || link.url || (link.file ? link.file.split('/').pop() : pageLabel(link.page + 1)),
    style: { left: link.x * 100 + '%', top: link.y * 100 + '%', width: link.width * 100 + '%', height: link.height * 100 + '%' },
  });
}

// Opens media links in the overlay and shows tooltips for the links inside root.
// closeLabel() gives the close button's text.
export class LinkMedia {
  constructor(root, closeLabel) {
    this.closeLabel = closeLabel;
    this.tip = el('div', { class: 'lm-tip', role: 'tooltip', hidden: true });
    document.body.append(this.tip);
    root.addEventListener('click', (e) => this.clicked(e));
    for (const type of ['mouseover', 'focusin']) root.addEventListener(type, (e) => this.showTip(e.target.closest?.('a[data-tip]')));
    for (const type of ['mouseout', 'focusout']) root.addEventListener(type, () => this.showTip(null));
    document.addEventListener('keydown', (e) => { if (e.key === 'Escape') this.showTip(null); });
  }

  clicked(event) {
    const link = event.target.closest?.('a[data-media]');
    if (!link) return;
    event.preventDefault();
    event.stopPropagation();
    this.open(link);
  }

  showTip(link) {
    this.tip.hidden = !link;
    if (!link) return;
    this.tip.textContent = link.dataset.tip;
    const box = link.getBoundingClientRect();
    const below = box.bottom + 8 + this.tip.offsetHeight < innerHeight;
    const left = Math.max(4, Math.min(innerWidth - this.tip.offsetWidth - 4, box.left + box.width / 2 - this.tip.offsetWidth / 2));
    Object.assign(this.tip.style, { left: left + 'px', top: (below ? box.bottom + 8 : Math.max(4, box.top - 8 - this.tip.offsetHeight)) + 'px' });
  }

  // A modal dialog: Escape and the close button end it, and the link has the focus again.
  open(link) {
    this.showTip(null);
    const kind = link.dataset.media;
    const label = link.dataset.tip || link.getAttribute('href').split('/').pop();
    const content = kind === 'image'
      ? el('img', { class: 'lm-media-content', src: link.getAttribute('href'), alt: label })
      : el(kind === 'video' ? 'video' : 'audio', { class: 'lm-media-content', src: link.getAttribute('href'), controls: true, autoplay: true, playsinline: true });
    const close = el('button', { type: 'button', class: 'lm-media-close', 'aria-label': this.closeLabel(), title: this.closeLabel(), onclick: () => dialog.close() }, icon(ICONS.close));
    const captioned = !!link.dataset.tip || kind === 'sound';
    const dialog = el('dialog', { class: 'lm-media lm-media-' + kind + (captioned ? ' lm-media-captioned' : ''), 'aria-label': label },
      close, content, captioned ? el('p', { class: 'lm-media-caption' }, label) : null);
    // Keys stay inside: the book behind must not turn while the dialog is open.
    dialog.addEventListener('keydown', (e) => e.stopPropagation());
    dialog.addEventListener('click', (e) => { if (e.target === dialog) dialog.close(); });
    dialog.addEventListener('close', () => {
      content.pause?.();
      dialog.remove();
      link.focus({ preventScroll: true });
    });
    document.body.append(dialog);
    dialog.showModal();
    close.focus();
    this.dialog = dialog;
  }
}
