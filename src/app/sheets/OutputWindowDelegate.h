#pragma once
#include "app/AppAlert.h"
#include "output/Book.h"

#include <QDialog>
#include <QPointer>
#include <memory>

class AdvancedSetting;
struct PublishResult;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The publish sheet: folder, name, title, kind of delivery (0 HTML folder, 1 application bundle,
// 2 ZIP archive), mobile version; checks the entries, stores them and drives the publishing engine.
class OutputWindowDelegate : public QDialog {
    Q_OBJECT
public:
    explicit OutputWindowDelegate(QWidget* parent = nullptr);
    ~OutputWindowDelegate() override;

    // ---- rules ----
    static QString extensionFor(int outputType);      // ".html", ".app", ".zip"
    static QString defaultNameFor(int outputType);    // "Index" for the HTML folder, else "Quirevale"
    // The name field after the kind changed, from the stored name and the field's text.
    static QString nameFieldFor(int outputType, const QString& storedName, const QString& currentName);
    static QString defaultOutputFolder();             // documents + "/Quirevale/"
    // The "Warning" alert for missing entries; no buttons when nothing is missing.
    static AppAlert::Request problemsAlert(bool nameMissing, bool titleMissing);

    // ---- actions ----
    void CheckOutputSetting();
    void onTypeChoanged();
    void onSelectFolder();
    void onOpenFolder();
    void onAdvanced();
    void AdvancedWindowDidEnd(int returnCode);
    void onCancel();
    void onPublish();

    // ---- the book to publish, shared ----
    // bookName: what the book came from ("report" for report.pdf); empty for the demonstration.
    void setBook(const Book& book, const QString& bookName = {});
    // What an empty title field offers: the book's "bookTitle" setting, else its name, else "Demo".
    QString bookTitle() const;

    // ---- controls (tests use them) ----
    QLineEdit* txtOutputFolder() const { return iTxtOutputFolder; }
    QLineEdit* txtOutputName() const { return iTxtOutputName; }
    QLineEdit* txtTitle() const { return iTxtTitle; }
    QButtonGroup* mOutputType() const { return iOutputType; }
    QCheckBox* btnMakeMobileVersion() const { return iBtnMakeMobileVersion; }
    QLabel* ExFileName() const { return iExFileName; }
    QPushButton* btnAdvanced() const { return iBtnAdvanced; }
    AdvancedSetting* advancedSetting() const;

signals:
    // A book was written; the path is what "Open it" opens.
    void bookPublished(const QString& outputFile);

private:
    void offerTitle();
    void buildInterface();
    void awakeFromNib();
    int selectedType() const;
    bool checkEntries();
    void storeEntries();
    bool makeOutputFolder();
    void publishBook();
    void offerToOpen(const PublishResult& result);

    QLineEdit* iTxtOutputFolder = nullptr;
    QLineEdit* iTxtOutputName = nullptr;
    QLineEdit* iTxtTitle = nullptr;
    QString iOfferedTitle;   // what the sheet put into the empty title field
    QString iBookName;
    QButtonGroup* iOutputType = nullptr;
    QCheckBox* iBtnMakeMobileVersion = nullptr;
    QLabel* iLblMakeMobileVersion = nullptr;
    QComboBox* iBtnMobileTmplName = nullptr;
    QLabel* iExFileName = nullptr;
    QPushButton* iBtnAdvanced = nullptr;

    Book iBook;
    QPointer<AdvancedSetting> iAdvancedSetting;
};
