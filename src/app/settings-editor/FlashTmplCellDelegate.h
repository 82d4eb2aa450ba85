#pragma once
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>
#include <memory>

class FlashTemplateOutlineDelegate;
class FlashTmplBtnCell;
class FlashTmplCell;
class QAbstractItemView;

// Draws and edits the value column by setting type: colour swatch, file and language choosers
// behind a small button, a pop-up for lists, a check box for switches, text for the rest.
class FlashTmplCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit FlashTmplCellDelegate(FlashTemplateOutlineDelegate* outline, QObject* parent = nullptr);
    // Follows the pointer over the view's cell buttons (views do not pass mere moves to delegates).
    void watchHoverIn(QAbstractItemView* view);

    // The cell for a value of the given index (null for plain text, list and switch values).
    std::unique_ptr<FlashTmplBtnCell> buttonCellFor(const QModelIndex& index) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    void applyTrackingState(FlashTmplBtnCell& cell, const QModelIndex& index) const;

    FlashTemplateOutlineDelegate* iOutline;
    QPersistentModelIndex iHoveredButton;
    QPersistentModelIndex iPressedButton;
    QAbstractItemView* iView = nullptr;
    bool iPressedInside = false;
};
