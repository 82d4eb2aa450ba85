#pragma once
#include <QRect>
#include <QSize>
#include <QString>

class FlashTemplateProperty;
class QPainter;
class QStyleOptionViewItem;

// The value cell of a template setting: its text and where that text lies in the cell's frame.
// Cells are made afresh for every drawing pass or click and hold no state beyond it.
class FlashTmplCell {
public:
    enum HitResult { HitNone, HitEditableText, HitTrackableButton };

    explicit FlashTmplCell(FlashTemplateProperty* pro = nullptr) : iPro(pro) {}
    virtual ~FlashTmplCell() = default;

    FlashTemplateProperty* pro() const { return iPro; }
    void setPro(FlashTemplateProperty* pro) { iPro = pro; }
    const QString& text() const { return iText; }
    void setText(const QString& text) { iText = text; }

    // Where the text is drawn and edited, for a text of the given size.
    virtual QRect textFrame(const QRect& cellFrame, const QSize& textSize) const;
    // The clickable button of the cell; empty when it has none.
    virtual QRect buttonFrame(const QRect& cellFrame, const QSize& textSize) const;
    HitResult hitTest(const QPoint& point, const QRect& cellFrame, const QSize& textSize) const;
    virtual void paint(QPainter* painter, const QStyleOptionViewItem& option) const;

protected:
    static QSize textSizeFor(const QStyleOptionViewItem& option, const QString& text);

private:
    FlashTemplateProperty* iPro;
    QString iText;
};
