// Outline entries and go-to-page links name 1-based PDF pages. A book made from part of a PDF
// records which PDF page each of its pages came from; targets go through that record, and a PDF
// page that was not imported is no target at all (null). Without the record the numbers are
// book pages, as in older books.
export function pageTargets(pdfPages) {
  const byPdfPage = new Map();
  pdfPages.forEach((pdfPage, index) => {
    if (pdfPage > 0 && !byPdfPage.has(pdfPage)) byPdfPage.set(pdfPage, index);
  });
  if (!byPdfPage.size) return (number) => Math.max(0, (number || 1) - 1);
  return (number) => byPdfPage.get(number) ?? null;
}

// One entry of the record: a positive whole number, or 0 for none.
export function pdfPageOf(value) {
  return /^\s*\d+\s*$/.test(String(value ?? '')) ? parseInt(value, 10) : 0;
}
