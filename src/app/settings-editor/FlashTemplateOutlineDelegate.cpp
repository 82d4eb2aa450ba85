#include "app/settings-editor/FlashTemplateOutlineDelegate.h"

#include "app/library/FileChooser.h"
#include "app/settings-editor/FlashTmplColorCell.h"
#include "app/sheets/FlashLanguageWindowController.h"
#include "templates/FlashTemplate.h"
#include "templates/StringUtil.h"
#include "util/ColorText.h"
#include "util/NotificationCenter.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTreeView>

FlashTemplateOutlineDelegate::FlashTemplateOutlineDelegate(QObject* parent) : QAbstractItemModel(parent) {}

FlashTemplateOutlineDelegate::~FlashTemplateOutlineDelegate() = default;

void FlashTemplateOutlineDelegate::setFlashTmpl(FlashTemplate* flashTmpl) {
    beginResetModel();
    iFlashTmpl = flashTmpl;
    endResetModel();
}

FlashTemplateProperty* FlashTemplateOutlineDelegate::propertyAt(const QModelIndex& index) const {
    return index.isValid() ? static_cast<FlashTemplateProperty*>(index.internalPointer()) : nullptr;
}

FlashTemplateProperty* FlashTemplateOutlineDelegate::childAt(FlashTemplateProperty* parentPro, int row) const {
    if (!iFlashTmpl || row < 0) return nullptr;
    if (!parentPro) {
        const auto& top = iFlashTmpl->properties();
        return row < int(top.size()) ? top[size_t(row)].get() : nullptr;
    }
    const auto& children = parentPro->childProperties();
    return row < int(children.size()) ? children[size_t(row)].get() : nullptr;
}

int FlashTemplateOutlineDelegate::rowOf(FlashTemplateProperty* pro) const {
    if (!iFlashTmpl || !pro) return -1;
    const auto& siblings = pro->parent() ? pro->parent()->childProperties() : iFlashTmpl->properties();
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i].get() == pro) return int(i);
    }
    return -1;
}

QModelIndex FlashTemplateOutlineDelegate::indexOf(FlashTemplateProperty* pro, int column) const {
    const int row = rowOf(pro);
    return row < 0 ? QModelIndex() : createIndex(row, column, pro);
}

QModelIndex FlashTemplateOutlineDelegate::index(int row, int column, const QModelIndex& parent) const {
    if (column < 0 || column > ValueColumn) return {};
    FlashTemplateProperty* child = childAt(propertyAt(parent), row);
    return child ? createIndex(row, column, child) : QModelIndex();
}

QModelIndex FlashTemplateOutlineDelegate::parent(const QModelIndex& child) const {
    FlashTemplateProperty* pro = propertyAt(child);
    return pro && pro->parent() ? indexOf(pro->parent()) : QModelIndex();
}

int FlashTemplateOutlineDelegate::rowCount(const QModelIndex& parent) const {
    if (!iFlashTmpl || parent.column() > 0) return 0;
    FlashTemplateProperty* pro = propertyAt(parent);
    return pro ? pro->childCount() : int(iFlashTmpl->properties().size());
}

int FlashTemplateOutlineDelegate::columnCount(const QModelIndex&) const {
    return 2;
}

bool FlashTemplateOutlineDelegate::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

QStringList FlashTemplateOutlineDelegate::listChoices(const FlashTemplateProperty& pro) {
    return pro.valueSource().split(QLatin1Char(','));
}

QVariant FlashTemplateOutlineDelegate::objectValue(FlashTemplateProperty* pro, int column) const {
    if (!pro) return {};
    if (column == KeyColumn) return pro->title().isNull() ? tr("(Untitled)") : pro->title();
    if (column != ValueColumn) return {};
    if (pro->propertyType() == pt_composite) return QString();   // a group heading has no value
    if (pro->propertyType() == pt_bool) return StringUtil::valueAsBool(pro->value()) ? 1 : 0;
    if (pro->value().isNull()) {
        const bool shownAsTitle = pro->propertyType() == pt_file || pro->propertyType() == pt_form_language;
        return shownAsTitle ? QString() : tr("(Unknown)");
    }
    return pro->value();
}

QString FlashTemplateOutlineDelegate::newValueText(const QVariant& object, const FlashTemplateProperty& pro) const {
    switch (pro.propertyType()) {
    case pt_list: {
        const QStringList choices = listChoices(pro);
        const int chosen = object.toInt();
        return chosen >= 0 && chosen < choices.size() ? choices[chosen] : pro.value();
    }
    case pt_bool:
        return object.toBool() ? QStringLiteral("YES") : QStringLiteral("NO");
    default:
        return object.toString();
    }
}

bool FlashTemplateOutlineDelegate::setObjectValue(const QVariant& object, FlashTemplateProperty* pro, int column) {
    if (!pro || column != ValueColumn || pro->propertyType() == pt_composite) return false;
    const QString text = newValueText(object, *pro);
    if (!pro->value().isNull() && text == pro->value()) return false;
    const QString oldValue = pro->value();
    pro->setValue(text);
    const QModelIndex changed = indexOf(pro, ValueColumn);
    if (changed.isValid()) emit dataChanged(changed, changed);
    emit valueEdited(pro, oldValue);
    NotificationCenter::defaultCenter().postNotification(FlashTmplProValueChangedNotification, nullptr,
                                                         {{QStringLiteral("key"), pro->key()}});
    return true;
}

void FlashTemplateOutlineDelegate::propertyValueChanged(const QString& key) {
    const QModelIndex changed = iFlashTmpl ? indexOf(iFlashTmpl->propertyForKey(key), ValueColumn) : QModelIndex();
    if (changed.isValid()) emit dataChanged(changed, changed);
}

QVariant FlashTemplateOutlineDelegate::data(const QModelIndex& index, int role) const {
    FlashTemplateProperty* pro = propertyAt(index);
    if (!pro) return {};
    const bool isSwitch = index.column() == ValueColumn && pro->propertyType() == pt_bool;
    if (role == Qt::CheckStateRole && isSwitch)
        return objectValue(pro, ValueColumn).toInt() ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::DisplayRole && isSwitch) return pro->aTitle();
    if (role == Qt::DisplayRole && index.column() == ValueColumn && pro->propertyType() == pt_list)
        return listChoices(*pro).contains(pro->value()) ? pro->value() : QString();
    if (role == Qt::DisplayRole || role == Qt::EditRole) return objectValue(pro, index.column());
    if (role == Qt::ToolTipRole) return pro->desc();
    return {};
}

bool FlashTemplateOutlineDelegate::setData(const QModelIndex& index, const QVariant& value, int role) {
    FlashTemplateProperty* pro = propertyAt(index);
    if (!pro || index.column() != ValueColumn) return false;
    if (role == Qt::CheckStateRole && pro->propertyType() == pt_bool) {
        setObjectValue(value.toInt() == Qt::Checked, pro);
        return true;
    }
    if (role != Qt::EditRole) return false;
    setObjectValue(value, pro);
    return true;
}

Qt::ItemFlags FlashTemplateOutlineDelegate::flags(const QModelIndex& index) const {
    FlashTemplateProperty* pro = propertyAt(index);
    if (!pro) return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() != ValueColumn || pro->propertyType() == pt_composite) return result;
    if (pro->propertyType() == pt_bool) return result | Qt::ItemIsUserCheckable;
    return result | Qt::ItemIsEditable;
}

QVariant FlashTemplateOutlineDelegate::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section == KeyColumn ? tr("Setting") : tr("Value");
}

void FlashTemplateOutlineDelegate::outlineViewSelectionDidChange(QTreeView* outlineView) {
    NotificationCenter::defaultCenter().postNotification(UpdateFlashTmplProTipNotification, this);
    const QModelIndex current = outlineView->selectionModel()->currentIndex();
    FlashTemplateProperty* pro = propertyAt(current);
    if (!pro || (pro->propertyType() != pt_text && pro->propertyType() != pt_number)) return;
    const QModelIndex value = indexOf(pro, ValueColumn);
    outlineView->setCurrentIndex(value);
    outlineView->edit(value);
    if (auto* editor = qobject_cast<QLineEdit*>(outlineView->indexWidget(value))) editor->selectAll();
}

void FlashTemplateOutlineDelegate::onSelectFile(FlashTmplCell* cell) {
    QStringList patterns;
    for (const QString& type : FileChooser::extensionsIn(cell->pro() ? cell->pro()->valueSource() : QString()))
        patterns << QStringLiteral("*.") + type;
    const QString filter = patterns.isEmpty() ? QString() : tr("Files (%1)").arg(patterns.join(QLatin1Char(' ')));
    const QString start = QFileInfo(cell->text()).absolutePath();
    // Cancelling clears the setting.
    cell->setText(QFileDialog::getOpenFileName(nullptr, tr("Choose a file"), start, filter));
    setObjectValue(cell->text(), cell->pro());
}

void FlashTemplateOutlineDelegate::onSelectColor(FlashTmplCell* cell) {
    auto* colorCell = static_cast<FlashTmplColorCell*>(cell);
    const QColor chosen = QColorDialog::getColor(colorCell->color(), nullptr, tr("Colors"));
    if (!chosen.isValid()) return;   // a cancelled panel keeps the colour
    colorCell->setColor2(chosen);
    setObjectValue(cell->text(), cell->pro());
}

void FlashTemplateOutlineDelegate::onSelectLanguage(FlashTmplCell* cell) {
    if (!iLanguageContorller)
        iLanguageContorller = std::make_unique<FlashLanguageWindowController>(cell->text(), QApplication::activeWindow());
    const int returnCode = iLanguageContorller->exec();
    iLanguageContorller->saveLanguageOrder();
    if (returnCode != 1) return;
    cell->setText(iLanguageContorller->checkedLanguageValue());
    setObjectValue(cell->text(), cell->pro());
}
