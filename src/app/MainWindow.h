#pragma once
#include <QMainWindow>

class PreviewStage;
class QAction;
class QPixmap;
class QGroupBox;
class QTextEdit;
class QToolButton;
class QTreeView;
class QWebEngineView;

// The main window's widgets: settings tree and description on the left, live preview on the
// right, the toolbar and the menus. The application controller gives them their behaviour.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Without the preview view the right side stays empty (tests of the controller's rules).
    explicit MainWindow(bool withPreviewView = true);

    QTreeView* outlineView() const { return iOutlineView; }
    QTextEdit* toolTip() const { return iToolTip; }
    QGroupBox* toolTipBox() const { return iToolTipBox; }
    QWebEngineView* webView() const { return iWebView; }
    QToolButton* btnSelectTmpl() const { return iBtnSelectTmpl; }
    PreviewStage* previewStage() const { return iPreviewStage; }

    // What the controller shows: the template's name, the selected setting's description and the
    // apply button's state image.
    void showTemplateName(const QString& name);
    void showSettingDescription(const QString& title, const QString& description);
    void showApplyImage(const QPixmap& image);

    QAction* actNewBook;
    QAction* actImport;
    QAction* actPublish;
    QAction* actApply;
    QAction* actEditPage;
    QAction* actSelectTemplate;
    QAction* actExportTheme;
    QAction* actImportTheme;
    QAction* actExportTmplSettings;
    QAction* actImportTmplSettings;
    QAction* actOpenProject;
    QAction* actAbout;
    QAction* actHomePage;
    QAction* actQuit;
    QAction* actUndo;
    QAction* actRedo;
    QAction* actPhonePreview;   // checkable: the preview as a phone shows the book

private:
    void buildActions();
    void buildMenus();
    void buildToolBar();
    QWidget* buildSettingsSide();
    QWidget* buildPreviewSide(bool withPreviewView);

    QTreeView* iOutlineView = nullptr;
    QTextEdit* iToolTip = nullptr;
    QGroupBox* iToolTipBox = nullptr;
    QWebEngineView* iWebView = nullptr;
    QToolButton* iBtnSelectTmpl = nullptr;
    PreviewStage* iPreviewStage = nullptr;
};
