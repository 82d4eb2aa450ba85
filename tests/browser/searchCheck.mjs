// Search in a published book against pdftotext's reading of its PDF: the same word counted on the
// same pages, case and accents ignored on both sides.
import { execFileSync } from 'node:child_process';
import { foldText, foldQuery } from '../../web/src/text/pageText.js';

function occurrences(text, word) {
  const folded = foldText(text).folded, query = foldQuery(word);
  let count = 0;
  for (let at = folded.indexOf(query); at >= 0; at = folded.indexOf(query, at + query.length)) count++;
  return count;
}

// The word's count on each of the 1-based pages, as pdftotext reads them.
export function pdftotextCounts(pdf, pages, word) {
  return Object.fromEntries(pages.map((n) => [n, occurrences(
    execFileSync('pdftotext', ['-f', String(n), '-l', String(n), '-enc', 'UTF-8', pdf, '-']).toString('utf8'), word)]));
}

// Searches the open template player for the word through its search field; answers the time until
// every result was listed and the count of results on each of the 1-based pages.
export async function playerSearch(page, word, pages) {
  await page.locator('.lm-page .lm-word').first().waitFor({ state: 'attached' });
  await page.keyboard.press('Control+f');
  await page.locator('.lm-search-input').fill(word);
  const started = await page.evaluate(() => performance.now());
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.querySelector('.lm-panel-search').dataset.state === 'done', null, { timeout: 60000 });
  const ms = Math.round((await page.evaluate(() => performance.now())) - started);
  // The list makes its rows as it scrolls: the hits behind it are counted.
  const hitPages = await page.evaluate(async () => (await globalThis.leafmillPlayer.textPart).search.hits.map((hit) => hit.page + 1));
  const counts = Object.fromEntries(pages.map((n) => [n, hitPages.filter((p) => p === n).length]));
  return { ms, counts, total: hitPages.length };
}
