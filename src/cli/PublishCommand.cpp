#include "cli/PublishCommand.h"

#include "cli/BookLook.h"
#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "cli/ProgressBar.h"
#include "output/BookProject.h"
#include "output/BookPublisher.h"
#include "language/FlashLanguageSettings.h"
#include "pages/FlashPageSourceImg.h"
#include "pages/ImportPDFOperation.h"
#include "pages/ImportProgress.h"
#include "pages/PDFOpenResult.h"
#include "pages/PageRangeCheck.h"
#include "templates/FlashTemplate.h"
#include "templates/StringUtil.h"
#include "util/NotificationCenter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>

namespace {
const QString kName = QStringLiteral("name");
const QString kKind = QStringLiteral("kind");

QString progressLabel(const QString& type) {
    static const QHash<QString, QString> labels = {{"geneatePage", "importing pages"},
                                                   {"geneateNormalPage", "making pages"},
                                                   {"geneateZoomedPage", "making zoom pages"},
                                                   {"geneateThumbPage", "making thumbnails"},
                                                   {"geneatePhonePage", "making phone pages"},
                                                   {"page", "copying pages"},
                                                   {"thumb", "copying thumbnails"},
                                                   {"mobile", "copying phone pages"}};
    return labels.value(type, type);
}

// A quality level by number (0 best to 4 smallest) or by name.
int qualityLevel(const CliArguments& args) {
    static const QStringList names = {"best", "high", "medium", "low", "smallest"};
    const QString value = args.value(QStringLiteral("quality"), QStringLiteral("2")).trimmed().toLower();
    bool numeric = false;
    const int level = value.toInt(&numeric);
    if (numeric && level >= 0 && level < names.size())
        return level;
    if (!numeric && names.contains(value))
        return int(names.indexOf(value));
    throw CliError(kExitUsage, QStringLiteral("--quality must be 0 to 4 or one of %1, not \"%2\"")
                                   .arg(names.join(QStringLiteral(", ")), args.value(QStringLiteral("quality"))));
}

PDFOpenResult openPDF(const QString& path) {
    PDFOpenResult pdf = PDFOpenResult::open(path);
    switch (pdf.status()) {
    case PDFOpenResult::Ok: return pdf;
    case PDFOpenResult::Missing: throw CliError(kExitInput, QStringLiteral("no such file: %1").arg(path));
    case PDFOpenResult::Unreadable:
        throw CliError(kExitInput, QStringLiteral("cannot read the PDF %1: %2").arg(path, pdf.readError()));
    case PDFOpenResult::Damaged:
        throw CliError(kExitInput, QStringLiteral("cannot read the PDF %1: it is damaged or not a PDF").arg(path));
    case PDFOpenResult::Locked:
        throw CliError(kExitInput, QStringLiteral("cannot read the PDF %1: it is protected by a password").arg(path));
    case PDFOpenResult::NoPages: break;
    }
    throw CliError(kExitInput, QStringLiteral("the PDF %1 has no pages").arg(path));
}

// Refuses early, before a long import, a folder that could not be made.
void checkFolderCanBeMade(const QString& path) {
    QFileInfo existing(QFileInfo(path).absoluteFilePath());
    while (!existing.exists() && !existing.isRoot())
        existing = QFileInfo(existing.absolutePath());
    if (!existing.isDir() || !existing.isWritable())
        throw CliError(kExitCannotWrite, QStringLiteral("cannot create the folder %1").arg(path));
}

bool isPDFPath(const QString& path) { return path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive); }
}

PublishCommand::PublishCommand(const CliArguments& args, QTextStream& out, ProgressBar& progress)
    : iArgs(args), iOut(out), iProgress(progress) {}

// ---- publish ----

int PublishCommand::publish() {
    const QStringList inputs = iArgs.positionals();
    if (inputs.isEmpty())
        throw CliError(kExitUsage, QStringLiteral("publish needs a PDF or image files (see leafmill-cli publish --help)"));
    checkOutputOptions();
    const bool pdf = isPDFPath(inputs.first());
    if (pdf && inputs.size() > 1)
        throw CliError(kExitUsage, QStringLiteral("publish takes one PDF, or image files only"));
    if (!pdf && (iArgs.has(QStringLiteral("pages")) || iArgs.has(QStringLiteral("engine"))))
        throw CliError(kExitUsage, QStringLiteral("--pages and --engine apply to a PDF only"));
    if (iArgs.has(QStringLiteral("zoom-pages")) && iArgs.has(QStringLiteral("no-zoom-pages")))
        throw CliError(kExitUsage, QStringLiteral("--zoom-pages and --no-zoom-pages exclude each other"));
    const Book book = pdf ? importPDF(inputs.first()) : importImages(inputs);
    return publishBook(book, QFileInfo(inputs.first()).completeBaseName());
}

Book PublishCommand::importPDF(const QString& path) {
    const PDFOpenResult pdf = openPDF(path);
    PageRangeCheck range;
    if (!range.check(iArgs.value(QStringLiteral("pages"), QStringLiteral("ALL")), pdf.pageCount()))
        throw CliError(kExitUsage, range.errorString());
    const int level = qualityLevel(iArgs);
    const QString engine = iArgs.value(QStringLiteral("engine"), QStringLiteral("jpg"));
    if (engine != QLatin1String("jpg") && engine != QLatin1String("swf"))
        throw CliError(kExitUsage, QStringLiteral("--engine must be swf or jpg, not \"%1\"").arg(engine));
    Book book;
    book.flashTemplate = BookLook::makeTemplate(iArgs);   // fail on a bad look before the long import

    runImport(path, range.range(), level, engine == QLatin1String("swf") ? 0 : 1, book);
    const QSizeF size = pdf.firstPageSize();
    setPageSize(*book.flashTemplate, int(size.width()), int(size.height()));
    return book;
}

void PublishCommand::runImport(const QString& path, const QString& range, int level, int engineType, Book& book) {
    const auto quality = ImportPDFOperation::qualityForLevel(level);
    auto operation = std::make_unique<ImportPDFOperation>(path, range, quality.DPI, quality.quality);
    operation->setRenderEngineType(engineType);
    operation->setZoomPages(zoomPages(*book.flashTemplate));
    operation->setImportLinks(iArgs.has(QStringLiteral("links")));
    operation->setImportBookmarks(iArgs.has(QStringLiteral("bookmarks")));
    const auto connection = QObject::connect(
        &NotificationCenter::defaultCenter(), &NotificationCenter::notified, &NotificationCenter::defaultCenter(),
        [this](const QString& name, QObject*, const QVariantMap& info) {
            if (name != ImportProgressInfoMSG)
                return;
            const ImportProgress progress = ImportProgress::fromUserInfo(info);
            iProgress.update(progressLabel(progress.type), progress.pageIndex, progress.totalPage);
        },
        Qt::DirectConnection);
    operation->main();
    QObject::disconnect(connection);
    iProgress.finish();

    book.pageSource = operation->flashPageSource();
    book.outline = operation->flashOutline();
    book.pageLinks = operation->flashPagesAnnotation();
    const QString reason = operation->errorString();
    const bool writeFailed = operation->writeFailed();
    const QList<int> failedPages = operation->failedPages();
    operation.reset();
    if (!reason.isEmpty() || !book.pageSource || book.pageSource->pages().isEmpty())
        throw CliError(writeFailed ? kExitCannotWrite : kExitInput,
                       QStringLiteral("cannot import %1: %2").arg(path, reason.isEmpty() ? QStringLiteral("no pages were made") : reason));
    QStringList numbers;
    for (int number : failedPages)
        numbers << QString::number(number);
    if (numbers.size() == 1)
        iBlankPagesNote = QStringLiteral("page %1 of %2 could not be rendered; the book has a blank page with a notice in its place")
                              .arg(numbers.first(), path);
    else if (numbers.size() > 1)
        iBlankPagesNote = QStringLiteral("pages %1 of %2 could not be rendered; the book has blank pages with a notice in their place")
                              .arg(numbers.join(QStringLiteral(", ")), path);
}

Book PublishCommand::importImages(const QStringList& paths) {
    for (const QString& path : paths) {
        if (!QFileInfo(path).isFile())
            throw CliError(kExitInput, QStringLiteral("no such file: %1").arg(path));
        if (!QImageReader(path).canRead())
            throw CliError(kExitInput, QStringLiteral("cannot read %1: it is not an image this program reads").arg(path));
    }
    Book book;
    book.flashTemplate = BookLook::makeTemplate(iArgs);
    auto source = std::make_shared<FlashPageSourceImg>();
    for (const QString& path : paths)
        source->addImgPageFromFile(QFileInfo(path).absoluteFilePath());
    iProgress.update(progressLabel(QStringLiteral("geneateNormalPage")), 0, 2);
    source->generateNormalPages();
    iProgress.update(progressLabel(QStringLiteral("geneateThumbPage")), 1, 2);
    source->generateThumbPages();
    iProgress.update(QStringLiteral("pages made"), 2, 2);
    iProgress.finish();
    const QSize size = QImageReader(paths.first()).size();
    setPageSize(*book.flashTemplate, size.width(), size.height());
    book.pageSource = source;
    return book;
}

// The options decide; without them the template's setting, which is on unless it says NO.
bool PublishCommand::zoomPages(const FlashTemplate& flashTemplate) const {
    if (iArgs.has(QStringLiteral("zoom-pages")) || iArgs.has(QStringLiteral("no-zoom-pages")))
        return iArgs.has(QStringLiteral("zoom-pages"));
    return StringUtil::valueAsBool(flashTemplate.propertyValueFor(QStringLiteral("zoomPages"), QStringLiteral("YES")));
}

// The imported page size, unless the user set it.
void PublishCommand::setPageSize(FlashTemplate& flashTemplate, int width, int height) const {
    const QString settings = iArgs.values(QStringLiteral("set")).join(QLatin1Char('\n'));
    if (!settings.contains(QRegularExpression(QStringLiteral("^pageWidth="), QRegularExpression::MultilineOption)))
        flashTemplate.setPropertyValue(QStringLiteral("pageWidth"), QString::number(width));
    if (!settings.contains(QRegularExpression(QStringLiteral("^pageHeight="), QRegularExpression::MultilineOption)))
        flashTemplate.setPropertyValue(QStringLiteral("pageHeight"), QString::number(height));
}

// ---- reopen ----

int PublishCommand::reopen() {
    if (iArgs.positionals().size() != 1)
        throw CliError(kExitUsage, QStringLiteral("reopen needs one published book folder (see leafmill-cli reopen --help)"));
    checkOutputOptions();
    const QString folder = QFileInfo(iArgs.positionals().first()).absoluteFilePath();
    if (!QFileInfo(folder).isDir())
        throw CliError(kExitInput, QStringLiteral("no such folder: %1").arg(folder));
    BookProject project;
    if (!project.loadProjectFromOutputFolder(folder))
        throw CliError(kExitInput, QStringLiteral("cannot reopen %1: %2").arg(folder, project.errorString()));
    if (project.book().pageSource->pages().isEmpty())
        throw CliError(kExitInput, QStringLiteral("cannot reopen %1: the book has no pages").arg(folder));
    BookLook::restyle(*project.book().flashTemplate, iArgs);
    return publishBook(project.book(), QFileInfo(folder).fileName());
}

// ---- output ----

void PublishCommand::checkOutputOptions() const {
    if (iArgs.value(QStringLiteral("output")).isEmpty())
        throw CliError(kExitUsage, QStringLiteral("-o FOLDER is needed: the folder to publish into"));
    checkFolderCanBeMade(iArgs.value(QStringLiteral("output")));
    const QString kind = iArgs.value(kKind, QStringLiteral("html"));
    if (!QStringList{"html", "app", "zip"}.contains(kind))
        throw CliError(kExitUsage, QStringLiteral("--kind must be html, app or zip, not \"%1\"").arg(kind));
    const QString name = iArgs.value(kName, QStringLiteral("index"));
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") || name == QLatin1String(".."))
        throw CliError(kExitUsage, QStringLiteral("--name must be a plain file name, not \"%1\"").arg(name));
    if (iArgs.has(QStringLiteral("script")) && !QFileInfo(iArgs.value(QStringLiteral("script"))).isFile())
        throw CliError(kExitInput, QStringLiteral("no such script file: %1").arg(iArgs.value(QStringLiteral("script"))));
    const QString mobile = iArgs.value(QStringLiteral("mobile-template"), QStringLiteral("Flip"));
    if (!QFileInfo(FlashTemplate::mobileTemplatesFolder() + mobile + QStringLiteral("/index.html")).isFile())
        throw CliError(kExitUnknownLook, QStringLiteral("unknown mobile template \"%1\" (leafmill-cli templates lists them)").arg(mobile));
}

QString PublishCommand::outputFolder() const {
    const QString folder = QFileInfo(iArgs.value(QStringLiteral("output"))).absoluteFilePath();
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        throw CliError(kExitCannotWrite, QStringLiteral("cannot create the folder %1").arg(folder));
    return folder;
}

int PublishCommand::publishBook(const Book& book, const QString& defaultTitle) {
    PublishOptions options;
    options.folder = outputFolder();
    const QString kind = iArgs.value(kKind, QStringLiteral("html"));
    options.kind = kind == QLatin1String("app") ? PublishOptions::Kind::App
                 : kind == QLatin1String("zip") ? PublishOptions::Kind::Zip
                                                : PublishOptions::Kind::HTML;
    options.name = iArgs.value(kName, kind == QLatin1String("html") ? QStringLiteral("index") : QStringLiteral("book"));
    options.mobile = iArgs.has(QStringLiteral("mobile"));
    options.mobileTemplate = iArgs.value(QStringLiteral("mobile-template"), QStringLiteral("Flip"));

    HTMLConfigInfo& page = options.pageInfo;
    page.setHTMLTitle(iArgs.value(QStringLiteral("title"), defaultTitle));
    if (iArgs.has(QStringLiteral("keywords")))
        page.setHTMLKeywords(iArgs.value(QStringLiteral("keywords")));
    if (iArgs.has(QStringLiteral("description")))
        page.setHTMLDescription(iArgs.value(QStringLiteral("description")));
    QString script;
    if (iArgs.has(QStringLiteral("script")) && !HTMLConfigInfo::readTextFile(iArgs.value(QStringLiteral("script")), script))
        throw CliError(kExitInput, QStringLiteral("cannot read the script file %1").arg(iArgs.value(QStringLiteral("script"))));
    page.setHTMLScript(script);
    options.progress = [this](const QString& step, qsizetype done, qsizetype total) {
        iProgress.update(progressLabel(step), done, total);
    };

    // The book's languages come from the user's pool, which starts with the shipped ones.
    FlashLanguageSettings::copyDefaultLanguagesToPool();
    const PublishResult result = BookPublisher::publish(book, options);
    iProgress.finish();
    if (result.writeFailed)
        throw CliError(kExitCannotWrite, QStringLiteral("the book could not be written into %1, which keeps the book it held:\n  %2")
                                             .arg(options.folder, result.failures.join(QStringLiteral("\n  "))));
    if (!result.ok())
        throw CliError(kExitFailed, QStringLiteral("the book in %1 is incomplete:\n  %2")
                                        .arg(options.folder, result.failures.join(QStringLiteral("\n  "))));
    iOut << result.outputFile << '\n';
    if (!iBlankPagesNote.isEmpty())
        throw CliError(kExitFailed, iBlankPagesNote);
    return kExitOk;
}
