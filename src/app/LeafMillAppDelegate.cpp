#include "app/LeafMillAppDelegate.h"

#include "app/AppAlert.h"
#include "app/AppImages.h"
#include "app/settings-editor/FlashTemplateOutlineDelegate.h"
#include "app/settings-editor/FlashTmplCellDelegate.h"
#include "app/sheets/ImportWindowDelegate.h"
#include "app/MainWindow.h"
#include "app/history/BookChangeCommand.h"
#include "app/history/SettingEditCommand.h"
#include "app/project/KeptBook.h"
#include "app/preview/PreviewStage.h"
#include "app/library/LibraryMenuCommands.h"
#include "app/PageEditorWindowController.h"
#include "app/PreviewBridge.h"
#include "app/ScriptBridge.h"
#include "app/sheets/OutputWindowDelegate.h"
#include "annotations/FlashPagesAnnotations.h"
#include "language/FlashLanguageSettings.h"
#include "outline/FlashOutline.h"
#include "output/BookPublisher.h"
#include "output/FlashPlayerTrust.h"
#include "pages/FlashPage.h"
#include "pages/FlashPageSourceImg.h"
#include "pages/ImageUtility.h"
#include "templates/FlashTemplate.h"
#include "templates/StringUtil.h"
#include "util/AppIdentity.h"
#include "util/AppSettings.h"
#include "util/BriskUtility.h"
#include "util/Log.h"
#include "util/NotificationCenter.h"
#include "util/Resources.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QGroupBox>
#include <QMenuBar>
#include <QMessageBox>
#include <QSaveFile>
#include <QScreen>
#include <QTimer>
#include <QTreeView>
#include <QUndoStack>
#include <QUrl>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <utility>

namespace {
const int kTimerInterval = 330;   // the indicator's and the refresh check's period
const int kRollUpPublish = 2;
const int kUndoSteps = 100;
}

LeafMillAppDelegate::LeafMillAppDelegate(bool withPreviewView, QObject* parent)
    : QObject(parent), iWithPreviewView(withPreviewView), iLibrary(new LibraryMenuCommands(*this)) {}

LeafMillAppDelegate::~LeafMillAppDelegate() {
    delete iImportWindowDelegate;
    delete iOutputWindowDelegate;
}

ImportWindowDelegate* LeafMillAppDelegate::importWindowDelegate() const {
    return iImportWindowDelegate;
}

OutputWindowDelegate* LeafMillAppDelegate::outputWindowDelegate() const {
    return iOutputWindowDelegate;
}

// ---------------------------------------------------------------- life cycle

void LeafMillAppDelegate::applicationDidFinishLaunching() {
    iWindow = std::make_unique<MainWindow>(iWithPreviewView);
    connectCommands();
    iWindow->setWindowTitle(AppIdentity::appName());
    for (const char* old : {"Leaf Mill Professional", "LeafMillProfessional", "LeafMillPro", "LeafMill"})
        fixupMenu(nullptr, QString::fromLatin1(old), AppIdentity::appName());
    prepaireTheLog();
    if (QScreen* screen = QGuiApplication::primaryScreen()) iWindow->setGeometry(screen->availableGeometry());
    iWindow->show();
    iWindow->raise();
    iWindow->activateWindow();
    spdlog::info("app_name is:{}", AppIdentity::appName());
    spdlog::info("version is:{}", AppIdentity::appVersion());
    iFlashPreviewFolder = QString();
    iUndoStack = new QUndoStack(this);
    iUndoStack->setUndoLimit(kUndoSteps);
    // Books name their languages from the pool; a first start finds it empty.
    FlashLanguageSettings::copyDefaultLanguagesToPool();
    iBook.flashTemplate = std::make_shared<FlashTemplate>(FlashTemplate::Empty{});
    loadTheLastTemplateSetting();
    iWindow->showTemplateName(capitalisedWords(iBook.flashTemplate->tmplName()));
    bindSettingsEditor();
    connect(&NotificationCenter::defaultCenter(), &NotificationCenter::notified, this,
            [this](const QString& name) {
                if (name == FlashTmplProValueChangedNotification) tmplPpertyValueChanged();
                else if (name == UpdateFlashTmplProTipNotification) updateTmplPropertyTip();
            });
    restoreKeptBook();
    connectHistory();
    delete iRefreshTimer;
    iRefreshTimer = nullptr;
    iIsNeedChagePage = true;
    RefreshTimerOn();
    iIsCopyStuff = false;
}

void LeafMillAppDelegate::connectCommands() {
    MainWindow* w = iWindow.get();
    connect(w->actImport, &QAction::triggered, this, &LeafMillAppDelegate::onImport);
    connect(w->actPublish, &QAction::triggered, this, &LeafMillAppDelegate::onConvertToFlipBook);
    connect(w->actApply, &QAction::triggered, this, &LeafMillAppDelegate::onApplyChange);
    connect(w->actEditPage, &QAction::triggered, this, &LeafMillAppDelegate::onEditPage);
    connect(w->actSelectTemplate, &QAction::triggered, this, &LeafMillAppDelegate::onSelectTemplate);
    connect(w->actExportTheme, &QAction::triggered, this, &LeafMillAppDelegate::onExportTheme);
    connect(w->actImportTheme, &QAction::triggered, this, &LeafMillAppDelegate::onImportThem);
    connect(w->actExportTmplSettings, &QAction::triggered, this, &LeafMillAppDelegate::onExportTmplSettings);
    connect(w->actImportTmplSettings, &QAction::triggered, this, &LeafMillAppDelegate::onImportTmplSettings);
    connect(w->actOpenProject, &QAction::triggered, this, &LeafMillAppDelegate::onOpenProjectFromFolder);
    connect(w->actAbout, &QAction::triggered, this, &LeafMillAppDelegate::onOpenAbout);
    connect(w->actHomePage, &QAction::triggered, this,
            [] { QDesktopServices::openUrl(QUrl(AppIdentity::appHomePage())); });
    connect(w->actPhonePreview, &QAction::toggled, this, &LeafMillAppDelegate::onPhonePreview);
    connect(w->actQuit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) applicationDidBecomeActive();
    });
    if (QWebEngineView* view = w->webView())
        connect(view, &QWebEngineView::loadFinished, this, &LeafMillAppDelegate::previewLoaded);
}

BookState LeafMillAppDelegate::demoBookState() const {
    auto demo = std::make_shared<FlashPageSourceImg>();
    const QDir folder(Resources::path(QStringLiteral("DemoImgs")));
    for (const QString& name : folder.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
        demo->addImgPageFromFile(folder.filePath(name));
    demo->generateNormalPages();
    demo->generateThumbPages();
    BookState state;
    state.book.pageSource = demo;
    state.book.flashTemplate = iBook.flashTemplate;
    state.pageWidth = QStringLiteral("1080");
    state.pageHeight = QStringLiteral("1440");
    state.isDemo = true;
    return state;
}

// The book of the last run when one was kept, else the demonstration book.
void LeafMillAppDelegate::restoreKeptBook() {
    BookState state = demoBookState();
    KeptBook kept;
    if (!kept.restore(&state) && !kept.errorString().isEmpty())
        spdlog::error("The kept book could not be restored: {}", kept.errorString());
    setBookState(state);
}

BookState LeafMillAppDelegate::currentBookState() const {
    BookState state;
    state.book = iBook;
    state.bookName = iBookName;
    state.isDemo = iIsDemoBook;
    if (iBook.flashTemplate) {
        state.pageWidth = iBook.flashTemplate->propertyValueFor(QStringLiteral("pageWidth"), QString());
        state.pageHeight = iBook.flashTemplate->propertyValueFor(QStringLiteral("pageHeight"), QString());
    }
    return state;
}

void LeafMillAppDelegate::setBookState(const BookState& state) {
    const bool newTemplate = state.book.flashTemplate != iBook.flashTemplate;
    iBook = state.book;
    iBookName = state.bookName;
    iIsDemoBook = state.isDemo;
    if (iBook.flashTemplate && !state.pageWidth.isNull()) {
        iBook.flashTemplate->setPropertyValue(QStringLiteral("pageWidth"), state.pageWidth);
        iBook.flashTemplate->setPropertyValue(QStringLiteral("pageHeight"), state.pageHeight);
    }
    if (iTmplDelegate) {
        if (newTemplate) iTmplDelegate->setFlashTmpl(iBook.flashTemplate.get());
        iTmplDelegate->propertyValueChanged(QStringLiteral("pageWidth"));
        iTmplDelegate->propertyValueChanged(QStringLiteral("pageHeight"));
        if (newTemplate) iWindow->outlineView()->expandAll();
    }
    if (iWindow && iBook.flashTemplate)
        iWindow->showTemplateName(capitalisedWords(iBook.flashTemplate->tmplName()));
    iIsNeedChagePage = true;
}

void LeafMillAppDelegate::changeBook(const BookState& after, const QString& undoText) {
    iUndoStack->push(new BookChangeCommand(undoText, currentBookState(), after, [this](const BookState& state) {
        setBookState(state);
        keepTheBook();
    }));
}

void LeafMillAppDelegate::keepTheBook() {
    KeptBook kept;
    if (!kept.keep(currentBookState())) spdlog::error("The book could not be kept: {}", kept.errorString());
    saveCurrentTemplateSetting();
}

void LeafMillAppDelegate::onNewBook() {
    changeBook(demoBookState(), tr("New Book"));
}

void LeafMillAppDelegate::settingEdited(FlashTemplateProperty* pro, const QString& oldValue) {
    if (!pro || pro->key().isEmpty()) return;
    const QString title = pro->title().isEmpty() ? pro->key() : pro->title();
    iUndoStack->push(new SettingEditCommand(tr("Change of %1").arg(title), iBook.flashTemplate, pro->key(), oldValue,
                                            pro->value(), [this](const QString& key) {
                                                if (iTmplDelegate) iTmplDelegate->propertyValueChanged(key);
                                                tmplPpertyValueChanged();
                                            }));
}

void LeafMillAppDelegate::connectHistory() {
    MainWindow* w = iWindow.get();
    connect(w->actUndo, &QAction::triggered, iUndoStack, &QUndoStack::undo);
    connect(w->actRedo, &QAction::triggered, iUndoStack, &QUndoStack::redo);
    const auto showState = [this, w] {
        w->actUndo->setEnabled(iUndoStack->canUndo());
        w->actRedo->setEnabled(iUndoStack->canRedo());
        w->actUndo->setText(iUndoStack->canUndo() ? tr("Undo %1").arg(iUndoStack->undoText()) : tr("Undo"));
        w->actRedo->setText(iUndoStack->canRedo() ? tr("Redo %1").arg(iUndoStack->redoText()) : tr("Redo"));
    };
    connect(iUndoStack, &QUndoStack::indexChanged, this, showState);
    showState();
    connect(iTmplDelegate, &FlashTemplateOutlineDelegate::valueEdited, this, &LeafMillAppDelegate::settingEdited);
    connect(w->actNewBook, &QAction::triggered, this, &LeafMillAppDelegate::onNewBook);
}

void LeafMillAppDelegate::bindSettingsEditor() {
    QTreeView* view = iWindow->outlineView();
    iTmplDelegate = new FlashTemplateOutlineDelegate(this);
    iTmplDelegate->setFlashTmpl(iBook.flashTemplate.get());
    view->setModel(iTmplDelegate);
    auto* cells = new FlashTmplCellDelegate(iTmplDelegate, view);
    cells->watchHoverIn(view);
    view->setItemDelegate(cells);
    view->expandAll();
    view->setIndentation(8);
    view->setColumnWidth(0, 150);
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { iTmplDelegate->outlineViewSelectionDidChange(iWindow->outlineView()); });
}

QString LeafMillAppDelegate::capitalisedWords(const QString& text) {
    QStringList words = text.split(QLatin1Char(' '));
    for (QString& word : words) {
        if (!word.isEmpty()) word = word.left(1).toUpper() + word.mid(1).toLower();
    }
    return words.join(QLatin1Char(' '));
}

void LeafMillAppDelegate::applicationDidBecomeActive() {
    onTimerCheckRefresh();
}

void LeafMillAppDelegate::applicationWillTerminate() {
    commitOpenEditor();
    saveCurrentTemplateSetting();
    AppSettings& settings = AppSettings::shareInstance();
    if (hasLoadedTemplate()) settings.setLastUsedTemplateName(iBook.flashTemplate->tmplName());
    settings.saveSettings();
    if (iTmplDelegate) iTmplDelegate->setFlashTmpl(nullptr);
    iBook.flashTemplate.reset();
    iBook.pageSource.reset();
    QDir(FlashPage::flashPageTempFolder()).removeRecursively();
    delete iOutputWindowDelegate;
    delete iImportWindowDelegate;
    removeFlashPreviewFolder();
}

// A value still being typed is kept, and its editor closed while the view still owns it.
void LeafMillAppDelegate::commitOpenEditor() {
    QTreeView* view = iWindow ? iWindow->outlineView() : nullptr;
    QWidget* editor = view ? view->indexWidget(view->currentIndex()) : nullptr;
    if (!editor) return;
    QAbstractItemDelegate* cells = view->itemDelegateForIndex(view->currentIndex());
    emit cells->commitData(editor);
    emit cells->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void LeafMillAppDelegate::prepaireTheLog() {
    const QString logFolder = BriskUtility::userAppFolderForSubFolder(QStringLiteral("Quirevale/") + AppIdentity::appName());
    Log::setup(logFolder + QStringLiteral("/leafmill.log"), spdlog::level::debug);
}

void LeafMillAppDelegate::fixupMenu(QMenu* menu, const QString& oldName, const QString& newName) {
    const QList<QAction*> actions = menu ? menu->actions() : iWindow->menuBar()->actions();
    for (QAction* action : actions) {
        if (menu) action->setText(QString(action->text()).replace(oldName, newName));
        if (action->menu()) fixupMenu(action->menu(), oldName, newName);
    }
}

// ---------------------------------------------------------------- settings

QString LeafMillAppDelegate::savedTemplateSettingsFile() const {
    return BriskUtility::joinPath(BriskUtility::applicationSupportRoot(),
                                  QStringLiteral("Quirevale/%1/tmpl_%2.cfg").arg(QStringLiteral("LeafMill"), AppIdentity::appShortName()));
}

void LeafMillAppDelegate::loadTheLastTemplateSetting() {
    const QString last = AppSettings::shareInstance().lastUsedTemplateName();
    if (!loadTemplateNamed(last)) {
        const QString fallback = AppSettings::defaultTemplateName();
        if (fallback == last || !loadTemplateNamed(fallback)) return;
        AppAlert::Request notice;
        notice.style = AppAlert::Informational;
        notice.messageText = tr("The template \"%1\" is not installed any more.").arg(last);
        notice.informativeText = tr("The book uses the template \"%1\" instead.").arg(fallback);
        notice.buttons = {tr("OK")};
        AppAlert::notify(iWindow.get(), notice);
    }
    if (QFileInfo::exists(savedTemplateSettingsFile()))
        iBook.flashTemplate->importPropertiesSettingsFrom(savedTemplateSettingsFile());
}

bool LeafMillAppDelegate::loadTemplateNamed(const QString& name) {
    try {
        iBook.flashTemplate->loadTemplate(name);
        return true;
    } catch (const std::exception& error) {
        spdlog::warn("load the template {}: {}", name, error.what());
        return false;
    }
}

bool LeafMillAppDelegate::hasLoadedTemplate() const {
    return iBook.flashTemplate && !iBook.flashTemplate->properties().empty();
}

void LeafMillAppDelegate::saveCurrentTemplateSetting() {
    // A template that failed to load has no settings; keep the saved ones for its return.
    if (!hasLoadedTemplate()) return;
    QDir().mkpath(QFileInfo(savedTemplateSettingsFile()).absolutePath());
    iBook.flashTemplate->exportPropertiesSettingsTo(savedTemplateSettingsFile(), false);
}

void LeafMillAppDelegate::updateTmplPropertyTip() {
    QTreeView* view = iWindow->outlineView();
    if (!view->selectionModel() || !view->selectionModel()->hasSelection()) return;
    FlashTemplateProperty* pro = iTmplDelegate->propertyAt(view->selectionModel()->currentIndex());
    if (!pro) return;
    iWindow->showSettingDescription(pro->title(), pro->desc());
}

// ---------------------------------------------------------------- import and publish

void LeafMillAppDelegate::onImport() {
    if (!iImportWindowDelegate) {
        iImportWindowDelegate = new ImportWindowDelegate(iWindow.get());
        connect(iImportWindowDelegate, &ImportWindowDelegate::bookImported, this, &LeafMillAppDelegate::takeImportedBook);
        connect(iImportWindowDelegate, &QDialog::finished, this, &LeafMillAppDelegate::importWindowDidEnd);
    }
    if (iBook.flashTemplate)
        iImportWindowDelegate->setZoomPages(StringUtil::valueAsBool(
            iBook.flashTemplate->propertyValueFor(QStringLiteral("zoomPages"), QStringLiteral("YES"))));
    iImportWindowDelegate->open();
}

void LeafMillAppDelegate::openForImport(const QString& pdfPath) {
    onImport();
    iImportWindowDelegate->txtImportFile()->setText(QFileInfo(pdfPath).absoluteFilePath());
}

void LeafMillAppDelegate::importWindowDidEnd(int returnCode) {
    AppSettings& settings = AppSettings::shareInstance();
    settings.setIsWindowRollUp(settings.isWindowRollUp() | kRollUpPublish);
    std::optional<BookState> imported = std::exchange(iImportedBook, std::nullopt);
    if (returnCode != 1 || !imported) return;
    imported->bookName = QFileInfo(iImportWindowDelegate->txtImportFile()->text()).completeBaseName();
    changeBook(*imported, tr("Import"));
    const QList<int>& blank = iImportWindowDelegate->failedPages();
    if (!blank.isEmpty()) tellOfBlankPages(blank);
}

void LeafMillAppDelegate::tellOfBlankPages(const QList<int>& pageNumbers) {
    QStringList numbers;
    for (int number : pageNumbers) numbers << QString::number(number);
    AppAlert::Request notice;
    notice.messageText = pageNumbers.size() == 1 ? tr("One page could not be rendered.")
                                                 : tr("%1 pages could not be rendered.").arg(pageNumbers.size());
    notice.informativeText = (pageNumbers.size() == 1 ? tr("The book has a blank page with a notice in place of page %1 of the PDF.")
                                                      : tr("The book has blank pages with a notice in place of pages %1 of the PDF."))
                                 .arg(numbers.join(QStringLiteral(", ")));
    notice.buttons = {tr("OK")};
    AppAlert::notify(iWindow.get(), notice);
}

// The sheet hands the book over just before it ends with 1; the change is made once it has ended.
void LeafMillAppDelegate::takeImportedBook(const Book& imported, const QSize& firstPageSize) {
    BookState state;
    state.book = imported;
    state.book.flashTemplate = iBook.flashTemplate;
    state.pageWidth = QString::number(firstPageSize.width());
    state.pageHeight = QString::number(firstPageSize.height());
    iImportedBook = state;
}

void LeafMillAppDelegate::onConvertToFlipBook() {
    AppSettings& settings = AppSettings::shareInstance();
    if (settings.isWindowRollUp() & kRollUpPublish) {
        settings.setIsWindowRollUp(settings.isWindowRollUp() & ~kRollUpPublish);
        delete iOutputWindowDelegate;
    }
    if (!iOutputWindowDelegate) iOutputWindowDelegate = new OutputWindowDelegate(iWindow.get());
    iOutputWindowDelegate->setBook(iBook, iBookName);
    iOutputWindowDelegate->open();
}

void LeafMillAppDelegate::onSelectTemplate() { iLibrary->onSelectTemplate(); }
void LeafMillAppDelegate::onExportTheme() { iLibrary->onExportTheme(); }
void LeafMillAppDelegate::onImportThem() { iLibrary->onImportThem(); }
void LeafMillAppDelegate::onExportTmplSettings() { iLibrary->onExportTmplSettings(); }
void LeafMillAppDelegate::onImportTmplSettings() { iLibrary->onImportTmplSettings(); }
void LeafMillAppDelegate::onOpenProjectFromFolder() { iLibrary->onOpenProjectFromFolder(); }

void LeafMillAppDelegate::reloadSettingsTree() {
    iTmplDelegate->setFlashTmpl(iBook.flashTemplate.get());
    iWindow->outlineView()->expandAll();
    iWindow->showTemplateName(capitalisedWords(iBook.flashTemplate->tmplName()));
    iIsNeedChagePage = true;
}

// ---------------------------------------------------------------- page editor

void LeafMillAppDelegate::onEditPage() {
    if (iFlashPreviewFolder.isEmpty()) makeFlashPreviewFolder();
    if (!iIsCopyStuff) {
        iIsCopyStuff = true;
        copyEditorStuff();
    }
    QString bookXML;
    try {
        bookXML = QString::fromUtf8(BookPublisher::bookDescription(iBook, previewOptions()));
    } catch (const std::exception& error) {
        spdlog::error("apply change :{}", error.what());
    }
    // The editor works on a copy, so that its save is one step of the history.
    auto links = std::make_shared<FlashPagesAnnotations>();
    if (iBook.pageLinks) {
        links->setPagesAnnotationsNode(iBook.pageLinks->pagesAnnotationsNode());
        links->setNeedFiles(iBook.pageLinks->needFiles());
    }
    PageEditorWindowController editor(bookXML, iFlashPreviewFolder, links, iWindow.get());
    editor.runModal();
    if (editor.linksSaved()) {
        BookState edited = currentBookState();
        edited.book.pageLinks = links;
        if (editor.savedOutline()) edited.book.outline = editor.savedOutline();
        changeBook(edited, tr("Edit Pages"));
    }
    iIsNeedChagePage = true;
}

// The editor's own pictures and movies go to files/pageConfig/, its settings to the folder's top;
// files already there stay.
void LeafMillAppDelegate::copyEditorStuff() {
    const QString pageConfig = QDir(iFlashPreviewFolder).filePath(QStringLiteral("files/pageConfig"));
    QDir().mkpath(pageConfig);
    static const QStringList pictures = {"JPG", "PNG", "GIF", "JPEG", "BMP", "SWF"};
    QDirIterator files(Resources::path(QStringLiteral("Stuff")), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QFileInfo file(files.next());
        const QString kind = file.suffix().toUpper();
        if (pictures.contains(kind)) QFile::copy(file.filePath(), QDir(pageConfig).filePath(file.fileName()));
        else if (kind == QLatin1String("XML")) QFile::copy(file.filePath(), QDir(iFlashPreviewFolder).filePath(file.fileName()));
    }
}

void LeafMillAppDelegate::onOpenAbout() {
    QMessageBox::about(iWindow.get(), tr("About %1").arg(AppIdentity::appName()),
                       tr("<h3>%1</h3><p>Version %2</p><p><a href=\"%3\">%3</a></p>")
                           .arg(AppIdentity::appName(), AppIdentity::appVersion(), AppIdentity::appHomePage()));
}

// ---------------------------------------------------------------- live preview

void LeafMillAppDelegate::onPhonePreview(bool phone) {
    iWindow->previewStage()->setPhone(phone);
    iWindow->actPhonePreview->setChecked(phone);
    iIsNeedChagePage = true;   // the phone may read the mobile version
}

bool LeafMillAppDelegate::previewsMobileVersion() const {
    return iWindow && iWindow->previewStage()->isPhone() && AppSettings::shareInstance().outputMobileVersion() == 1;
}

void LeafMillAppDelegate::onApplyChange() {
    applyChange();
}

void LeafMillAppDelegate::setApplyItemImage(const QString& name) {
    if (iWindow) iWindow->showApplyImage(AppImages::pixmap(name));
}

void LeafMillAppDelegate::applyChange() {
    delete iApplyChangeTimer;
    iApplyChangeTimer = nullptr;
    setApplyItemImage(QStringLiteral("apply"));
    if (iFlashPreviewFolder.isEmpty()) makeFlashPreviewFolder();
    try {
        const PublishOptions options = previewOptions();
        const QString page = BookPublisher::publish(iBook, options).outputFile;
        QFile::remove(page);
        const QString extIndex = Resources::path(QStringLiteral("extIndex.html"));
        if (QFileInfo::exists(extIndex)) QFile::copy(extIndex, page);
        loadPreviewPage(options.mobile ? BriskUtility::joinPath(iFlashPreviewFolder, QStringLiteral("mobile/index.html")) : page);
    } catch (const std::exception& error) {
        Log::system(QStringLiteral("error:%1").arg(QString::fromUtf8(error.what())));
        spdlog::error("apply change :{}", error.what());
    }
}

PublishOptions LeafMillAppDelegate::previewOptions() const {
    PublishOptions options;
    options.folder = iFlashPreviewFolder;
    options.name = QStringLiteral("index.html");
    options.pageInfo.setHTMLTitle(QStringLiteral("Preview"));
    options.extInterface = true;
    options.mobile = previewsMobileVersion();
    return options;
}

void LeafMillAppDelegate::loadPreviewPage(const QString& pagePath) {
    QWebEngineView* view = iWindow ? iWindow->webView() : nullptr;
    if (!view) return;
    if (!iChannel) {
        iChannel = new QWebChannel(this);
        iChannel->registerObject(QStringLiteral("connector"), new ScriptBridge<PreviewBridge>(iChannel));
        view->page()->setWebChannel(iChannel);
    }
    view->load(QUrl::fromLocalFile(pagePath));
}

void LeafMillAppDelegate::tmplPpertyValueChanged() {
    if (iApplyChangeTimer) return;
    iApplyChangeTimer = new QTimer(this);
    iApplyChangeTimer->setInterval(kTimerInterval);
    connect(iApplyChangeTimer, &QTimer::timeout, this, &LeafMillAppDelegate::onTimerEvent);
    iApplyChangeTimer->start();
}

void LeafMillAppDelegate::onTimerEvent() {
    iApplyItemTag = (iApplyItemTag + 1) % 3;
    setApplyItemImage(QStringLiteral("apply%1").arg(iApplyItemTag + 1));
}

void LeafMillAppDelegate::RefreshTimerOn() {
    if (iRefreshTimer) return;
    iRefreshTimer = new QTimer(this);
    iRefreshTimer->setInterval(kTimerInterval);
    connect(iRefreshTimer, &QTimer::timeout, this, &LeafMillAppDelegate::onTimerCheckRefresh);
    iRefreshTimer->start();
}

void LeafMillAppDelegate::onTimerCheckRefresh() {
    if (!iIsNeedChagePage) return;
    iIsNeedChagePage = false;
    applyChange();
}

void LeafMillAppDelegate::makeFlashPreviewFolder() {
    iFlashPreviewFolder = BriskUtility::userAppFolderForSubFolder(
        QStringLiteral("/Quirevale/%1/preview/").arg(AppIdentity::appName()));
    FlashPlayerTrust::makeDiractoryTrustByFlash(iFlashPreviewFolder);
}

void LeafMillAppDelegate::removeFlashPreviewFolder() {
    if (!iFlashPreviewFolder.isEmpty() && QFileInfo::exists(iFlashPreviewFolder))
        QDir(iFlashPreviewFolder).removeRecursively();
}

void LeafMillAppDelegate::generateSnapShot(const QString& path) {
    QWebEngineView* view = iWindow ? iWindow->webView() : nullptr;
    if (!view) return;
    // The page answers asynchronously; wait for it here, but not forever.
    auto base64 = std::make_shared<QString>();
    QEventLoop wait;
    QPointer<QEventLoop> waiting(&wait);
    QTimer::singleShot(5000, &wait, &QEventLoop::quit);
    const QString argument = QString::fromUtf8(QJsonDocument(QJsonArray{path}).toJson(QJsonDocument::Compact));
    const QString call = QStringLiteral("typeof snapCurrentTmpl === 'function' ? snapCurrentTmpl(%1) : ''")
                             .arg(argument.mid(1).chopped(1));
    view->page()->runJavaScript(call, [base64, waiting](const QVariant& result) {
        *base64 = result.toString();
        if (waiting) waiting->quit();
    });
    wait.exec();
    if (base64->isEmpty()) return;
    generateImgForStr(*base64, path);
    ImageUtility::scaleAndSaveAsJPEG(path, 180, 180, 90.0f, path);
}

void LeafMillAppDelegate::generateImgForStr(const QString& base64, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(BriskUtility::decodebase64String(base64));
    file.commit();
}
