const LONGEST_SIDE = 480;

// The book as it looks now, drawn into a JPEG and answered as base64 text. Pictures that the
// browser will not let a canvas read back (pages opened from disk) are drawn as blank pages.
export function snapshotBase64(app) {
  try {
    return draw(app, true);
  } catch {
    return draw(app, false);
  }
}

function draw(app, withPictures) {
  const box = app.getBoundingClientRect();
  const scale = Math.min(1, LONGEST_SIDE / Math.max(box.width, box.height, 1));
  const canvas = document.createElement('canvas');
  canvas.width = Math.max(1, Math.round(box.width * scale));
  canvas.height = Math.max(1, Math.round(box.height * scale));
  const ctx = canvas.getContext('2d');
  ctx.fillStyle = getComputedStyle(app).backgroundColor || '#3b3f45';
  ctx.fillRect(0, 0, canvas.width, canvas.height);
  const place = (element) => {
    const r = element.getBoundingClientRect();
    return [(r.left - box.left) * scale, (r.top - box.top) * scale, r.width * scale, r.height * scale];
  };
  for (const bar of app.querySelectorAll('.lm-header, .lm-toolbar')) {
    ctx.fillStyle = getComputedStyle(bar).backgroundColor;
    ctx.fillRect(...place(bar));
  }
  for (const sheet of app.querySelectorAll('.lm-page[data-page] .lm-sheet')) {
    if (getComputedStyle(sheet.parentElement).display === 'none') continue;
    const [x, y, w, h] = place(sheet);
    if (w < 1 || h < 1) continue;
    ctx.fillStyle = '#fff';
    ctx.fillRect(x, y, w, h);
    const picture = sheet.querySelector('img');
    if (withPictures && picture?.complete && picture.naturalWidth) ctx.drawImage(picture, x, y, w, h);
  }
  return canvas.toDataURL('image/jpeg', 0.9).replace(/^data:image\/jpeg;base64,/, '');
}
