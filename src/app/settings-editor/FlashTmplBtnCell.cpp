#include "app/settings-editor/FlashTmplBtnCell.h"

#include "app/AppImages.h"

#include <QPainter>
#include <QStyleOptionViewItem>
#include <QtMath>

QRect FlashTmplBtnCell::textFrame(const QRect& cellFrame, const QSize& textSize) const {
    const int width = qMax(0, qMin(textSize.width(), cellFrame.width() - reservedWidth()));
    return {cellFrame.x() + textInset(), cellFrame.y() + 1, width, textSize.height()};
}

QRect FlashTmplBtnCell::buttonFrame(const QRect& cellFrame, const QSize& textSize) const {
    const int x = qRound(double(cellFrame.x() + cellFrame.width() - 14));
    return {x, textFrame(cellFrame, textSize).y() + 2, 13, 13};
}

QString FlashTmplBtnCell::buttonImageName(bool highlighted) const {
    const QString state = highlighted ? QStringLiteral("selected") : QStringLiteral("normal");
    QString suffix;
    if (iMouseDownInButton) suffix = QStringLiteral("-mouse");
    else if (iMouseOverButton) suffix = QStringLiteral("-hovered");
    return imagePrefix() + state + suffix;
}

void FlashTmplBtnCell::performClick() {
    if (iInfoButtonAction) iInfoButtonAction(this);
}

void FlashTmplBtnCell::paint(QPainter* painter, const QStyleOptionViewItem& option) const {
    FlashTmplCell::paint(painter, option);
    const QRect button = buttonFrame(option.rect, textSizeFor(option, text()));
    const bool selected = option.state & QStyle::State_Selected;
    painter->drawPixmap(button, AppImages::pixmap(buttonImageName(selected)));
}
