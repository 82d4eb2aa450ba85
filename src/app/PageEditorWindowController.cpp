#include "app/PageEditorWindowController.h"

#include "app/PageEditorBridge.h"
#include "app/ScriptBridge.h"
#include "app/library/FileChooser.h"
#include "annotations/FlashPagesAnnotations.h"
#include "outline/FlashOutline.h"
#include "output/FlashPlayerTrust.h"
#include "output/OutputFiles.h"
#include "util/FolderBounds.h"
#include "util/Log.h"
#include "util/Resources.h"
#include "util/ScriptText.h"
#include "util/Xml.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {
const QString kPageConfig = QStringLiteral("files/pageConfig");

// A file name as the page may name it: no folder part, nothing that walks up.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(QLatin1Char('/'));
}
}

PageEditorWindowController::PageEditorWindowController(const QString& bookXMLStr, const QString& baseFolder,
                                                       std::shared_ptr<FlashPagesAnnotations> annotations, QWidget* parent)
    : QDialog(parent), iBookXMLStr(bookXMLStr), iBaseFolder(baseFolder),
      iHtmlPath(QDir(baseFolder).filePath(QStringLiteral("pageEditor.html"))),
      iFlashPagesAnnotations(std::move(annotations)) {
    for (const QString& name : {QStringLiteral("pageEditor.html"), QStringLiteral("pageEditor.swf")}) {
        const QString bundled = Resources::path(name);
        const QString target = QDir(baseFolder).filePath(name);
        if (!QFileInfo::exists(bundled))
            continue;
        QFile::remove(target);
        QFile::copy(bundled, target);
    }
    setWindowTitle(tr("Edit Pages"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    iWebView = new QWebEngineView(this);
    layout->addWidget(iWebView);
    iChannel = new QWebChannel(this);
    iChannel->registerObject(QStringLiteral("connector"), new ScriptBridge<PageEditorBridge>(this, iChannel));
    iWebView->page()->setWebChannel(iChannel);
    connect(iWebView, &QWebEngineView::loadFinished, this, &PageEditorWindowController::handBookToPage);
    iFileChooser = [this](const QString& description, const QStringList& extensions) {
        return chooseWithDialog(this, description, extensions);
    };
}

PageEditorWindowController::~PageEditorWindowController() = default;

void PageEditorWindowController::windowDidLoad() {
    FlashPlayerTrust::makeDiractoryTrustByFlash(QFileInfo(iHtmlPath).absolutePath());
    iWebView->load(QUrl::fromLocalFile(iHtmlPath));
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    setWindowState(windowState() | Qt::WindowFullScreen);
}

int PageEditorWindowController::runModal() {
    windowDidLoad();
    return exec();
}

void PageEditorWindowController::handBookToPage() {
    callPageFunction(QStringLiteral("initBookXML"), {iBookXMLStr});
}

void PageEditorWindowController::onTest() {
    handBookToPage();
}

// Every value goes in as a string literal, so nothing in a book or a file name runs as script.
void PageEditorWindowController::callPageFunction(const QString& name, const QStringList& arguments) {
    QStringList literals;
    for (const QString& argument : arguments)
        literals << ScriptText::literal(argument);
    iWebView->page()->runJavaScript(QStringLiteral("typeof %1 === 'function' && %1(%2);").arg(name, literals.join(QLatin1Char(','))));
}

QString PageEditorWindowController::pageConfigFolder() const {
    return QDir(iBaseFolder).filePath(kPageConfig);
}

void PageEditorWindowController::toSelecteFiiles(const QString& filterText) {
    const QStringList extensions = ::FileChooser::extensionsIn(filterText);
    const QString description = filterText.contains(QLatin1Char('|')) ? filterText.section(QLatin1Char('|'), 0, 0) : QString();
    QDir().mkpath(pageConfigFolder());
    const QStringList chosen = iFileChooser ? iFileChooser(description, extensions) : QStringList();
    if (chosen.isEmpty())
        return;
    callPageFunction(QStringLiteral("onSelectedFiles"), copyIntoPageConfig(chosen));
}

// A file of the same name already there stays; the page is told the name either way.
QStringList PageEditorWindowController::copyIntoPageConfig(const QStringList& chosenFiles) const {
    QStringList addresses;
    for (const QString& path : chosenFiles) {
        const QString name = QFileInfo(path).fileName();
        if (!isPlainName(name))
            continue;
        const QString target = QDir(pageConfigFolder()).filePath(name);
        if (!QFileInfo::exists(target) && !OutputFiles::copyFile(path, target))
            spdlog::warn("could not copy {} into {}", path, pageConfigFolder());
        addresses << QStringLiteral("./%1/%2").arg(kPageConfig, name);
    }
    return addresses;
}

void PageEditorWindowController::saveFlipPageEditorXML(const QString& saveText) {
    const QStringList parts = saveText.split(QLatin1String(kSaveSeparator));
    if (!iFlashPagesAnnotations || parts.size() < 2)
        return;
    pugi::xml_document links;
    if (!Xml::loadStrict(links, parts[0].toUtf8()).ok || !links.document_element()) {
        spdlog::warn("the page editor saved links that are not XML; the links stay as they were");
        return;
    }
    iFlashPagesAnnotations->setPagesAnnotationsNode(links.document_element());
    iLinksSaved = true;
    addNeededFiles(parts[1]);
    if (parts.size() == 4)
        takeOutline(parts[3]);
    if ((parts.size() == 3 || parts.size() == 4) && parts[2] == QLatin1String("EXIT"))
        exitWithoutSave();
}

// Only files of files/pageConfig/ are named, each once: the page may name anything.
void PageEditorWindowController::addNeededFiles(const QString& list) {
    QStringList& needFiles = iFlashPagesAnnotations->needFiles();
    for (const QString& piece : list.split(QLatin1Char('>'))) {
        if (piece.size() < 2)
            continue;
        const QString name = piece.section(QLatin1Char('/'), -1);
        const QString path = QDir(pageConfigFolder()).filePath(name);
        if (isPlainName(name) && !needFiles.contains(path) && FolderBounds::isRegularFileInside(path, pageConfigFolder()))
            needFiles << path;
    }
}

void PageEditorWindowController::takeOutline(const QString& outlineXML) {
    if (outlineXML.trimmed().isEmpty())
        return;
    pugi::xml_document document;
    pugi::xml_node root = Xml::loadStrict(document, outlineXML.toUtf8()).ok ? document.document_element() : pugi::xml_node();
    if (root && qstrcmp(root.name(), "outline") == 0)
        root.set_name("ols");
    auto outline = std::make_shared<FlashOutline>();
    try {
        outline->loadFromXMLNode(root);
        iSavedOutline = outline;
    } catch (const std::exception& error) {
        spdlog::warn("the page editor saved an outline that cannot be read ({}); the outline stays as it was", error.what());
    }
}

void PageEditorWindowController::exitWithoutSave() {
    done(QDialog::Rejected);
}

void PageEditorWindowController::closeEvent(QCloseEvent* event) {
    exitWithoutSave();
    event->accept();
}

// Escape belongs to the editor page (closing its own forms), never to the window.
void PageEditorWindowController::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

QStringList PageEditorWindowController::chooseWithDialog(QWidget* parent, const QString& description,
                                                         const QStringList& extensions) {
    QStringList patterns;
    for (const QString& extension : extensions)
        patterns << QStringLiteral("*.") + extension;
    const QString filter = patterns.isEmpty() ? QString()
                                              : QStringLiteral("%1 (%2)").arg(description.isEmpty() ? tr("Files") : description,
                                                                              patterns.join(QLatin1Char(' ')));
    return QFileDialog::getOpenFileNames(parent, tr("Choose Files"), QString(), filter);
}
