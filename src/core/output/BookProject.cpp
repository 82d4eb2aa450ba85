#include "output/BookProject.h"

#include "output/BookDescriptionFile.h"
#include "annotations/FlashPagesAnnotations.h"
#include "outline/FlashOutline.h"
#include "pages/FlashPageImage.h"
#include "pages/FlashPageSourceImg.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateProperty.h"
#include "util/BriskUtility.h"
#include "util/FolderBounds.h"
#include "util/Log.h"
#include "util/NamedException.h"
#include "util/Xml.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <cmath>

using BriskUtility::joinPath;

namespace {
const QString kErrorName = QStringLiteral("BookProjectErr");

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden);
}

bool isInside(const QString& path, const QString& folder) {
    const QString base = QDir::cleanPath(folder) + QLatin1Char('/');
    return QDir::cleanPath(path).startsWith(base);
}

// The PDF page number and shown size a page was published with; absent or nonsensical values
// leave them unknown.
void readPageFacts(const pugi::xml_node& page, FlashPage& facts) {
    const int pdfPage = page.attribute("pdfPage").as_int(0);
    if (pdfPage > 0)
        facts.setPdfPage(pdfPage);
    const double width = page.attribute("width").as_double(0), height = page.attribute("height").as_double(0);
    if (std::isfinite(width) && std::isfinite(height) && width > 0 && height > 0)
        facts.setShownSize(QSizeF(width, height));
}

// A page file named by the description: inside the folder, and when something is there, a
// regular file that stays inside once links are resolved.
bool isUsablePageFile(const QString& path, const QString& folder) {
    const QFileInfo info(path);
    if (!isInside(path, folder))
        return false;
    return (!info.exists() && !info.isSymLink()) || FolderBounds::isRegularFileInside(path, folder);
}

// Published page files are named after their page index; a hand-made name counts from 1.
int pageIndexFor(const QString& normalPath, int position) {
    bool numeric = false;
    const int index = QFileInfo(normalPath).completeBaseName().toInt(&numeric);
    return numeric && index >= 0 ? index : position;
}
}

void BookProject::clearObjs() {
    iBook = {};
}

bool BookProject::loadProjectFromOutputFolder(const QString& folder) {
    clearObjs();
    iErrorString.clear();
    iWarnings.clear();
    const QString bookBin = joinPath(folder, QStringLiteral("files/book.bin"));
    if (QFileInfo::exists(bookBin) && !FolderBounds::isRegularFileInside(bookBin, folder)) {
        iErrorString = QStringLiteral("files/book.bin is not a regular file of the book folder");
        return false;
    }
    BookDescriptionFile description;
    if (!description.read(bookBin)) {
        iErrorString = description.errorString();
        return false;
    }
    pugi::xml_document doc;
    const Xml::ParseResult parsed = Xml::load(doc, description.xml());
    if (!parsed.ok || !doc.document_element()) {
        iErrorString = QStringLiteral("the book description in files/book.bin is not XML: %1").arg(parsed.error);
        return false;
    }
    try {
        parseOutputBookXML(doc, folder);
    } catch (const NamedException& e) {
        clearObjs();
        iErrorString = e.reason();
        return false;
    } catch (const std::exception& e) {
        clearObjs();
        iErrorString = QString::fromUtf8(e.what());
        return false;
    }
    return true;
}

void BookProject::parseOutputBookXML(const pugi::xml_document& doc, const QString& baseFolder) {
    const pugi::xml_node root = doc.document_element();
    const pugi::xml_node pages = root.child("pages");
    if (!root.child("extConfig") || !pages)
        throw NamedException(kErrorName, QStringLiteral("the book description lacks its extConfig or pages element"));
    loadTemplate(root, baseFolder);
    loadPages(pages, baseFolder);
    loadDownloadFile(root, baseFolder);
    if (const pugi::xml_node ols = root.child("ols")) {
        iBook.outline = std::make_shared<FlashOutline>();
        iBook.outline->loadFromXMLNode(ols);
    }
    loadLinks(root, baseFolder);
}

void BookProject::loadTemplate(const pugi::xml_node& root, const QString& baseFolder) {
    auto flashTemplate = std::make_shared<FlashTemplate>(FlashTemplate::Empty{});
    iBook.flashTemplate = flashTemplate;
    const pugi::xml_attribute name = root.attribute("templateName");
    flashTemplate->setTmplName(name ? QString::fromUtf8(name.value()) : QStringLiteral("Neat"));
    flashTemplate->loadTemplate(flashTemplate->tmplName());
    for (const pugi::xml_node item : root.child("extConfig").children("item")) {
        const QString key = Xml::attr(item, "name");
        QString value = Xml::text(item);
        const FlashTemplateProperty* property = flashTemplate->propertyForKey(key);
        if (property && property->propertyType() == pt_file && !value.isEmpty()) {
            // A file setting names the book's own copy; anything else would copy a stranger's file.
            value = fillFullPathForFlashURL(value, baseFolder);
            if (!FolderBounds::isRegularFileInside(value, baseFolder)) {
                warn(QStringLiteral("the setting %1 names %2, which is no file of the book folder; it is left out").arg(key, Xml::text(item)));
                value.clear();
            }
        }
        flashTemplate->setPropertyValue(key, value);
    }
    const QString extFolder = joinPath(baseFolder, QStringLiteral("files/extfiles"));
    for (const QString& path : filesInside(extFolder, baseFolder))
        flashTemplate->setPropertyValue(QFileInfo(path).completeBaseName(), path);
}

// The regular files of a folder of the book; links that lead out and other kinds are left out.
QStringList BookProject::filesInside(const QString& folder, const QString& baseFolder) {
    QStringList files;
    for (const QString& entry : entriesOf(folder)) {
        const QString path = joinPath(folder, entry);
        if (FolderBounds::isRegularFileInside(path, baseFolder))
            files << path;
        else if (!QFileInfo(path).isDir() || QFileInfo(path).isSymLink())
            warn(QStringLiteral("%1 is not a regular file of the book folder; it is left out").arg(path));
    }
    return files;
}

void BookProject::warn(const QString& text) {
    spdlog::warn("{}", text);
    iWarnings << text;
}

void BookProject::loadPages(const pugi::xml_node& pages, const QString& baseFolder) {
    auto source = std::make_shared<FlashPageSourceImg>();
    iBook.pageSource = source;
    int position = 0;
    for (const pugi::xml_node page : pages.children("page")) {
        ++position;
        const QString normal = fillFullPathForFlashURL(Xml::text(page.child("normalUrl")), baseFolder);
        const QString large = fillFullPathForFlashURL(Xml::text(page.child("largeUrl")), baseFolder);
        const QString thumb = fillFullPathForFlashURL(Xml::text(page.child("thumbUrl")), baseFolder);
        for (const QString& path : {normal, large, thumb})
            if (!isUsablePageFile(path, baseFolder))
                throw NamedException(kErrorName, QStringLiteral("page %1 points outside the book folder").arg(position));
        const int index = pageIndexFor(normal, position);
        // The text script is read back, checked, when the book is published again.
        const QString textUrl = QString::fromUtf8(page.attribute("textUrl").value());
        const QString text = textUrl.isEmpty() ? QString() : fillFullPathForFlashURL(textUrl, baseFolder);
        for (auto [list, path] : {std::pair{&source->pages(), large}, {&source->normalPages(), normal},
                                  {&source->zoomedPages(), large}}) {
            list->append(std::make_shared<FlashPageImage>(path, index));
            readPageFacts(page, *list->last());
            if (!text.isEmpty() && FolderBounds::isRegularFileInside(text, baseFolder))
                list->last()->setTextFilePath(text);
        }
        if (FolderBounds::isRegularFileInside(thumb, baseFolder))
            source->thumbPages().append(std::make_shared<FlashPageImage>(thumb, index));
        const QString phone = joinPath(baseFolder, QStringLiteral("files/mobile/%1.jpg").arg(index));
        if (FolderBounds::isRegularFileInside(phone, baseFolder))
            source->phonePages().append(std::make_shared<FlashPageImage>(phone, index));
    }
}

// The document the book offers for download becomes the source again, so that publishing the
// book elsewhere takes it along.
void BookProject::loadDownloadFile(const pugi::xml_node& root, const QString& baseFolder) {
    const QString url = QUrl::fromPercentEncoding(root.attribute("downloadFile").value());
    if (url.isEmpty())
        return;
    const QString path = fillFullPathForFlashURL(url, baseFolder);
    if (isInside(path, baseFolder) && QFileInfo(path).isFile())
        iBook.pageSource->setSourceFile(path);
}

void BookProject::loadLinks(const pugi::xml_node& root, const QString& baseFolder) {
    const pugi::xml_node links = root.child("pagesAnnos");
    if (!links)
        return;
    auto pageLinks = std::make_shared<FlashPagesAnnotations>();
    iBook.pageLinks = pageLinks;
    pageLinks->setPagesAnnotationsNode(links);
    pageLinks->needFiles().append(filesInside(joinPath(baseFolder, QStringLiteral("files/pageConfig")), baseFolder));
}

QString BookProject::fillFullPathForFlashURL(const QString& url, const QString& basePath) {
    return joinPath(basePath, url.startsWith(QLatin1String("./")) ? url.mid(1) : url);
}
