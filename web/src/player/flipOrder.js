// The order page-flip sees the pages in. Right-to-left books are reversed; an odd page count
// gets an invisible leading pad (-1) so the spreads pair the same pages as left-to-right.
export function flipOrder(count, rightToLeft) {
  const order = Array.from({ length: count }, (_, i) => i);
  if (!rightToLeft) return order;
  order.reverse();
  if (count % 2 === 1 && count > 1) order.unshift(-1);
  return order;
}
