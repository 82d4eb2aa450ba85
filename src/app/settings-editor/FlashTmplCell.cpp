#include "app/settings-editor/FlashTmplCell.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionViewItem>

QRect FlashTmplCell::textFrame(const QRect& cellFrame, const QSize&) const {
    return cellFrame;
}

QRect FlashTmplCell::buttonFrame(const QRect&, const QSize&) const {
    return {};
}

FlashTmplCell::HitResult FlashTmplCell::hitTest(const QPoint& point, const QRect& cellFrame, const QSize& textSize) const {
    if (buttonFrame(cellFrame, textSize).contains(point)) return HitTrackableButton;
    if (textFrame(cellFrame, textSize).contains(point)) return HitEditableText;
    return HitNone;
}

QSize FlashTmplCell::textSizeFor(const QStyleOptionViewItem& option, const QString& text) {
    const QFontMetrics metrics(option.font);
    return {metrics.horizontalAdvance(text) + 2, metrics.height()};
}

void FlashTmplCell::paint(QPainter* painter, const QStyleOptionViewItem& option) const {
    const QRect frame = textFrame(option.rect, textSizeFor(option, iText));
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    painter->drawText(frame, Qt::AlignLeft | Qt::AlignVCenter,
                      option.fontMetrics.elidedText(iText, Qt::ElideMiddle, frame.width()));
    painter->restore();
}
