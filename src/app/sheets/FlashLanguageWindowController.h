#pragma once
#include "language/FlashLanguage.h"

#include <QDialog>
#include <QString>
#include <vector>

class EditableLanguageItemTableView;
class QTableWidget;
class QTableWidgetItem;

// One row of the language list; only "YES" in isChecked counts as chosen.
struct FlashLanguageSettingItem {
    QString isChecked;
    QString languageName;
};

// The language window: which languages a book carries (check boxes), in which order (drag),
// and the texts of each (the items table). Adding, renaming, importing, deleting and editing
// texts go to the user's language pool at once; the order is saved when the window closes.
class FlashLanguageWindowController : public QDialog {
    Q_OBJECT
public:
    // checkedLanguages: "English;French", the names to tick.
    explicit FlashLanguageWindowController(const QString& checkedLanguages, QWidget* parent = nullptr);
    ~FlashLanguageWindowController() override;

    // The ticked names in list order joined with ";", or "English" when none is ticked.
    QString checkedLanguageValue() const;
    // Stores every name in list order as the settings' languageOrder.
    void saveLanguageOrder() const;
    void refreshLanguages();
    void setCheckedLanguageValues(const QString& names);

    // ---- commands ----
    void onAddLanguage();
    void onImportLanugage();
    void onExportLanguage();
    void onDeleteLanguage();
    void onOK() { done(1); }
    void onCanceld() { done(0); }
    // What import and export do with the chosen file.
    void importLanguageFile(const QString& path);
    void exportLanguageTo(const QString& path);
    // Renames the selected row's language (the one the texts table shows).
    void renameSelectedLanguage(const QString& newName);
    // A drop of row `from` at row `dropRow`: a row moved down lands at dropRow - 1.
    void moveLanguageRow(int from, int dropRow);
    static int rowAfterDrop(int from, int dropRow);

    const std::vector<FlashLanguageSettingItem>& languages() const { return iLanguages; }
    const FlashLanguage& currentLanguage() const { return iCurrentLanguage; }
    QTableWidget* tvLanguages() const { return iTvLanguages; }
    EditableLanguageItemTableView* tvItems() const { return iTvItems; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void reloadLanguagesTable();
    void reloadItemsTable();
    void selectLanguageRow(int row);
    void languageSelectionChanged();
    void languageCellChanged(QTableWidgetItem* item);
    void itemCellChanged(QTableWidgetItem* item);
    void refuse(const QString& message, const QString& reason);

    QTableWidget* iTvLanguages = nullptr;
    EditableLanguageItemTableView* iTvItems = nullptr;
    std::vector<FlashLanguageSettingItem> iLanguages;
    FlashLanguage iCurrentLanguage;
    bool iReloading = false;
};
