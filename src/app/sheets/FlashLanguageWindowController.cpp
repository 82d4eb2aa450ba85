#include "app/sheets/FlashLanguageWindowController.h"

#include "app/AppAlert.h"
#include "app/sheets/EditableLanguageItemTableView.h"
#include "language/FlashLanguageSettings.h"
#include "util/AppSettings.h"

#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
enum LanguageColumn { CheckColumn = 0, NameColumn = 1 };
enum ItemColumn { LabelColumn = 0, LabeledColumn = 1 };
const QString kYes = QStringLiteral("YES");
const QString kNo = QStringLiteral("NO");
}

FlashLanguageWindowController::FlashLanguageWindowController(const QString& checkedLanguages, QWidget* parent)
    : QDialog(parent) {
    buildWindow();
    FlashLanguageSettings::copyDefaultLanguagesToPool();
    refreshLanguages();
    setCheckedLanguageValues(checkedLanguages);   // selects the first of them
    if (iTvLanguages->currentRow() < 0) reloadItemsTable();   // the defaults
}

FlashLanguageWindowController::~FlashLanguageWindowController() {
    saveLanguageOrder();
}

void FlashLanguageWindowController::buildWindow() {
    setWindowTitle(tr("Languages"));
    iTvLanguages = new QTableWidget(0, 2);
    iTvLanguages->setHorizontalHeaderLabels({QString(), tr("Languages")});
    iTvLanguages->setSelectionBehavior(QAbstractItemView::SelectRows);
    iTvLanguages->setSelectionMode(QAbstractItemView::SingleSelection);
    iTvLanguages->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    iTvLanguages->setDragDropMode(QAbstractItemView::DragDrop);
    iTvLanguages->setDefaultDropAction(Qt::MoveAction);
    iTvLanguages->viewport()->installEventFilter(this);
    iTvLanguages->verticalHeader()->hide();
    iTvLanguages->horizontalHeader()->setSectionResizeMode(CheckColumn, QHeaderView::ResizeToContents);
    iTvLanguages->horizontalHeader()->setStretchLastSection(true);
    iTvItems = new EditableLanguageItemTableView(0, 2);
    iTvItems->setHorizontalHeaderLabels({tr("Label"), tr("Text")});
    iTvItems->setAcceptDrops(false);
    iTvItems->verticalHeader()->hide();
    iTvItems->setColumnWidth(LabelColumn, 220);
    iTvItems->horizontalHeader()->setStretchLastSection(true);
    for (QTableWidget* table : {iTvLanguages, static_cast<QTableWidget*>(iTvItems)}) {
        table->horizontalHeader()->setHighlightSections(false);
        table->verticalHeader()->setDefaultSectionSize(24);
    }
    iTvItems->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::SelectedClicked);

    auto* buttons = new QHBoxLayout;
    const auto addButton = [&](const QString& title, const QString& tip, void (FlashLanguageWindowController::*command)()) {
        auto* button = new QPushButton(title);
        button->setToolTip(tip);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, command);
        buttons->addWidget(button);
    };
    addButton(QStringLiteral("+"), tr("Add a language"), &FlashLanguageWindowController::onAddLanguage);
    addButton(QStringLiteral("\u2212"), tr("Delete the selected language"), &FlashLanguageWindowController::onDeleteLanguage);
    addButton(tr("Import..."), tr("Import a language file"), &FlashLanguageWindowController::onImportLanugage);
    addButton(tr("Export..."), tr("Export the selected language"), &FlashLanguageWindowController::onExportLanguage);
    buttons->addStretch();

    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(iTvLanguages);
    leftLayout->addLayout(buttons);
    auto* split = new QSplitter;
    split->addWidget(left);
    split->addWidget(iTvItems);
    split->setSizes({260, 560});

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(box, &QDialogButtonBox::accepted, this, &FlashLanguageWindowController::onOK);
    connect(box, &QDialogButtonBox::rejected, this, &FlashLanguageWindowController::onCanceld);
    auto* hint = new QLabel(tr("Tick the languages the book offers; drag them into the order its readers see."));
    hint->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(split, 1);
    layout->addWidget(box);
    resize(860, 520);

    connect(iTvLanguages, &QTableWidget::itemChanged, this, &FlashLanguageWindowController::languageCellChanged);
    connect(iTvLanguages, &QTableWidget::itemSelectionChanged, this, &FlashLanguageWindowController::languageSelectionChanged);
    connect(iTvItems, &QTableWidget::itemChanged, this, &FlashLanguageWindowController::itemCellChanged);
}

// ---------------------------------------------------------------- the list

QString FlashLanguageWindowController::checkedLanguageValue() const {
    QStringList names;
    for (const FlashLanguageSettingItem& row : iLanguages) {
        if (row.isChecked == kYes) names << row.languageName;
    }
    return names.isEmpty() ? QStringLiteral("English") : names.join(QLatin1Char(';'));
}

void FlashLanguageWindowController::saveLanguageOrder() const {
    QStringList names;
    for (const FlashLanguageSettingItem& row : iLanguages) names << row.languageName;
    AppSettings& settings = AppSettings::shareInstance();
    settings.setLanguageOrder(names.isEmpty() ? QStringLiteral("English") : names.join(QLatin1Char(';')));
    settings.saveSettings();
}

void FlashLanguageWindowController::refreshLanguages() {
    iLanguages.clear();
    for (const QString& name : FlashLanguageSettings::orderedLanguageNames(AppSettings::shareInstance().languageOrder()))
        iLanguages.push_back({kNo, name});
    reloadLanguagesTable();
}

void FlashLanguageWindowController::setCheckedLanguageValues(const QString& names) {
    if (names.isNull()) return;
    int firstMatch = -1;
    for (const QString& name : names.split(QLatin1Char(';'))) {
        for (size_t row = 0; row < iLanguages.size(); ++row) {
            if (iLanguages[row].languageName != name) continue;
            iLanguages[row].isChecked = kYes;
            if (firstMatch < 0) firstMatch = int(row);
        }
    }
    reloadLanguagesTable();
    if (firstMatch >= 0) selectLanguageRow(firstMatch);
}

void FlashLanguageWindowController::reloadLanguagesTable() {
    iReloading = true;
    iTvLanguages->setRowCount(int(iLanguages.size()));
    for (int row = 0; row < int(iLanguages.size()); ++row) {
        auto* check = new QTableWidgetItem(QStringLiteral(" "));
        check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled);
        check->setCheckState(iLanguages[size_t(row)].isChecked == kYes ? Qt::Checked : Qt::Unchecked);
        iTvLanguages->setItem(row, CheckColumn, check);
        auto* name = new QTableWidgetItem(iLanguages[size_t(row)].languageName);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled);
        iTvLanguages->setItem(row, NameColumn, name);
    }
    iReloading = false;
}

void FlashLanguageWindowController::reloadItemsTable() {
    iReloading = true;
    const auto& items = iCurrentLanguage.metaItems();
    iTvItems->setRowCount(int(items.size()));
    for (int row = 0; row < int(items.size()); ++row) {
        auto* label = new QTableWidgetItem(items[size_t(row)].title);
        label->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        label->setToolTip(items[size_t(row)].description);
        iTvItems->setItem(row, LabelColumn, label);
        iTvItems->setItem(row, LabeledColumn, new QTableWidgetItem(items[size_t(row)].value));
    }
    iReloading = false;
}

void FlashLanguageWindowController::selectLanguageRow(int row) {
    iTvLanguages->selectRow(row);
    iTvLanguages->setCurrentCell(row, NameColumn);
}

void FlashLanguageWindowController::languageSelectionChanged() {
    const int row = iTvLanguages->currentRow();
    if (iReloading || row < 0 || row >= int(iLanguages.size())) return;
    FlashLanguage chosen;
    chosen.setLanguageName(iLanguages[size_t(row)].languageName);
    chosen.loadValueByLanguageName(chosen.languageName());
    iCurrentLanguage = chosen;
    reloadItemsTable();
}

void FlashLanguageWindowController::languageCellChanged(QTableWidgetItem* item) {
    if (iReloading || item->row() >= int(iLanguages.size())) return;
    if (item->column() == CheckColumn)
        iLanguages[size_t(item->row())].isChecked = item->checkState() == Qt::Checked ? kYes : kNo;
    else if (item->column() == NameColumn)   // after the view is done with the edited cell
        QMetaObject::invokeMethod(this, [this, name = item->text()] { renameSelectedLanguage(name); },
                                  Qt::QueuedConnection);
}

void FlashLanguageWindowController::itemCellChanged(QTableWidgetItem* item) {
    auto& items = iCurrentLanguage.metaItems();
    if (iReloading || item->column() != LabeledColumn || item->row() >= int(items.size())) return;
    items[size_t(item->row())].value = item->text();
    iCurrentLanguage.save();
}

// ---------------------------------------------------------------- commands

void FlashLanguageWindowController::renameSelectedLanguage(const QString& newName) {
    const int row = iTvLanguages->currentRow();
    if (row < 0 || row >= int(iLanguages.size()) || newName == iCurrentLanguage.languageName()) return;
    if (iCurrentLanguage.rename(newName.trimmed()))
        iLanguages[size_t(row)].languageName = iCurrentLanguage.languageName();
    else
        refuse(tr("The language cannot be renamed."), iCurrentLanguage.errorString());
    reloadLanguagesTable();
    selectLanguageRow(row);
}

void FlashLanguageWindowController::onAddLanguage() {
    const QString name = FlashLanguageSettings::newLanguageName();
    iLanguages.push_back({kNo, name});
    iCurrentLanguage.setLanguageName(name);
    iCurrentLanguage.save();
    reloadLanguagesTable();
    iReloading = true;   // the new row shows the texts it was copied from
    selectLanguageRow(int(iLanguages.size()) - 1);
    iReloading = false;
}

void FlashLanguageWindowController::onImportLanugage() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Import a language"), QString(),
                                                      tr("Language files (*.xml)"));
    if (!path.isEmpty()) importLanguageFile(path);
}

void FlashLanguageWindowController::importLanguageFile(const QString& path) {
    const QString checked = checkedLanguageValue();
    FlashLanguage imported;
    if (!imported.importIntoPool(path)) {
        refuse(tr("The file \"%1\" holds no language that can be imported.").arg(QFileInfo(path).fileName()),
               imported.errorString());
        return;
    }
    refreshLanguages();
    setCheckedLanguageValues(checked);
}

void FlashLanguageWindowController::onExportLanguage() {
    const QString path = QFileDialog::getSaveFileName(this, tr("Export the language"),
                                                      iCurrentLanguage.languageName() + QStringLiteral(".xml"),
                                                      tr("Language files (*.xml)"));
    if (!path.isEmpty()) exportLanguageTo(path);
}

void FlashLanguageWindowController::exportLanguageTo(const QString& path) {
    const QString target = QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".xml") : path;
    const QString oldName = iCurrentLanguage.languageName();
    iCurrentLanguage.setLanguageName(QFileInfo(target).completeBaseName());
    iCurrentLanguage.saveTo(target);
    iCurrentLanguage.setLanguageName(oldName);
}

void FlashLanguageWindowController::onDeleteLanguage() {
    const int row = iTvLanguages->currentRow();
    if (row < 0 || row >= int(iLanguages.size())) return;
    AppAlert::Request ask;
    ask.style = AppAlert::Informational;
    ask.messageText = tr("Sure to delete the selected language:%1?").arg(iLanguages[size_t(row)].languageName);
    ask.buttons = {tr("Delete"), tr("No")};
    if (AppAlert::run(this, ask) != 0) return;
    FlashLanguageSettings::removeLanguageValueByName(iLanguages[size_t(row)].languageName);
    iLanguages.erase(iLanguages.begin() + row);
    reloadLanguagesTable();
}

int FlashLanguageWindowController::rowAfterDrop(int from, int dropRow) {
    return from < dropRow ? dropRow - 1 : dropRow;
}

void FlashLanguageWindowController::moveLanguageRow(int from, int dropRow) {
    const int count = int(iLanguages.size());
    if (from < 0 || from >= count || dropRow < 0 || dropRow > count) return;
    const FlashLanguageSettingItem moved = iLanguages[size_t(from)];
    iLanguages.erase(iLanguages.begin() + from);
    const int to = rowAfterDrop(from, dropRow);
    iLanguages.insert(iLanguages.begin() + to, moved);
    reloadLanguagesTable();
    iReloading = true;   // the moved row keeps its texts on show
    selectLanguageRow(to);
    iReloading = false;
}

// Only rows dragged inside the list move; the texts table takes no drops.
bool FlashLanguageWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (watched != iTvLanguages->viewport()) return QDialog::eventFilter(watched, event);
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QDialog::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    if (drop->source() != iTvLanguages) {
        drop->ignore();
        return true;
    }
    // Copy, not move: the view would otherwise clear the dragged cells itself after the drop.
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) {
        const QPoint at = drop->position().toPoint();
        const QModelIndex target = iTvLanguages->indexAt(at);
        const int dropRow = !target.isValid() ? iTvLanguages->rowCount()
                          : target.row() + (at.y() > iTvLanguages->visualRect(target).center().y() ? 1 : 0);
        moveLanguageRow(iTvLanguages->currentRow(), dropRow);
    }
    return true;
}

void FlashLanguageWindowController::refuse(const QString& message, const QString& reason) {
    AppAlert::Request alert;
    alert.messageText = message;
    alert.informativeText = reason;
    alert.buttons = {tr("OK")};
    AppAlert::run(this, alert);
}
