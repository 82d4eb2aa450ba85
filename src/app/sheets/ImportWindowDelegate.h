#pragma once
#include "output/Book.h"

#include <QDialog>
#include <QPointer>
#include <QSize>
#include <QStringList>
#include <QThreadPool>
#include <QVariantMap>
#include <memory>

class ImportPDFOperation;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// The import sheet: pick a PDF, its pages, the quality and the page kind, run the import in the
// background with progress, and hand the imported book over (bookImported) before it ends with
// code 1.
class ImportWindowDelegate : public QDialog {
    Q_OBJECT
public:
    explicit ImportWindowDelegate(QWidget* parent = nullptr);
    ~ImportWindowDelegate() override;

    // ---- rules ----
    // The file field names an existing file whose extension is "pdf" in any letter case.
    static bool isImportableFile(const QString& path);
    // The book name a file gives: its name up to the first dot ("report.draft.pdf" -> "report").
    static QString outputNameForImportedFile(const QString& path);
    // Whether a host of this version must be warned about a missing X11 (10.8 and later 10.x).
    static bool X11WarningApplies(const QString& MacVersion);
    // True when the folder holds a "lib" folder with a ".dylib" file at any depth.
    static bool checkDylibFileExist(const QString& folder);
    bool checkX11Install() const;
    // The host's "major.minor.patch" where the X11 check applies (macOS); empty elsewhere.
    static QString detectMacSystemVersion();

    // Whether the import makes zoom pictures (the template's zoomPages setting); on by default.
    void setZoomPages(bool zoomPages) { iZoomPages = zoomPages; }

    // ---- actions ----
    void onBrowseFileAction();
    void controlTextDidChange();
    void onPageRangeTypeChangeAction();
    void onOpenTheFileAction();
    void onImportAction();
    void onCancelAction();
    void enableButtons(bool e);
    void freeAfterImport();
    void mainThread_handleMSG(const QVariantMap& userInfo);

    // PDF page numbers the last import could not render: blank pages with a notice in the book.
    const QList<int>& failedPages() const { return iFailedPages; }

    // ---- controls and host facts (tests and the drop target use them) ----
    QLineEdit* txtImportFile() const { return iTxtImportFile; }
    QLineEdit* txtPageRange() const { return iTxtPageRange; }
    QButtonGroup* pageRangeType() const { return iPageRangeType; }
    QButtonGroup* renderEngineType() const { return iRenderEngineType; }
    QComboBox* importQuality() const { return iImportQuality; }
    QCheckBox* btnImportBookMark() const { return iBtnImportBookMark; }
    QCheckBox* btnImportLinks() const { return iBtnImportLinks; }
    QPushButton* btnOK() const { return iBtnOK; }
    QPushButton* btnCancel() const { return iBtnCancel; }
    QLabel* lblInfo() const { return iLblInfo; }
    void setMacVersion(const QString& version) { iMacVersion = version; }
    void setX11Folders(const QStringList& folders) { iX11Folders = folders; }

protected:
    // Escape and the close box act as the Cancel button.
    void reject() override;

signals:
    // The import started in the background (the sheet is now in its importing state).
    void importStarted();
    // The pages, links and outline of a finished import (no template), and the size of the
    // document's first page in points.
    void bookImported(const Book& book, const QSize& firstPageSize);

private:
    void buildInterface();
    void awakeFromNib();
    bool askAboutX11();
    void saveDialogSettings();
    static void nameThePublishAfter(const QString& importedFile);
    void startImport();
    void importDidFinish(ImportPDFOperation* operation);
    void showFailure(const QString& reason);
    bool okRuleHolds() const;

    QLineEdit* iTxtImportFile = nullptr;
    QButtonGroup* iPageRangeType = nullptr;
    QLineEdit* iTxtPageRange = nullptr;
    QComboBox* iImportQuality = nullptr;
    QPushButton* iBtnBrowse = nullptr;
    QPushButton* iBtnOK = nullptr;
    QPushButton* iBtnCancel = nullptr;
    QLabel* iLblInfo = nullptr;
    QProgressBar* iPrgBar = nullptr;
    QCheckBox* iBtnImportBookMark = nullptr;
    QCheckBox* iBtnImportLinks = nullptr;
    QButtonGroup* iRenderEngineType = nullptr;
    QList<QWidget*> iEngineButtons, iRangeButtons;

    QList<int> iFailedPages;
    QSize iFirstPageSize;
    QThreadPool iQueue;
    std::shared_ptr<ImportPDFOperation> iImportPDF;
    QList<std::shared_ptr<ImportPDFOperation>> iRunning;  // cancelled ones still finishing their page
    QString iMacVersion;
    QStringList iX11Folders;
    bool iZoomPages = true;
};
