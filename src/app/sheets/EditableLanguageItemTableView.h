#pragma once
#include <QTableWidget>

// The language window's texts table: ending an edit with Return opens the same column of the
// next row for editing, so a translator types the texts one after another.
class EditableLanguageItemTableView : public QTableWidget {
    Q_OBJECT
public:
    using QTableWidget::QTableWidget;

protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
};
