// The page bitmap inside a SWF page movie: the first DefineBits* image, as image file bytes.
const DEFINE_BITS = 6, JPEG_TABLES = 8, DEFINE_BITS_JPEG2 = 21, DEFINE_BITS_JPEG3 = 35, DEFINE_BITS_JPEG4 = 90;

export function imageFromSwf(swf) {
  const body = swfBody(swf);
  if (!body) return null;
  let tables = null;
  for (const tag of swfTags(body)) {
    const data = body.subarray(tag.start, tag.end);
    if (tag.code === JPEG_TABLES) tables = data;
    if (tag.code === DEFINE_BITS && tables) return asImage(joinJpeg(tables, data.subarray(2)));
    if (tag.code === DEFINE_BITS_JPEG2) return asImage(data.subarray(2));
    if (tag.code === DEFINE_BITS_JPEG3 || tag.code === DEFINE_BITS_JPEG4) {
      const skip = tag.code === DEFINE_BITS_JPEG4 ? 8 : 6;
      if (data.length < skip) return null;
      const length = new DataView(data.buffer, data.byteOffset, data.byteLength).getUint32(2, true);
      return asImage(data.subarray(skip, skip + length));
    }
  }
  return null;
}

// The movie after its 8-byte header, inflated when compressed ("CWS"); LZMA ("ZWS") is not read.
function swfBody(swf) {
  const signature = String.fromCharCode(swf[0], swf[1], swf[2]);
  if (swf.length < 8 || !['FWS', 'CWS'].includes(signature)) return null;
  if (signature === 'FWS') return swf.subarray(8);
  try {
    return globalThis.fflate.unzlibSync(swf.subarray(8));
  } catch {
    return null;
  }
}

function* swfTags(body) {
  const rectBits = 5 + 4 * (body[0] >> 3);
  let pos = Math.ceil(rectBits / 8) + 4;
  const view = new DataView(body.buffer, body.byteOffset, body.byteLength);
  while (pos + 2 <= body.length) {
    const header = view.getUint16(pos, true);
    let length = header & 0x3f;
    pos += 2;
    if (length === 0x3f) {
      if (pos + 4 > body.length) return;
      length = view.getUint32(pos, true);
      pos += 4;
    }
    const code = header >> 6;
    if (code === 0 || pos + length > body.length) return;
    yield { code, start: pos, end: pos + length };
    pos += length;
  }
}

function joinJpeg(tables, image) {
  const head = tables.subarray(0, endsWithEoi(tables) ? tables.length - 2 : tables.length);
  const tail = image[0] === 0xff && image[1] === 0xd8 ? image.subarray(2) : image;
  const out = new Uint8Array(head.length + tail.length);
  out.set(head);
  out.set(tail, head.length);
  return out;
}

function endsWithEoi(bytes) {
  return bytes[bytes.length - 2] === 0xff && bytes[bytes.length - 1] === 0xd9;
}

// Old encoders put an empty EOI+SOI pair in front of the JPEG data.
function asImage(bytes) {
  if (bytes[0] === 0xff && bytes[1] === 0xd9 && bytes[2] === 0xff && bytes[3] === 0xd8) bytes = bytes.subarray(4);
  if (bytes[0] === 0xff && bytes[1] === 0xd8) return { bytes, type: 'image/jpeg' };
  if (bytes[0] === 0x89 && bytes[1] === 0x50) return { bytes, type: 'image/png' };
  if (bytes[0] === 0x47 && bytes[1] === 0x49) return { bytes, type: 'image/gif' };
  return null;
}
