#pragma once
#include "app/history/BookState.h"
#include "output/Book.h"
#include "output/PublishOptions.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

class FlashTemplateOutlineDelegate;
class FlashTemplateProperty;
class ImportWindowDelegate;
class LibraryMenuCommands;
class MainWindow;
class OutputWindowDelegate;
class QMenu;
class QSize;
class QTimer;
class QUndoStack;
class QWebChannel;

// The application controller: owns the main window and the current book (pages, links, outline,
// template), runs start-up and shut-down, the window's commands and the live preview.
class LeafMillAppDelegate : public QObject {
    Q_OBJECT
public:
    // Without the preview view nothing is loaded for display (tests of the controller's rules).
    explicit LeafMillAppDelegate(bool withPreviewView = true, QObject* parent = nullptr);
    ~LeafMillAppDelegate() override;

    // ---- life cycle ----
    virtual void applicationDidFinishLaunching();
    void applicationDidBecomeActive();
    void applicationWillTerminate();

    // ---- commands ----
    void onImport();
    // The import sheet with this file in its field (a PDF the desktop asked us to open).
    void openForImport(const QString& pdfPath);
    void importWindowDidEnd(int returnCode);
    // The import sheet's book replaces the current pages, links and outline; the template keeps
    // its settings but takes the first page's size.
    void takeImportedBook(const Book& imported, const QSize& firstPageSize);
    void onConvertToFlipBook();
    void onApplyChange();
    // The page editor over the preview folder; its save is a step of the book's history.
    void onEditPage();
    void onSelectTemplate();
    void onExportTheme();
    void onImportThem();
    void onExportTmplSettings();
    void onImportTmplSettings();
    void onOpenProjectFromFolder();
    void onOpenAbout();
    // Back to the demonstration book (undoable); the kept book is put aside.
    void onNewBook();

    // ---- book changes, undoable ----
    BookState currentBookState() const;
    // Puts the new book in place as one undoable step, keeps it for the next start and
    // rebuilds the preview. Import, reopen, template switch and New Book all come here.
    void changeBook(const BookState& after, const QString& undoText);
    QUndoStack* undoStack() const { return iUndoStack; }
    // Shows the preview as a phone reader sees the book (its mobile version when the book is
    // published with one), or as on a desktop again.
    void onPhonePreview(bool phone);

    // ---- live preview ----
    void applyChange();
    void tmplPpertyValueChanged();
    void onTimerEvent();
    void RefreshTimerOn();
    void onTimerCheckRefresh();
    void makeFlashPreviewFolder();
    void removeFlashPreviewFolder();
    // Asks the preview page for its current look and writes it, at most 180 x 180, as JPEG.
    void generateSnapShot(const QString& path);
    static void generateImgForStr(const QString& base64, const QString& path);

    // ---- settings ----
    void updateTmplPropertyTip();
    void loadTheLastTemplateSetting();
    void saveCurrentTemplateSetting();
    QString savedTemplateSettingsFile() const;
    // Replaces oldName by newName in every item title below the menu bar (null menu: all menus).
    void fixupMenu(QMenu* menu, const QString& oldName, const QString& newName);
    void prepaireTheLog();

    // ---- book changes ----
    // After many of the template's values changed at once (settings text): the editor shows them
    // expanded, the template button names the template, and the preview is rebuilt.
    void reloadSettingsTree();
    // "neat book" -> "Neat Book".
    static QString capitalisedWords(const QString& text);

    // ---- state ----
    MainWindow* window() const { return iWindow.get(); }
    // The current book; its template is the one the settings editor shows.
    const Book& book() const { return iBook; }
    std::shared_ptr<FlashTemplate> flashTmpl() const { return iBook.flashTemplate; }
    std::shared_ptr<FlashPageSource> flashPageSource() const { return iBook.pageSource; }
    FlashTemplateOutlineDelegate* tmplDelegate() const { return iTmplDelegate; }
    ImportWindowDelegate* importWindowDelegate() const;
    OutputWindowDelegate* outputWindowDelegate() const;
    LibraryMenuCommands* libraryMenuCommands() const { return iLibrary; }
    const QString& flashPreviewFolder() const { return iFlashPreviewFolder; }
    bool isCopyStuff() const { return iIsCopyStuff; }

signals:
    // The preview page finished loading after a rebuild (ok: it loaded without error).
    void previewLoaded(bool ok);

private:
    void connectCommands();
    bool loadTemplateNamed(const QString& name);   // false (logged) when it cannot be loaded
    bool hasLoadedTemplate() const;
    void commitOpenEditor();
    BookState demoBookState() const;
    void setBookState(const BookState& state);
    void restoreKeptBook();
    void keepTheBook();
    void settingEdited(FlashTemplateProperty* pro, const QString& oldValue);
    void connectHistory();
    void bindSettingsEditor();
    void setApplyItemImage(const QString& name);
    void loadPreviewPage(const QString& pagePath);
    bool previewsMobileVersion() const;
    PublishOptions previewOptions() const;
    void copyEditorStuff();
    void tellOfBlankPages(const QList<int>& pageNumbers);

    std::unique_ptr<MainWindow> iWindow;
    bool iWithPreviewView;
    Book iBook;
    std::optional<BookState> iImportedBook;   // handed over by the import sheet, taken when it ends
    QString iBookName;   // the file the book came from, without extension; empty for the demonstration
    QString iFlashPreviewFolder;
    FlashTemplateOutlineDelegate* iTmplDelegate = nullptr;
    LibraryMenuCommands* iLibrary = nullptr;
    QTimer* iApplyChangeTimer = nullptr;
    int iApplyItemTag = 0;
    QPointer<OutputWindowDelegate> iOutputWindowDelegate;
    QPointer<ImportWindowDelegate> iImportWindowDelegate;
    bool iIsNeedChagePage = false;
    bool iIsCopyStuff = false;
    QTimer* iRefreshTimer = nullptr;
    QWebChannel* iChannel = nullptr;
    QUndoStack* iUndoStack = nullptr;
    bool iIsDemoBook = true;
};
