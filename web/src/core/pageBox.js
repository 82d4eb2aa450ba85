// Where a page sits inside a box of another shape: centred, as large as fits, never stretched.
// Answers the page's place as percentages of the box.
export function fitPage(width, height, boxWidth, boxHeight) {
  const page = width / height, box = boxWidth / boxHeight;
  if (!(page > 0 && box > 0 && Number.isFinite(page) && Number.isFinite(box))) return { left: '0', top: '0', width: '100%', height: '100%' };
  const w = page >= box ? 100 : (100 * page) / box;
  const h = page >= box ? (100 * box) / page : 100;
  return { left: (100 - w) / 2 + '%', top: (100 - h) / 2 + '%', width: w + '%', height: h + '%' };
}

// A page's shown size from the book description, or null when it does not say.
export function declaredSize(width, height) {
  const w = parseFloat(width), h = parseFloat(height);
  return w > 0 && h > 0 && Number.isFinite(w) && Number.isFinite(h) ? { width: w, height: h } : null;
}
