#pragma once
#include "app/settings-editor/FlashTmplBtnCell.h"

// The value cell of a file setting; its "info-" button opens a file chooser.
class FlashTmplFileCell : public FlashTmplBtnCell {
public:
    using FlashTmplBtnCell::FlashTmplBtnCell;

protected:
    QString imagePrefix() const override { return QStringLiteral("info-"); }
};
