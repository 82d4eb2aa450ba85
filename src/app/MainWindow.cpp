#include "app/MainWindow.h"

#include "app/AppImages.h"
#include "app/preview/PreviewStage.h"

#include <QAction>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenuBar>
#include <QSplitter>
#include <QStyle>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWebEngineView>

MainWindow::MainWindow(bool withPreviewView) {
    buildActions();
    buildMenus();
    buildToolBar();
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(buildSettingsSide());
    splitter->addWidget(buildPreviewSide(withPreviewView));
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({340, 900});
    setCentralWidget(splitter);
}

void MainWindow::buildActions() {
    QStyle* s = style();
    actNewBook = new QAction(tr("New Book"), this);
    actNewBook->setShortcut(QKeySequence::New);
    actNewBook->setToolTip(tr("Put the imported book aside and start again from the demonstration book"));
    actImport = new QAction(s->standardIcon(QStyle::SP_DialogOpenButton), tr("Import PDF..."), this);
    actImport->setShortcut(QKeySequence::Open);
    actPublish = new QAction(s->standardIcon(QStyle::SP_DialogSaveButton), tr("Publish..."), this);
    actPublish->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    actApply = new QAction(QIcon(AppImages::pixmap(QStringLiteral("apply"))), tr("Apply"), this);
    actApply->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    actEditPage = new QAction(s->standardIcon(QStyle::SP_FileDialogDetailedView), tr("Edit Pages"), this);
    actSelectTemplate = new QAction(tr("Select Template..."), this);
    actExportTheme = new QAction(tr("Export Theme..."), this);
    actImportTheme = new QAction(tr("Import Theme..."), this);
    actExportTmplSettings = new QAction(tr("Export Template Settings..."), this);
    actImportTmplSettings = new QAction(tr("Import Template Settings..."), this);
    actOpenProject = new QAction(tr("Open Project From Folder..."), this);
    actAbout = new QAction(tr("About LeafMill"), this);
    actHomePage = new QAction(tr("LeafMill Home Page"), this);
    actQuit = new QAction(tr("Quit LeafMill"), this);
    actQuit->setShortcut(QKeySequence::Quit);
    actUndo = new QAction(tr("Undo"), this);
    actUndo->setShortcut(QKeySequence::Undo);
    actRedo = new QAction(tr("Redo"), this);
    actRedo->setShortcut(QKeySequence::Redo);
    actPhonePreview = new QAction(tr("Preview as a Phone"), this);
    actPhonePreview->setCheckable(true);
    actPhonePreview->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
    actPhonePreview->setToolTip(tr("Show the preview at 390 x 844 as a phone reader sees the book"));
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(actNewBook);
    file->addAction(actImport);
    file->addAction(actOpenProject);
    file->addAction(actPublish);
    file->addSeparator();
    file->addAction(actQuit);
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(actUndo);
    edit->addAction(actRedo);
    QMenu* book = menuBar()->addMenu(tr("&Book"));
    book->addAction(actApply);
    book->addAction(actEditPage);
    book->addAction(actSelectTemplate);
    book->addSeparator();
    QMenu* themes = book->addMenu(tr("Themes"));
    themes->addAction(actExportTheme);
    themes->addAction(actImportTheme);
    QMenu* settings = book->addMenu(tr("Template Settings"));
    settings->addAction(actExportTmplSettings);
    settings->addAction(actImportTmplSettings);
    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(actPhonePreview);
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(actHomePage);
    help->addAction(actAbout);
}

void MainWindow::buildToolBar() {
    QToolBar* bar = addToolBar(tr("Commands"));
    bar->setObjectName(QStringLiteral("mainToolBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setMovable(false);
    bar->addAction(actImport);
    bar->addAction(actPublish);
    bar->addSeparator();
    bar->addAction(actApply);
    bar->addAction(actEditPage);
    bar->addSeparator();
    iBtnSelectTmpl = new QToolButton;
    iBtnSelectTmpl->setDefaultAction(actSelectTemplate);
    iBtnSelectTmpl->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    iBtnSelectTmpl->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    bar->addWidget(iBtnSelectTmpl);
}

QWidget* MainWindow::buildPreviewSide(bool withPreviewView) {
    auto* side = new QWidget;
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QToolBar;
    bar->setObjectName(QStringLiteral("previewBar"));
    bar->setIconSize(QSize(16, 16));
    auto* spacer = new QWidget;
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(spacer);
    bar->addAction(actPhonePreview);
    layout->addWidget(bar);
    if (withPreviewView) iWebView = new QWebEngineView;
    iPreviewStage = new PreviewStage(iWebView);
    layout->addWidget(iPreviewStage, 1);
    return side;
}

QWidget* MainWindow::buildSettingsSide() {
    auto* side = new QWidget;
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(4, 4, 4, 4);
    iOutlineView = new QTreeView;
    iOutlineView->setAlternatingRowColors(true);
    iOutlineView->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::SelectedClicked);
    iOutlineView->setMouseTracking(true);
    iOutlineView->header()->setStretchLastSection(true);
    iToolTipBox = new QGroupBox(tr("Description"));
    auto* boxLayout = new QVBoxLayout(iToolTipBox);
    iToolTip = new QTextEdit;
    iToolTip->setReadOnly(true);
    iToolTip->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    iToolTip->setMaximumHeight(110);
    boxLayout->addWidget(iToolTip);
    layout->addWidget(iOutlineView, 1);
    layout->addWidget(iToolTipBox);
    return side;
}

void MainWindow::showTemplateName(const QString& name) {
    iBtnSelectTmpl->setText(name);
}

void MainWindow::showSettingDescription(const QString& title, const QString& description) {
    iToolTipBox->setTitle(title);
    iToolTip->setPlainText(description);
}

void MainWindow::showApplyImage(const QPixmap& image) {
    actApply->setIcon(QIcon(image));
}
