// Writes small PDF 1.4 documents for the browser tests and the benchmark. writePdf(file, { pages, outline, title }):
// pages: [{ width, height (points, the MediaBox), rotate, cropBox [x0, y0, x1, y1], color '#rrggbb', text (a line
//   at the top), marks: [{ x, y, width, height, color }], links: [{ x, y, width, height, page (1-based) or uri }],
//   lines: { x, y, size, leading, rows: ['text', ...] } (a block of text, first baseline at y) }] in PDF user
//   space (points from the bottom left of the MediaBox, before rotation); text is Latin-1;
// outline: [{ title, page (1-based, optional), children: [...] }] nested to any depth.
// shownSize(page) and shownPlace(page, x, y) say where things appear once rotation and crop apply.
import fs from 'node:fs';
import path from 'node:path';

const num = (v) => String(Math.round(v * 1000) / 1000);
const ref = (id) => id + ' 0 R';
const rgb = (hex) => [1, 3, 5].map((i) => num(parseInt(hex.slice(i, i + 2), 16) / 255)).join(' ') + ' rg\n';
const rect = (x, y, w, h) => [x, y, w, h].map(num).join(' ') + ' re f\n';

// A string in the font's WinAnsi encoding: Latin-1 as octal escapes, other characters become '?'.
const pdfString = (text) => '(' + String(text).replace(/[()\\]/g, '\\$&').replace(/[^\x20-\x7e]/g,
  (c) => (c.charCodeAt(0) >= 0xa0 && c.charCodeAt(0) <= 0xff ? '\\' + c.charCodeAt(0).toString(8) : '?')) + ')';

function pageContent(page) {
  const [x0, y0, x1, y1] = page.cropBox ?? [0, 0, page.width, page.height];
  let out = rgb(page.color ?? '#e8e8e8') + rect(0, 0, page.width, page.height);
  for (const mark of page.marks ?? []) out += rgb(mark.color) + rect(mark.x, mark.y, mark.width, mark.height);
  if (page.text) {
    const size = Math.max(2, Math.min(24, (y1 - y0) / 6, (x1 - x0) / 8));
    out += '0.125 0.125 0.125 rg BT /F1 ' + num(size) + ' Tf ' + num(x0 + size / 2) + ' ' + num(y1 - size * 1.2) + ' Td ' + pdfString(page.text) + ' Tj ET\n';
  }
  if (page.lines) {
    const { x, y, size = 10, leading = size * 1.25, rows } = page.lines;
    out += '0 0 0 rg BT /F1 ' + num(size) + ' Tf ' + num(leading) + ' TL ' + num(x) + ' ' + num(y) + ' Td '
      + rows.map((row) => pdfString(row) + ' Tj T*').join(' ') + ' ET\n';
  }
  return out;
}

// Objects numbered from 1; finish() lays out the body, an exact cross-reference table and the trailer.
class ObjectList {
  constructor() { this.bodies = []; }
  reserve() { return this.bodies.push(''); }
  set(id, body) { this.bodies[id - 1] = body; }
  add(body) { const id = this.reserve(); this.set(id, body); return id; }
  finish(rootId, infoId) {
    let out = '%PDF-1.4\n%\xe2\xe3\xcf\xd3\n';
    const offsets = this.bodies.map((body, i) => {
      const at = Buffer.byteLength(out, 'latin1');
      out += (i + 1) + ' 0 obj\n' + body + '\nendobj\n';
      return at;
    });
    const xref = Buffer.byteLength(out, 'latin1');
    out += 'xref\n0 ' + (offsets.length + 1) + '\n0000000000 65535 f \n' + offsets.map((o) => String(o).padStart(10, '0') + ' 00000 n \n').join('')
      + 'trailer\n<< /Size ' + (offsets.length + 1) + ' /Root ' + ref(rootId) + (infoId ? ' /Info ' + ref(infoId) : '')
      + ' >>\nstartxref\n' + xref + '\n%%EOF\n';
    return Buffer.from(out, 'latin1');
  }
}

function linkAnnotation(link, pageIds) {
  if (link.uri === undefined && !pageIds[link.page - 1]) throw new Error('link to a page the document does not have: ' + link.page);
  const action = link.uri !== undefined ? '/A << /S /URI /URI ' + pdfString(link.uri) + ' >>' : '/Dest [' + ref(pageIds[link.page - 1]) + ' /XYZ null null null]';
  return '<< /Type /Annot /Subtype /Link /Border [0 0 0] /Rect [' + [link.x, link.y, link.x + link.width, link.y + link.height].map(num).join(' ') + '] ' + action + ' >>';
}

// Writes the entries under parentId and answers [firstId, lastId, count of all entries below].
function addOutline(objects, entries, parentId, pageIds) {
  const ids = entries.map(() => objects.reserve());
  let total = 0;
  entries.forEach((entry, i) => {
    const children = entry.children ?? [];
    const [first, last, below] = children.length ? addOutline(objects, children, ids[i], pageIds) : [0, 0, 0];
    total += 1 + below;
    const target = entry.page ? pageIds[entry.page - 1] : 0;
    objects.set(ids[i], '<< /Title ' + pdfString(entry.title) + ' /Parent ' + ref(parentId)
      + (i > 0 ? ' /Prev ' + ref(ids[i - 1]) : '') + (i + 1 < ids.length ? ' /Next ' + ref(ids[i + 1]) : '')
      + (first ? ' /First ' + ref(first) + ' /Last ' + ref(last) + ' /Count ' + below : '')
      + (target ? ' /Dest [' + ref(target) + ' /XYZ null null null]' : '') + ' >>');
  });
  return [ids[0], ids[ids.length - 1], total];
}

function makePdf({ pages, outline = [], title } = {}) {
  const objects = new ObjectList();
  const catalogId = objects.reserve(), treeId = objects.reserve();
  const fontId = objects.add('<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>');
  const pageIds = pages.map(() => objects.reserve());
  pages.forEach((page, i) => {
    const content = pageContent(page);
    const contentId = objects.add('<< /Length ' + Buffer.byteLength(content, 'latin1') + ' >>\nstream\n' + content + '\nendstream');
    const annots = (page.links ?? []).map((link) => objects.add(linkAnnotation(link, pageIds)));
    objects.set(pageIds[i], '<< /Type /Page /Parent ' + ref(treeId) + ' /MediaBox [0 0 ' + num(page.width) + ' ' + num(page.height) + ']'
      + (page.cropBox ? ' /CropBox [' + page.cropBox.map(num).join(' ') + ']' : '') + (page.rotate ? ' /Rotate ' + page.rotate : '')
      + ' /Resources << /Font << /F1 ' + ref(fontId) + ' >> >> /Contents ' + ref(contentId)
      + (annots.length ? ' /Annots [' + annots.map(ref).join(' ') + ']' : '') + ' >>');
  });
  objects.set(treeId, '<< /Type /Pages /Kids [' + pageIds.map(ref).join(' ') + '] /Count ' + pageIds.length + ' >>');
  let outlines = '';
  if (outline.length) {
    const rootId = objects.reserve();
    const [first, last, count] = addOutline(objects, outline, rootId, pageIds);
    objects.set(rootId, '<< /Type /Outlines /First ' + ref(first) + ' /Last ' + ref(last) + ' /Count ' + count + ' >>');
    outlines = ' /Outlines ' + ref(rootId) + ' /PageMode /UseOutlines';
  }
  objects.set(catalogId, '<< /Type /Catalog /Pages ' + ref(treeId) + outlines + ' >>');
  const infoId = title ? objects.add('<< /Title ' + pdfString(title) + ' /Producer (test) >>') : 0;
  return objects.finish(catalogId, infoId);
}

// The size a viewer shows a page at: its crop box, turned by its rotation.
export function shownSize(page) {
  const [x0, y0, x1, y1] = page.cropBox ?? [0, 0, page.width, page.height];
  return (page.rotate ?? 0) % 180 !== 0 ? { width: y1 - y0, height: x1 - x0 } : { width: x1 - x0, height: y1 - y0 };
}

// Where the user-space point (x, y) appears on the shown page, as fractions from its top left.
export function shownPlace(page, x, y) {
  const [x0, y0, x1, y1] = page.cropBox ?? [0, 0, page.width, page.height];
  const fx = (x - x0) / (x1 - x0), fy = (y - y0) / (y1 - y0);
  switch (((page.rotate ?? 0) % 360 + 360) % 360) {
    case 90: return { x: fy, y: fx };
    case 180: return { x: 1 - fx, y: fy };
    case 270: return { x: 1 - fy, y: 1 - fx };
    default: return { x: fx, y: 1 - fy };
  }
}

export function writePdf(file, spec) {
  fs.mkdirSync(path.dirname(file), { recursive: true });
  fs.writeFileSync(file, makePdf(spec));
  return file;
}
