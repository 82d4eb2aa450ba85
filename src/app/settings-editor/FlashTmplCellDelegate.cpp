#include "app/settings-editor/FlashTmplCellDelegate.h"

#include "app/settings-editor/FlashTemplateOutlineDelegate.h"
#include "app/settings-editor/FlashTmplColorCell.h"
#include "app/settings-editor/FlashTmplFileCell.h"
#include "app/settings-editor/FlashTmplLanguageCell.h"
#include "templates/FlashTemplateProperty.h"
#include "util/ColorText.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

FlashTmplCellDelegate::FlashTmplCellDelegate(FlashTemplateOutlineDelegate* outline, QObject* parent)
    : QStyledItemDelegate(parent), iOutline(outline) {}

void FlashTmplCellDelegate::watchHoverIn(QAbstractItemView* view) {
    iView = view;
    view->viewport()->setMouseTracking(true);
    view->viewport()->installEventFilter(this);
}

bool FlashTmplCellDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (iView && watched == iView->viewport() && event->type() == QEvent::MouseMove) {
        const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
        const QModelIndex index = iView->indexAt(point);
        auto cell = buttonCellFor(index);
        QStyleOptionViewItem option;
        option.initFrom(iView);
        option.rect = iView->visualRect(index);
        const QSize textSize(QFontMetrics(option.font).horizontalAdvance(cell ? cell->text() : QString()) + 2,
                             QFontMetrics(option.font).height());
        const bool over = cell && cell->hitTest(point, option.rect, textSize) == FlashTmplCell::HitTrackableButton;
        const QPersistentModelIndex hovered = over ? QPersistentModelIndex(index) : QPersistentModelIndex();
        if (hovered != iHoveredButton) {
            if (iHoveredButton.isValid()) iView->update(iHoveredButton);
            iHoveredButton = hovered;
            if (hovered.isValid()) iView->update(hovered);
        }
        if (iPressedButton.isValid()) {
            iPressedInside = iPressedButton == hovered;
            iView->update(iPressedButton);
        }
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

std::unique_ptr<FlashTmplBtnCell> FlashTmplCellDelegate::buttonCellFor(const QModelIndex& index) const {
    FlashTemplateProperty* pro = iOutline->propertyAt(index);
    if (!pro || index.column() != FlashTemplateOutlineDelegate::ValueColumn) return nullptr;
    std::unique_ptr<FlashTmplBtnCell> cell;
    switch (pro->propertyType()) {
    case pt_color: {
        auto colorCell = std::make_unique<FlashTmplColorCell>(pro);
        colorCell->setColor(ColorText::colorFromHexRGB(pro->value()));
        colorCell->setInfoButtonAction([this](FlashTmplCell* c) { iOutline->onSelectColor(c); });
        cell = std::move(colorCell);
        break;
    }
    case pt_file:
        cell = std::make_unique<FlashTmplFileCell>(pro);
        cell->setInfoButtonAction([this](FlashTmplCell* c) { iOutline->onSelectFile(c); });
        break;
    case pt_form_language:
        cell = std::make_unique<FlashTmplLanguageCell>(pro);
        cell->setInfoButtonAction([this](FlashTmplCell* c) { iOutline->onSelectLanguage(c); });
        break;
    default:
        return nullptr;
    }
    cell->setText(pro->value());
    return cell;
}

void FlashTmplCellDelegate::applyTrackingState(FlashTmplBtnCell& cell, const QModelIndex& index) const {
    const QModelIndex key = index.siblingAtColumn(FlashTemplateOutlineDelegate::ValueColumn);
    cell.setMouseOverButton(iHoveredButton == key);
    cell.setMouseDownInButton(iPressedButton == key && iPressedInside);
}

void FlashTmplCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    auto cell = buttonCellFor(index);
    if (!cell) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    option.widget->style()->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);
    applyTrackingState(*cell, index);
    cell->paint(painter, option);
}

bool FlashTmplCellDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) {
    auto cell = buttonCellFor(index);
    const auto type = event->type();
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick;
    if (!cell || !mouse) return QStyledItemDelegate::editorEvent(event, model, option, index);

    const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
    const QSize textSize(QFontMetrics(option.font).horizontalAdvance(cell->text()) + 2, QFontMetrics(option.font).height());
    const bool inside = cell->hitTest(point, option.rect, textSize) == FlashTmplCell::HitTrackableButton;
    auto* view = qobject_cast<QAbstractItemView*>(const_cast<QWidget*>(option.widget));
    auto redraw = [view, &index] { if (view) view->update(index); };

    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        if (!inside) return QStyledItemDelegate::editorEvent(event, model, option, index);
        iPressedButton = index;
        iPressedInside = true;
        redraw();
        return true;
    }
    // Mouse up: the click counts only when it ends inside the button it started in.
    const bool clicked = iPressedButton == index && inside;
    iPressedButton = QPersistentModelIndex();
    iPressedInside = false;
    redraw();
    if (clicked) cell->performClick();
    return clicked;
}

QWidget* FlashTmplCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    FlashTemplateProperty* pro = iOutline->propertyAt(index);
    if (pro && index.column() == FlashTemplateOutlineDelegate::ValueColumn && pro->propertyType() == pt_list) {
        auto* popUp = new QComboBox(parent);
        popUp->setFrame(false);
        popUp->addItems(FlashTemplateOutlineDelegate::listChoices(*pro));
        // Picking an item commits at once, as a click on the pop-up does.
        connect(popUp, &QComboBox::activated, this, [this, popUp] {
            emit const_cast<FlashTmplCellDelegate*>(this)->commitData(popUp);
        });
        return popUp;
    }
    return QStyledItemDelegate::createEditor(parent, option, index);
}

void FlashTmplCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    FlashTemplateProperty* pro = iOutline->propertyAt(index);
    if (auto* popUp = qobject_cast<QComboBox*>(editor); popUp && pro) {
        popUp->setCurrentIndex(popUp->findText(pro->value(), Qt::MatchExactly));
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void FlashTmplCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    if (auto* popUp = qobject_cast<QComboBox*>(editor)) {
        if (popUp->currentIndex() >= 0) model->setData(index, popUp->currentIndex(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

void FlashTmplCellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                 const QModelIndex& index) const {
    auto cell = buttonCellFor(index);
    if (!cell) {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        return;
    }
    // The text is edited beside the button, never under it.
    const QRect frame = cell->textFrame(option.rect, {option.rect.width(), option.rect.height() - 2});
    editor->setGeometry(frame);
}
