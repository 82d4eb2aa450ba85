#include "output/FlashBookOutput.h"

#include "output/BookDescriptionFile.h"
#include "output/OutputFiles.h"
#include "output/StagedPublish.h"
#include "output/TextTemplate.h"
#include "annotations/FlashPagesAnnotations.h"
#include "language/FlashLanguageSettings.h"
#include "outline/FlashOutline.h"
#include "pages/FlashPageSource.h"
#include "pages/PageText.h"
#include "pages/SwfPageImage.h"
#include "templates/FlashTemplate.h"
#include "templates/StringUtil.h"
#include "util/AppIdentity.h"
#include "util/AppInfo.h"
#include "util/BriskUtility.h"
#include "util/Log.h"
#include "util/ScriptText.h"
#include "util/Xml.h"
#include "zip/ZKFileArchive.h"
#include "util/AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <cstdio>

using BriskUtility::joinPath;

namespace {
QString extensionOf(const QString& path) { return QFileInfo(path).suffix(); }

// The mobile book's page links, a script beside its page that a script element loads (also from disk).
const QString kMobileLinksScript = QStringLiteral("pageLinks.js");

void makeFolder(const QString& path) { QDir().mkpath(path); }

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    return !bytes.isEmpty() && AtomicFile::write(path, bytes);
}

// A copy that failed although its source is there failed to write.
bool copyFailedToWrite(const QString& source) { return QFileInfo(source).isFile(); }

// Where the page came from and the size it is shown at, when known.
void appendPageFacts(pugi::xml_node page, const FlashPage& facts) {
    if (facts.pdfPage() > 0)
        page.append_attribute("pdfPage") = facts.pdfPage();
    const QSizeF size = facts.shownSize();
    if (size.width() > 0 && size.height() > 0) {
        page.append_attribute("width") = Xml::utf8(QString::number(size.width(), 'g', 10)).c_str();
        page.append_attribute("height") = Xml::utf8(QString::number(size.height(), 'g', 10)).c_str();
    }
}

// A file setting is written as the URL of its copy in files/extfiles.
void appendItem(pugi::xml_node extConfig, const FlashTemplateProperty& property) {
    QString text = property.value();
    if (property.propertyType() == pt_file && !text.isEmpty())
        text = OutputFiles::relativeURL(QStringLiteral("files"), QStringLiteral("extfiles"), property.key(), extensionOf(text));
    pugi::xml_node item = extConfig.append_child("item");
    item.append_attribute("name") = Xml::utf8(property.key()).c_str();
    if (!text.isEmpty())
        item.text().set(Xml::utf8(text).c_str());
}
}

FlashBookOutput::FlashBookOutput(std::shared_ptr<FlashPageSource> pageSource, std::shared_ptr<FlashTemplate> flashTemplate,
                                 const QString& saveToFolder, const QString& toName)
    : iFlashTemplate(std::move(flashTemplate)), iFlashPageSource(std::move(pageSource)),
      iSaveToFolder(saveToFolder), iSaveToFileName(toName) {}

FlashBookOutput::~FlashBookOutput() = default;

QString FlashBookOutput::baseFolderOr(const QString& baseFolder) const {
    return baseFolder.isEmpty() ? iSaveToFolder : baseFolder;
}

void FlashBookOutput::noteFailure(const QString& text) {
    spdlog::error("{}", text);
    iFailures << text;
}

void FlashBookOutput::noteWriteFailure(const QString& text) {
    noteFailure(text);
    iWriteFailed = true;
}

// ---- the whole book ----

void FlashBookOutput::ouputTheBook() {
    iFailures.clear();
    iWriteFailed = false;
    iArchivePath.clear();
    if (!QFileInfo(publishFolder()).isDir())
        return;
    StagedPublish staging(publishFolder());
    if (!staging.begin()) {
        noteWriteFailure(staging.errorString());
        return;
    }
    const QString folder = iSaveToFolder;
    iSaveToFolder = staging.staged(folder);
    try {
        writeTheBook();
    } catch (...) {
        iSaveToFolder = folder;
        throw;  // the staging folder goes with its owner
    }
    iSaveToFolder = folder;
    if (iWriteFailed)
        staging.rollback();
    else if (!staging.commit())
        noteWriteFailure(staging.errorString());
}

QString FlashBookOutput::publishFolder() const { return iSaveToFolder; }

void FlashBookOutput::writeTheBook() {
    prepaireNomalPage({});
    prepaireZoomendPage({});
    prepareTextFiles({});
    prepaireThumbPage({});
    prepaireExtFiles({});
    PrepareAnnotationFiles({});
    prepairePhonePage({});
    prepareDownloadFile({});
    writeHTMLPage();
    ouputBookXML(joinPath(iSaveToFolder, iResourceFolder + QStringLiteral("/book.bin")));
    if (!iFlashTemplate->copyBookSWFToFile(outputSWFName()))
        noteWriteFailure(QStringLiteral("The player %1 could not be written").arg(outputSWFName()));
    if (iOuputTheMobileFiles)
        preparePhoneHTMLFilesByConfig({}, nullptr);
}

void FlashBookOutput::writeHTMLPage() {
    const QString target = outputHTMLFileName();
    const QString source = iFlashTemplate->tmplHTMLFilePath();
    if (iHTMLConfig) {
        HTMLConfigInfo page = *iHTMLConfig;
        page.setNoscriptText(noscriptText());
        if (page.generateHTMLFrom(source, target))
            return;
        const QString text = QStringLiteral("The HTML page %1 could not be made from the template page %2").arg(target, source);
        copyFailedToWrite(source) ? noteWriteFailure(text) : noteFailure(text);
        return;
    }
    QFile::remove(target);
    if (!QFile::copy(source, target)) {
        const QString text = QStringLiteral("The template page %1 could not be copied to %2").arg(source, target);
        copyFailedToWrite(source) ? noteWriteFailure(text) : noteFailure(text);
    }
}

QString FlashBookOutput::outputHTMLFileName() const {
    QString name = iSaveToFileName.isEmpty() ? QStringLiteral("index.html") : iSaveToFileName;
    if (!name.endsWith(QLatin1String(".html")))
        name += QLatin1String(".html");
    return joinPath(iSaveToFolder, name);
}

QString FlashBookOutput::outputFileName() const {
    return iArchivePath.isEmpty() ? outputHTMLFileName() : iArchivePath;
}

QString FlashBookOutput::outputSWFName() const { return joinPath(iSaveToFolder, QStringLiteral("book.swf")); }

// ---- ZIP delivery ----

namespace {
// Written aside and renamed, so an archive already there stays until the new one is whole.
bool zipDirectory(const QString& folder, const QString& archivePath) {
    const QString partial = QStringLiteral("%1.partial-%2").arg(archivePath).arg(QCoreApplication::applicationPid());
    QFile::remove(partial);
    const auto archive = ZKFileArchive::archiveWithArchivePath(partial);
    const bool written = archive && archive->deflateDirectory(folder, folder, false) == ZKSucceeded &&
                         std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(archivePath).constData()) == 0;
    if (!written)
        QFile::remove(partial);
    return written;
}
}

void FlashBookOutput::outputTheBookAsZip() {
    const QString staging = AppInfo::shareInstance().tmpFolderForPath(QStringLiteral("output/zip/"));
    const QString folder = iSaveToFolder, name = iSaveToFileName;
    iSaveToFolder = staging;
    iSaveToFileName = QStringLiteral("index.html");
    const auto restore = [&] {
        iSaveToFolder = folder;
        if (QFileInfo::exists(staging))
            OutputFiles::removePath(QFileInfo(QDir::cleanPath(staging)).path());
    };
    QStringList failures;
    try {
        ouputTheBook();
        failures = iFailures;
        const QString archive = joinPath(folder, name.endsWith(QLatin1String(".zip")) ? name : name + QStringLiteral(".zip"));
        spdlog::info("to path,{}", archive);
        if (!iWriteFailed && zipDirectory(staging, archive)) {
            iArchivePath = archive;
        } else if (!iWriteFailed) {
            failures << QStringLiteral("The archive %1 could not be written").arg(archive);
            iWriteFailed = true;
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
    iFailures = failures;
}

// ---- page files ----

QString FlashBookOutput::publishedPagePath(const QString& baseFolder, const QString& sizeFolder, const FlashPage& page) const {
    return joinPath(baseFolderOr(baseFolder), QStringLiteral("%1/%2/%3.%4")
                                                  .arg(iResourceFolder, sizeFolder)
                                                  .arg(page.pageIndex())
                                                  .arg(extensionOf(page.pageFilePath())));
}

// A page file identical to the normal page published for its index is stored once: the target
// becomes a hard link to that page where the file system allows.
bool FlashBookOutput::shareNormalPage(const FlashPage& page, const QString& baseFolder, const QString& target) const {
    const FlashPagePtr normal = iFlashPageSource->getNormalPageAtIndex(page.pageIndex());
    if (!normal || extensionOf(normal->pageFilePath()) != extensionOf(page.pageFilePath()) ||
        !OutputFiles::haveSameContent(normal->pageFilePath(), page.pageFilePath()))
        return false;
    return OutputFiles::linkFile(publishedPagePath(baseFolder, iNormalPageFolder, *normal), target);
}

void FlashBookOutput::copyPages(const FlashPageList& pages, const QString& baseFolder, const QString& sizeFolder,
                                bool shareNormalPages) {
    makeFolder(joinPath(baseFolderOr(baseFolder), iResourceFolder + QLatin1Char('/') + sizeFolder));
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const QString source = pages[i]->pageFilePath();
        const QString target = publishedPagePath(baseFolder, sizeFolder, *pages[i]);
        const bool placed = (shareNormalPages && shareNormalPage(*pages[i], baseFolder, target)) ||
                            OutputFiles::copyFile(source, target);
        if (!placed) {
            const QString text = QStringLiteral("The page file %1 could not be copied to %2").arg(source, target);
            copyFailedToWrite(source) ? noteWriteFailure(text) : noteFailure(text);
        }
        if (iProgressHandler)
            iProgressHandler(sizeFolder, i + 1, pages.size());
    }
}

void FlashBookOutput::prepaireNomalPage(const QString& baseFolder) {
    copyPages(iFlashPageSource->normalPages(), baseFolder, iNormalPageFolder);
    writeImageTwins(baseFolder);
}

// Browsers show no movie, and from disk they may not even read one: every SWF page gets the JPEG
// it holds beside it, <index>.jpg, which the players show instead.
void FlashBookOutput::writeImageTwins(const QString& baseFolder) {
    iImageTwins.clear();
    const QString folder = joinPath(baseFolderOr(baseFolder), iResourceFolder + QLatin1Char('/') + iNormalPageFolder);
    for (const FlashPagePtr& page : iFlashPageSource->normalPages()) {
        const QString movie = page->pageFilePath();
        if (extensionOf(movie).compare(QLatin1String("swf"), Qt::CaseInsensitive) != 0)
            continue;
        const QString twin = joinPath(folder, QStringLiteral("%1.jpg").arg(page->pageIndex()));
        switch (SwfPageImage::writeJpegOf(movie, twin)) {
        case SwfPageImage::Written: iImageTwins.insert(page->pageIndex()); break;
        case SwfPageImage::NoImage: spdlog::debug("no page image in {}", movie); break;
        case SwfPageImage::NotWritten: noteWriteFailure(QStringLiteral("The page image %1 could not be written").arg(twin)); break;
        }
    }
}

FlashPagePtr FlashBookOutput::zoomedPageOf(const FlashPage& normal) const {
    const FlashPagePtr zoomed = iFlashPageSource->getZoomedPageAtIndex(normal.pageIndex());
    return zoomed && zoomed->pageFilePath() != normal.pageFilePath() ? zoomed : nullptr;
}

void FlashBookOutput::prepaireZoomendPage(const QString& baseFolder) {
    FlashPageList zoomed;
    for (const FlashPagePtr& normal : iFlashPageSource->normalPages())
        if (const FlashPagePtr page = zoomedPageOf(*normal))
            zoomed.append(page);
    if (!zoomed.isEmpty())
        copyPages(zoomed, baseFolder, iZoomedPageFolder);
}

void FlashBookOutput::prepareTextFiles(const QString& baseFolder) {
    iPageTexts.clear();
    const QString folder = joinPath(baseFolderOr(baseFolder), iResourceFolder + QLatin1Char('/') + iTextFolder);
    const FlashPageList& pages = iFlashPageSource->pages();
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const FlashPagePtr& page = pages[i];
        const FlashPagePtr normal = iFlashPageSource->getNormalPageAtIndex(page->pageIndex());
        const QString source = page->textFilePath().isEmpty() && normal ? normal->textFilePath() : page->textFilePath();
        if (source.isEmpty())
            continue;
        const std::optional<PageText> text = PageText::readScript(source);
        if (!text) {
            spdlog::warn("the page text {} is not a page text script; page {} goes without text", source, page->pageIndex());
            continue;
        }
        makeFolder(folder);
        const QString target = joinPath(folder, QStringLiteral("%1.js").arg(page->pageIndex()));
        if (!text->writeScript(target, page->pageIndex())) {
            noteWriteFailure(QStringLiteral("The page text %1 could not be written").arg(target));
            continue;
        }
        iPageTexts.append({page->pageIndex(), i + 1, text->text});
    }
    writeSearchParts(baseFolder);
}

void FlashBookOutput::writeSearchParts(const QString& baseFolder) {
    iSearchParts.clear();
    const QString folder = joinPath(baseFolderOr(baseFolder), iResourceFolder + QLatin1Char('/') + iSearchInfoFolder);
    QList<int> indices;
    QStringList entries;
    qsizetype size = 0;
    int part = 0;
    const auto write = [&] {
        const QString name = QString::number(++part);
        const QString target = joinPath(folder, name + QStringLiteral(".js"));
        makeFolder(folder);
        if (!AtomicFile::write(target, QStringLiteral("leafmillSearchText(%1,[%2]);\n").arg(name, entries.join(QLatin1Char(','))).toUtf8()))
            noteWriteFailure(QStringLiteral("The search part %1 could not be written").arg(target));
        else
            for (const int index : indices)
                iSearchParts.insert(index, OutputFiles::relativeURL(iResourceFolder, iSearchInfoFolder, name, QStringLiteral("js")));
        indices.clear();
        entries.clear();
        size = 0;
    };
    for (const PublishedText& page : iPageTexts) {
        const QString entry = QStringLiteral("[%1,%2]").arg(QString::number(page.index), ScriptText::literal(page.text));
        if (!entries.isEmpty() && size + entry.size() > kSearchPartBytes)
            write();
        indices.append(page.index);
        entries.append(entry);
        size += entry.size() + 1;
    }
    if (!entries.isEmpty())
        write();
}

namespace {
// One page of the text for readers without script: escaped, its lines kept.
QString noscriptSection(qsizetype pageNumber, const QString& text) {
    return QStringLiteral("<section><h2>Page %1</h2><p>%2</p></section>\n")
        .arg(pageNumber)
        .arg(ScriptText::html(text).replace(QLatin1Char('\n'), QStringLiteral("<br>\n")));
}
}

QString FlashBookOutput::noscriptText() const {
    QString html;
    qsizetype bytes = 0;
    for (const PublishedText& page : iPageTexts) {
        const QString whole = noscriptSection(page.number, page.text);
        QString section = whole;
        // The first page that does not fit whole is cut, by halves, to what fits; nothing follows it.
        for (qsizetype keep = page.text.size(); keep > 0 && bytes + section.toUtf8().size() > kNoscriptBytes;) {
            keep /= 2;
            if (keep > 0 && page.text.at(keep - 1).isHighSurrogate())
                --keep;
            section = keep > 0 ? noscriptSection(page.number, page.text.left(keep)) : QString();
        }
        html += section;
        bytes += section.toUtf8().size();
        if (section != whole)
            break;
    }
    return html;
}

void FlashBookOutput::prepaireThumbPage(const QString& baseFolder) {
    copyPages(iFlashPageSource->thumbPages(), baseFolder, iThumbPageFolder);
}

void FlashBookOutput::prepairePhonePage(const QString& baseFolder) {
    if (!iOuputTheMobileFiles)
        return;
    spdlog::debug("phone pages:{}", iFlashPageSource->phonePages().size());
    copyPages(iFlashPageSource->phonePages(), baseFolder, iMobileFilesFolder, true);
}

// ---- setting and link files ----

void FlashBookOutput::prepaireExtFiles(const QString& baseFolder) {
    const QString folder = joinPath(baseFolderOr(baseFolder), iResourceFolder + QLatin1Char('/') + iExterFilesFolder);
    makeFolder(folder);
    for (const auto& property : iFlashTemplate->properties()) {
        copyExtFile(folder, *property);
        prepaireExtFiles(folder, *property);
    }
}

void FlashBookOutput::prepaireExtFiles(const QString& extFolder, const FlashTemplateProperty& atChildPro) {
    for (const auto& child : atChildPro.childProperties()) {
        copyExtFile(extFolder, *child);
        prepaireExtFiles(extFolder, *child);
    }
}

// The copy of a file setting's file, <key>.<ext>; a file that no longer exists leaves no copy.
void FlashBookOutput::copyExtFile(const QString& folder, const FlashTemplateProperty& property) {
    if (property.propertyType() != pt_file || property.value().isEmpty())
        return;
    const QString target = joinPath(folder, property.key() + QLatin1Char('.') + extensionOf(property.value()));
    if (!OutputFiles::isSameFile(property.value(), target))
        QFile::remove(target);
    if (!OutputFiles::copyFile(property.value(), target) && copyFailedToWrite(property.value()))
        noteWriteFailure(QStringLiteral("The file %1 could not be copied to %2").arg(property.value(), target));
}

void FlashBookOutput::PrepareAnnotationFiles(const QString& baseFolder) {
    if (!iFlashPagesAnnotations)
        return;
    const QString folder = joinPath(baseFolderOr(baseFolder), iResourceFolder + QLatin1Char('/') + iAnnotationFilesFolder);
    makeFolder(folder);
    for (const QString& path : iFlashPagesAnnotations->needFiles()) {
        const QString target = joinPath(folder, QFileInfo(path).fileName());
        if (!QFileInfo::exists(target) && !OutputFiles::copyFile(path, target) && copyFailedToWrite(path))
            noteWriteFailure(QStringLiteral("The linked file %1 could not be copied to %2").arg(path, target));
    }
}

// The download button offers the address it was given; without one, the book's own document,
// which publishing puts into files/ under its own name.
void FlashBookOutput::prepareDownloadFile(const QString& baseFolder) {
    iDownloadFileName.clear();
    const QString source = iFlashPageSource->sourceFile();
    if (!StringUtil::valueAsBool(iFlashTemplate->propertyValueFor(QStringLiteral("showDownload"), QString())) ||
        !iFlashTemplate->propertyValueFor(QStringLiteral("downloadURL"), QString()).trimmed().isEmpty() ||
        source.isEmpty() || !QFileInfo(source).isFile())
        return;
    const QString name = downloadFileName(QFileInfo(source).fileName());
    const QString target = joinPath(baseFolderOr(baseFolder), iResourceFolder + QLatin1Char('/') + name);
    if (!OutputFiles::copyFile(source, target)) {
        noteFailure(QStringLiteral("The document %1 could not be copied to %2 for the download button").arg(source, target));
        return;
    }
    iDownloadFileName = name;
}

// The document keeps its name unless that is one of the book's own names in files/.
QString FlashBookOutput::downloadFileName(const QString& documentName) const {
    const QStringList taken = {QStringLiteral("book.bin"), QStringLiteral("book.js"), iNormalPageFolder, iZoomedPageFolder, iTextFolder,
                               iThumbPageFolder, iExterFilesFolder, iSearchInfoFolder, iAnnotationFilesFolder,
                               iMobileFilesFolder};
    if (documentName.startsWith(QLatin1Char('.')) || taken.contains(documentName, Qt::CaseInsensitive))
        return QStringLiteral("download-") + documentName;
    return documentName;
}

// ---- book description ----

std::unique_ptr<pugi::xml_document> FlashBookOutput::bookXML() const {
    auto doc = std::make_unique<pugi::xml_document>();
    pugi::xml_node root = doc->append_child("flipbook");
    const FlashPageList& pages = iFlashPageSource->pages();
    auto attr = [&](const char* name, const QString& value) { root.append_attribute(name) = Xml::utf8(value).c_str(); };
    attr("count", QString::number(pages.size()));
    attr("appAppShortName", QStringLiteral("pt"));
    attr("appAppName", AppIdentity::appName());
    attr("appAppVersion", AppIdentity::appVersion());
    attr("appWebsite", AppIdentity::appHomePage());
    attr("templateValidCode", iFlashTemplate->tmpValidCode());
    attr("e", iNeedExtInterface ? QStringLiteral("needext") : QStringLiteral("noext"));
    attr("templateName", iFlashTemplate->tmplName());
    if (!iDownloadFileName.isEmpty())
        attr("downloadFile", QStringLiteral("./%1/%2").arg(iResourceFolder, QString::fromLatin1(QUrl::toPercentEncoding(iDownloadFileName))));

    pugi::xml_node extConfig = root.append_child("extConfig");
    for (const auto& property : iFlashTemplate->properties()) {
        appendItem(extConfig, *property);
        appendChildPropertyToNode(extConfig, *property);
    }

    const bool hardCover =
        iFlashTemplate->propertyValueFor(QStringLiteral("isHardCover"), QStringLiteral("no")).toUpper() == QLatin1String("YES");
    pugi::xml_node pagesNode = root.append_child("pages");
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const int index = pages[i]->pageIndex();
        FlashPagePtr normal = iFlashPageSource->getNormalPageAtIndex(index);
        if (!normal)
            normal = pages[i];
        const FlashPagePtr thumb = iFlashPageSource->getThumbPageAtIndex(index);
        const bool hard = hardCover && (i == 0 || i == pages.size() - 1);
        pugi::xml_node page = pagesNode.append_child("page");
        page.append_attribute("isHardPage") = hard ? "true" : "false";
        page.append_attribute("isEncrypted") = "false";
        appendPageFacts(page, *pages[i]);
        if (iImageTwins.contains(normal->pageIndex()))
            page.append_attribute("imageUrl") = Xml::utf8(getImageTwinURL(*normal)).c_str();
        page.append_child("normalUrl").text().set(Xml::utf8(getNormalPageURL(*normal)).c_str());
        page.append_child("largeUrl").text().set(Xml::utf8(getZoomedPageURL(*normal)).c_str());
        if (std::any_of(iPageTexts.cbegin(), iPageTexts.cend(), [&](const PublishedText& t) { return t.index == normal->pageIndex(); }))
            page.append_attribute("textUrl") = Xml::utf8(getTextURL(normal->pageIndex())).c_str();
        if (const auto part = iSearchParts.constFind(normal->pageIndex()); part != iSearchParts.cend())
            page.append_attribute("searchUrl") = Xml::utf8(*part).c_str();
        page.append_child("thumbUrl").text().set(Xml::utf8(thumb ? getThumbPageURL(*thumb) : getNormalPageURL(*normal)).c_str());
    }

    if (iFlashOutline)
        iFlashOutline->outlineAsXMLNode(root);
    if (iFlashPagesAnnotations && iFlashPagesAnnotations->pagesAnnotationsNode())
        root.append_copy(iFlashPagesAnnotations->pagesAnnotationsNode());
    const QString languages = iFlashTemplate->propertyValueFor(QStringLiteral("languageSetting"), QStringLiteral("English"));
    FlashLanguageSettings(languages).flashNeededLanguagesAsXMLNode(root);
    return doc;
}

void FlashBookOutput::appendChildPropertyToNode(pugi::xml_node node, const FlashTemplateProperty& property) const {
    for (const auto& child : property.childProperties()) {
        appendItem(node, *child);
        appendChildPropertyToNode(node, *child);
    }
}

QString FlashBookOutput::getNormalPageURL(const FlashPage& page) const {
    return OutputFiles::relativeURL(iResourceFolder, iNormalPageFolder, QString::number(page.pageIndex()),
                                    extensionOf(page.pageFilePath()));
}

QString FlashBookOutput::getImageTwinURL(const FlashPage& page) const {
    return OutputFiles::relativeURL(iResourceFolder, iNormalPageFolder, QString::number(page.pageIndex()), QStringLiteral("jpg"));
}

QString FlashBookOutput::getZoomedPageURL(const FlashPage& page) const {
    const FlashPagePtr zoomed = zoomedPageOf(page);
    if (!zoomed)
        return getNormalPageURL(page);
    return OutputFiles::relativeURL(iResourceFolder, iZoomedPageFolder, QString::number(page.pageIndex()),
                                    extensionOf(zoomed->pageFilePath()));
}

QString FlashBookOutput::getTextURL(int pageIndex) const {
    return OutputFiles::relativeURL(iResourceFolder, iTextFolder, QString::number(pageIndex), QStringLiteral("js"));
}

QString FlashBookOutput::getThumbPageURL(const FlashPage& page) const {
    return OutputFiles::relativeURL(iResourceFolder, iThumbPageFolder, QString::number(page.pageIndex()),
                                    extensionOf(page.pageFilePath()));
}

bool FlashBookOutput::ouputBookXML(const QString& path) {
    const QByteArray xml = Xml::toBytes(*bookXML());
    const QString scriptPath = joinPath(QFileInfo(path).path(), QStringLiteral("book.js"));
    const QByteArray bookBin = BookDescriptionFile::encode(xml);
    if (!writeFileAtomically(path, bookBin) || !writeFileAtomically(scriptPath, BookDescriptionFile::scriptForm(bookBin))) {
        Log::system(QStringLiteral("Could not write document out..."));
        noteWriteFailure(QStringLiteral("The book description %1 could not be written").arg(path));
        return false;
    }
    return readsBack(path);
}

// A description the players cannot read is a broken book: publishing says so instead of success.
bool FlashBookOutput::readsBack(const QString& path) {
    BookDescriptionFile description;
    const bool read = description.read(path);
    const QString reason = read ? Xml::wellFormedError(description.xml()) : description.errorString();
    if (read && reason.isEmpty())
        return true;
    noteFailure(QStringLiteral("The book description %1 was written but cannot be read back: %2").arg(path, reason));
    return false;
}

// ---- mobile version ----

void FlashBookOutput::preparePhoneHTMLFilesByConfig(const QString& baseFolder, const HTMLConfigInfo* htmlConfig) {
    const QString target = joinPath(baseFolderOr(baseFolder), iMobileFilesFolder);
    const QString source = iFlashTemplate->mobileTmplFilesPath();
    makeFolder(target);
    OutputFiles::removePath(target);
    if (!OutputFiles::copyFolder(source, target) && QFileInfo(source).isDir())
        noteWriteFailure(QStringLiteral("The mobile template %1 could not be copied (the log says why)").arg(source));
    const QString kind = QDir(source).dirName();
    spdlog::debug("folderName={}", kind);

    QString page;
    if (!HTMLConfigInfo::readTextFile(joinPath(source, QStringLiteral("index.html")), page)) {
        noteFailure(QStringLiteral("The mobile template %1 has no readable index.html").arg(source));
        return;
    }
    TextTemplate text(page);
    if (htmlConfig) {
        text.setItem(QStringLiteral("index.title"), ScriptText::html(htmlConfig->HTMLTitle()));
        text.setItem(QStringLiteral("meta.keywords"), ScriptText::html(htmlConfig->HTMLKeywords()));
        text.setItem(QStringLiteral("meta.description"), ScriptText::html(htmlConfig->HTMLDescription()));
        text.setItem(QStringLiteral("script.bottom"), htmlConfig->HTMLScript());
        text.setItem(QStringLiteral("script.other"), htmlConfig->otherScript());
    }
    text.setItem(QStringLiteral("fbbook.options"), mobileConfigScript(kind));
    text.setItem(QStringLiteral("noscriptText"), noscriptText());
    if (iFlashPagesAnnotations && kind == QLatin1String("Flip") &&
        !HTMLConfigInfo::writeTextFile(joinPath(target, kMobileLinksScript),
                                       QStringLiteral("var pageEditor =") + iFlashPagesAnnotations->AnnosXML2JS()))
        noteFailure(QStringLiteral("The page links of the mobile book in %1 could not be written").arg(target));
    if (!HTMLConfigInfo::writeTextFile(joinPath(target, QStringLiteral("index.html")), text.parse()))
        noteWriteFailure(QStringLiteral("The mobile page in %1 could not be written").arg(target));
}

QString FlashBookOutput::mobileConfigScript(const QString& templateKind) const {
    auto setting = [&](const char* key, const char* fallback) {
        return iFlashTemplate->propertyValueFor(QString::fromLatin1(key), QString::fromLatin1(fallback));
    };
    // Every value is written as a literal: titles and settings come from file names, books and themes.
    const QString width = ScriptText::number(setting("pageWidth", "900"), 900);
    const QString height = ScriptText::number(setting("pageHeight", "900"), 900);
    const qsizetype count = iFlashPageSource->pages().size();
    if (templateKind != QLatin1String("Flip"))
        return QStringLiteral("{pageWidth:%1,pageHeight:%2,totalPage:%3,zoomPageDir:\"../files/mobile/\",normalPageDir:\"../files/mobile/\"}")
            .arg(width, height).arg(count);

    // The same title as the desktop player: the book's own setting, else the page title.
    QString title = setting("bookTitle", "");
    if (title.trimmed().isEmpty())
        title = iHTMLConfig ? iHTMLConfig->HTMLTitle() : QString();
    auto line = [](const char* name, const QString& value) {
        return QStringLiteral("bookConfig.%1=%2;\n").arg(QLatin1String(name), ScriptText::literal(value));
    };
    const QString phonePath = QStringLiteral("../files/mobile/");
    QString script = line("totalPageCount", QString::number(count)) + line("largePageWidth", width) +
                     line("largePageHeight", height) + line("bookTitle", title) +
                     line("LinkDownColor", setting("linkOverColor", "#808080")) +
                     line("LinkAlpha", setting("linkOverColorAlpha", "0.5")) +
                     line("OpenWindow", setting("linkOpenedWindow", "_Blank")) + line("normalPath", phonePath) +
                     line("largePath", phonePath) + line("productName", AppIdentity::appName()) +
                     line("homePage", AppIdentity::appHomePage()) +
                     line("thumbPath", iFlashTemplate->needThumbs() ? QStringLiteral("../files/thumb/") : phonePath);
    // The link table can be large: it lives in a script file of its own beside the page.
    if (iFlashPagesAnnotations)
        script += line("linksScript", kMobileLinksScript);
    script += QStringLiteral("var pageEditor =[];");
    spdlog::debug("fbOptionsStr={}", script);
    return script;
}
