#include "pages/PDFToSWFPageConverter.h"
#include "pages/FlashPageImage.h"
#include "pages/ImageUtility.h"
#include "pages/PageRenderPipeline.h"
#include "util/Log.h"
#include "util/Resources.h"
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <poppler-qt6.h>
#include <unistd.h>

namespace {
constexpr int kFallbackBoxSize = 1440;
constexpr int kPdf2swfTimeoutMs = 10 * 60 * 1000;
// Poppler aborts the process when a bitmap cannot be allocated; no page needs more than this.
constexpr int kMaxRenderSide = 8192;

// Identical renditions share their bytes: a hard link where the file system allows one.
bool linkOrCopy(const QString& from, const QString& to) {
    return ::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 || QFile::copy(from, to);
}

QSize boxedPixelSize(const QSizeF& points, int boxSize) {
    boxSize = qMin(boxSize, kMaxRenderSide);
    return ImageUtility::pixelSize(PDFToSWFPageConverter::rectRespectTheWidthAndHeight(points.width(), points.height(), boxSize));
}
}

PDFToSWFPageConverter::PDFToSWFPageConverter(const QString& PDFPath, std::shared_ptr<Poppler::Document> PDFDoc,
                                             int quality, int DPI)
    : PDFToPageConverter(PDFPath, std::move(PDFDoc), quality, DPI) {}

PDFToSWFPageConverter::~PDFToSWFPageConverter() {
    iPipeline.reset();   // workers write into the work folder the base class removes
}

QString PDFToSWFPageConverter::getPDF2swfLibPath() {
    const QString path = Resources::path(QStringLiteral("lib/pdf2swf"));
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable() ? path : QString();
}

QSizeF PDFToSWFPageConverter::rectRespectTheWidthAndHeight(double oldWidth, double oldHeight, double newBoxSize) {
    return FlashPageImage::rectRespectTheWidthAndHeight(oldWidth, oldHeight, newBoxSize);
}

QSizeF PDFToSWFPageConverter::pageSizeInPoints(Poppler::Document* doc, int pageNumber) {
    if (!doc || doc->isLocked() || pageNumber < 1 || pageNumber > doc->numPages())
        return {};
    const std::unique_ptr<Poppler::Page> page(doc->page(pageNumber - 1));
    return page ? page->pageSizeF() : QSizeF();
}

QImage PDFToSWFPageConverter::renderPage(Poppler::Document* doc, int pageNumber, int boxSize) {
    const QSizeF points = pageSizeInPoints(doc, pageNumber);
    if (points.width() <= 0 || points.height() <= 0 || boxSize <= 0)
        return {};
    const std::unique_ptr<Poppler::Page> page(doc->page(pageNumber - 1));
    const QSize target = boxedPixelSize(points, boxSize);
    doc->setRenderHint(Poppler::Document::Antialiasing);
    doc->setRenderHint(Poppler::Document::TextAntialiasing);
    const QImage image = page->renderToImage(target.width() * 72.0 / points.width(), target.height() * 72.0 / points.height(),
                                             0, 0, target.width(), target.height());
    if (image.isNull())
        return {};
    return ImageUtility::scaledImage(image, target);
}

QString PDFToSWFPageConverter::swfTargetPath(int pageNumber) const {
    return QDir(iConverterWorkFolder).filePath(QStringLiteral("%1.swf").arg(pageNumber));
}

QString PDFToSWFPageConverter::freshJpegPath() {
    return QDir(iConverterWorkFolder)
        .filePath(QStringLiteral("%1-%2.jpg")
                      .arg(QDateTime::currentDateTime().toString(QStringLiteral("MMddyyyyHHmmsszzz")))
                      .arg(iFileCounter++));
}

bool PDFToSWFPageConverter::runPdf2swf(int pageNumber, const QString& targetPath) const {
    const QStringList arguments = {
        iPDFPath,
        QStringLiteral("-o ") + targetPath,
        QStringLiteral("-p %1-%1").arg(pageNumber),
        QStringLiteral("-s jpegquality=%1").arg(iQuality),
        QStringLiteral("-t"),
        QStringLiteral("-G"),
        QStringLiteral("-qq"),
        QStringLiteral("-s flashversion=8"),
        QStringLiteral("-s disablelinks"),
        QStringLiteral("-s zoom=%1").arg(iDPI),
    };
    Log::system(arguments.join(QLatin1Char(' ')));
    for (const QString& argument : arguments)
        Log::system(argument);
    const QString tool = getPDF2swfLibPath();
    if (tool.isEmpty()) {
        spdlog::error("the page converter pdf2swf is missing");
        return false;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(tool, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(kPdf2swfTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    QString::fromUtf8(process.readAllStandardOutput());   // read to the end and discarded
    return true;
}

QString PDFToSWFPageConverter::makeSwfPage(int pageNumber, Poppler::Document* doc) {
    const QString target = swfTargetPath(pageNumber);
    runPdf2swf(pageNumber, target);
    if (QFileInfo::exists(target) || !doc)
        return target;
    const QString jpeg = QDir(iConverterWorkFolder).filePath(QStringLiteral("%1.jpg").arg(pageNumber));
    const QImage image = renderPage(doc, pageNumber, kFallbackBoxSize);
    if (!image.isNull())
        ImageUtility::saveJPEG(image, jpeg, iQuality);
    return jpeg;
}

QString PDFToSWFPageConverter::generatePage(int pageNumber) {
    if (const std::optional<QString> prepared = claimPrepared(pageNumber, -1))
        return *prepared;
    return makeSwfPage(pageNumber, iPDFDoc.get());
}

QString PDFToSWFPageConverter::generatePageAsJPEG(int pageNumber, int quality, int boxSize) {
    if (const std::optional<QString> prepared = claimPreparedJpeg(pageNumber, {quality, boxSize}))
        return *prepared;
    const QString path = freshJpegPath();
    pdfPageToImage(pageNumber, path, quality, boxSize);
    return path;
}

void PDFToSWFPageConverter::pdfPageToImage(int pageNumber, const QString& targetPath, int quality, int boxSize) {
    if (!iPDFDoc)
        return;
    const QImage image = renderPage(iPDFDoc.get(), pageNumber, boxSize);
    if (image.isNull()) {
        spdlog::error("page {} of {} could not be rendered", pageNumber, iPDFPath);
        return;
    }
    ImageUtility::saveJPEG(image, targetPath, quality);
}

void PDFToSWFPageConverter::pdfPageToImage(int pageNumber, const QString& targetPath) {
    pdfPageToImage(pageNumber, targetPath, iQuality, kFallbackBoxSize);
}

void PDFToSWFPageConverter::prepareRenditions(const QList<int>& pageNumbers, bool swfPages,
                                              const QList<JpegRendition>& renditions, const std::atomic<bool>* stop) {
    iPipeline.reset();
    iClaimed.clear();
    iPreparedSwf = swfPages;
    iPreparedRenditions = renditions;
    if (pageNumbers.isEmpty() || !iPDFDoc)
        return;
    iPipeline = std::make_unique<PageRenderPipeline>(
        iPDFPath, pageNumbers, [this](int n, Poppler::Document* doc) { return makePreparedPage(n, doc); }, stop,
        PageRenderPipeline::defaultWorkerCount());
}

void PDFToSWFPageConverter::cancelPreparedRenditions() {
    if (iPipeline)
        iPipeline->cancel();
}

// Runs on a pipeline worker: the SWF page, then every JPEG rendition from one render.
QStringList PDFToSWFPageConverter::makePreparedPage(int pageNumber, Poppler::Document* doc) {
    QStringList paths;
    if (iPreparedSwf)
        paths << makeSwfPage(pageNumber, doc);
    if (iPreparedRenditions.isEmpty())
        return paths;
    int largestBox = 0;
    for (const JpegRendition& rendition : iPreparedRenditions)
        largestBox = qMax(largestBox, rendition.boxSize);
    const QImage render = renderPage(doc, pageNumber, largestBox);
    QList<QPair<JpegRendition, QString>> written;
    for (const JpegRendition& rendition : iPreparedRenditions) {
        QString path = freshJpegPath();
        auto same = std::find_if(written.cbegin(), written.cend(), [&](const auto& w) { return w.first == rendition; });
        if (same != written.cend() && linkOrCopy(same->second, path))
            paths << path;
        else if (!render.isNull())
            paths << writeRendition(render, rendition, path, pageSizeInPoints(doc, pageNumber));
        else
            paths << path;   // nothing written: the pass sees the missing file
        written.append({rendition, paths.last()});
    }
    return paths;
}

QString PDFToSWFPageConverter::writeRendition(const QImage& render, const JpegRendition& rendition,
                                              const QString& path, const QSizeF& pagePoints) {
    const QImage image = ImageUtility::scaledImage(render, boxedPixelSize(pagePoints, rendition.boxSize));
    ImageUtility::saveJPEG(image, path, rendition.quality);
    return path;
}

std::optional<QString> PDFToSWFPageConverter::claimPrepared(int pageNumber, int slot) {
    if (!iPipeline || !iPipeline->covers(pageNumber) || (slot < 0 && !iPreparedSwf) || iClaimed.contains({pageNumber, slot}))
        return std::nullopt;
    const std::optional<QStringList> paths = iPipeline->waitFor(pageNumber);
    if (!paths)
        return std::nullopt;   // skipped after a stop: made directly if still wanted
    iClaimed.insert({pageNumber, slot});
    const qsizetype position = (iPreparedSwf ? 1 : 0) + slot;
    return position < paths->size() ? paths->at(position) : QString();
}

std::optional<QString> PDFToSWFPageConverter::claimPreparedJpeg(int pageNumber, const JpegRendition& rendition) {
    for (int slot = 0; slot < iPreparedRenditions.size(); ++slot) {
        if (iPreparedRenditions[slot] == rendition && !iClaimed.contains({pageNumber, slot}))
            return claimPrepared(pageNumber, slot);
    }
    return std::nullopt;
}
