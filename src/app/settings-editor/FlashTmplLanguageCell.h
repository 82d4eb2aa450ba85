#pragma once
#include "app/settings-editor/FlashTmplBtnCell.h"

// The value cell of an interface-language setting; its button opens the language window.
class FlashTmplLanguageCell : public FlashTmplBtnCell {
public:
    using FlashTmplBtnCell::FlashTmplBtnCell;
};
