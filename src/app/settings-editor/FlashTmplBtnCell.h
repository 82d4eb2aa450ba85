#pragma once
#include "app/settings-editor/FlashTmplCell.h"
#include <functional>

// A value cell with a small button at its right end that opens a chooser.
class FlashTmplBtnCell : public FlashTmplCell {
public:
    using Action = std::function<void(FlashTmplCell* sender)>;
    using FlashTmplCell::FlashTmplCell;

    QRect textFrame(const QRect& cellFrame, const QSize& textSize) const override;
    QRect buttonFrame(const QRect& cellFrame, const QSize& textSize) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option) const override;

    // "btn-" + ("selected" | "normal") + ("-mouse" | "-hovered" | "").
    QString buttonImageName(bool highlighted) const;

    bool mouseDownInButton() const { return iMouseDownInButton; }
    void setMouseDownInButton(bool down) { iMouseDownInButton = down; }
    bool mouseOverButton() const { return iMouseOverButton; }
    void setMouseOverButton(bool over) { iMouseOverButton = over; }
    void setInfoButtonAction(Action action) { iInfoButtonAction = std::move(action); }
    // Sends the button's action with this cell as sender.
    void performClick();

protected:
    virtual QString imagePrefix() const { return QStringLiteral("btn-"); }
    virtual int textInset() const { return 4; }
    virtual int reservedWidth() const { return 21; }

private:
    bool iMouseDownInButton = false;
    bool iMouseOverButton = false;
    Action iInfoButtonAction;
};
