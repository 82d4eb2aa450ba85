const CANDIDATES = [[0, 'jpg'], [1, 'jpg'], [0, 'png'], [1, 'png'], [0, 'jpeg'], [1, 'jpeg']];

// Phone pages are named after their page index, which counts from 0 for PDF books and from 1
// for image books; the first file that loads tells which, and its extension.
export function findNumbering(folder, probe = probeImage) {
  return CANDIDATES.reduce(
    (found, [first, extension]) => found.then((hit) => hit ?? probe(folder + first + '.' + extension).then((ok) => (ok ? { first, extension } : null))),
    Promise.resolve(null),
  ).then((hit) => hit ?? { first: 0, extension: 'jpg' });
}

function probeImage(url) {
  return new Promise((resolve) => {
    const img = new Image();
    img.onload = () => resolve(true);
    img.onerror = () => resolve(false);
    img.src = url;
  });
}
