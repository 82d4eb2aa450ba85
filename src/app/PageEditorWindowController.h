#pragma once
#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class FlashOutline;
class FlashPagesAnnotations;
class QWebChannel;
class QWebEngineView;

// The page editor: the bundled editor page in a web view over the preview folder. It hands the
// page the book description, lets it choose link files into files/pageConfig/, and takes the
// edited links (and outline) back. Run it with runModal(): application-modal, full screen.
class PageEditorWindowController : public QDialog {
    Q_OBJECT
public:
    // Chooses files for the given extensions (without dots); empty when the user cancels.
    using FileChooser = std::function<QStringList(const QString& description, const QStringList& extensions)>;

    static constexpr const char* kSaveSeparator = "_$Split$_";

    // Copies the bundled editor page into the folder (replacing an older copy); the page is loaded
    // by windowDidLoad() or runModal().
    PageEditorWindowController(const QString& bookXMLStr, const QString& baseFolder,
                               std::shared_ptr<FlashPagesAnnotations> annotations, QWidget* parent = nullptr);
    ~PageEditorWindowController() override;

    // Trusts the folder, loads the page, fills the screen.
    void windowDidLoad();
    // windowDidLoad(), then the application-modal loop until the page or the user closes.
    int runModal();

    // The operations of the page's scripts (see PageEditorBridge).
    void toSelecteFiiles(const QString& filterText);
    void saveFlipPageEditorXML(const QString& saveText);
    void exitWithoutSave();
    // Hands the book description to the page again.
    void onTest();

    // True once the page saved links (they are in the page-links object given).
    bool linksSaved() const { return iLinksSaved; }
    // The outline the page saved; null when it saved none.
    std::shared_ptr<FlashOutline> savedOutline() const { return iSavedOutline; }
    void setFileChooser(FileChooser chooser) { iFileChooser = std::move(chooser); }
    QWebEngineView* webView() const { return iWebView; }
    const QString& htmlPath() const { return iHtmlPath; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void handBookToPage();
    QString pageConfigFolder() const;
    QStringList copyIntoPageConfig(const QStringList& chosenFiles) const;
    void addNeededFiles(const QString& list);
    void takeOutline(const QString& outlineXML);
    void callPageFunction(const QString& name, const QStringList& arguments);
    static QStringList chooseWithDialog(QWidget* parent, const QString& description, const QStringList& extensions);

    QWebEngineView* iWebView = nullptr;
    QWebChannel* iChannel = nullptr;
    QString iBookXMLStr;
    QString iBaseFolder;
    QString iHtmlPath;
    std::shared_ptr<FlashPagesAnnotations> iFlashPagesAnnotations;
    std::shared_ptr<FlashOutline> iSavedOutline;
    bool iLinksSaved = false;
    FileChooser iFileChooser;
};
