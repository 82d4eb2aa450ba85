#pragma once
#include "app/settings-editor/FlashTmplBtnCell.h"
#include <QColor>

// The value cell of a colour setting: a swatch to click, then the colour's text.
class FlashTmplColorCell : public FlashTmplBtnCell {
public:
    using FlashTmplBtnCell::FlashTmplBtnCell;

    const QColor& color() const { return iColor; }
    void setColor(const QColor& color) { iColor = color; }
    // Takes the chosen colour and writes its text ("0x" and six lower-case digits) into the cell.
    void setColor2(const QColor& color);

    QRect buttonFrame(const QRect& cellFrame, const QSize& textSize) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option) const override;

protected:
    int textInset() const override { return 24; }
    int reservedWidth() const override { return 41; }

private:
    QColor iColor = Qt::red;
};
