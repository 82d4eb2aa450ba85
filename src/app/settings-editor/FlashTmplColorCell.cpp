#include "app/settings-editor/FlashTmplColorCell.h"

#include "util/ColorText.h"

#include <QPainter>
#include <QStyleOptionViewItem>

void FlashTmplColorCell::setColor2(const QColor& color) {
    iColor = color;
    setText(ColorText::colorToHexRGB(color));
}

QRect FlashTmplColorCell::buttonFrame(const QRect& cellFrame, const QSize&) const {
    return {cellFrame.x() + 5, cellFrame.y() + 1, 15, 15};
}

void FlashTmplColorCell::paint(QPainter* painter, const QStyleOptionViewItem& option) const {
    FlashTmplCell::paint(painter, option);
    painter->save();
    painter->setPen(Qt::gray);
    painter->setBrush(iColor);
    painter->drawRect(buttonFrame(option.rect, {}).adjusted(0, 0, -1, -1));
    painter->restore();
}
