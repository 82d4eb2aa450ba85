#include "app/sheets/EditableLanguageItemTableView.h"

#include <QLineEdit>

void EditableLanguageItemTableView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // Return ends an edit with SubmitModelCache; Tab and Escape keep their usual meaning.
    const QModelIndex edited = currentIndex();
    const QModelIndex next = edited.sibling(edited.row() + 1, edited.column());
    if (hint != QAbstractItemDelegate::SubmitModelCache || !next.isValid()) {
        QTableWidget::closeEditor(editor, hint);
        return;
    }
    QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
    setCurrentIndex(next);
    edit(next);
    if (auto* line = qobject_cast<QLineEdit*>(indexWidget(next))) line->selectAll();
}
