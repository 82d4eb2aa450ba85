#include "pages/PDFToSWFPageConverter.h"
#include "pages/FlashPageImage.h"
#include "pages/ImageUtility.h"
#include "pages/PageRasterizer.h"
#include "pages/PageRenderPipeline.h"
#include "pages/PageText.h"
#include "util/AtomicFile.h"
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
constexpr int kMaxRenderSide = PageRasterizer::kMaxSide;

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

QSize PDFToSWFPageConverter::renditionPixelSize(const QSizeF& pagePoints, const JpegRendition& rendition) {
    const QSize size = boxedPixelSize(pagePoints, rendition.boxSize) * qMax(1, rendition.scale);
    if (size.width() <= kMaxRenderSide && size.height() <= kMaxRenderSide)
        return size;
    return boxedPixelSize(pagePoints, kMaxRenderSide);
}

QImage PDFToSWFPageConverter::renderPage(Poppler::Document* doc, int pageNumber, int boxSize,
                                         const PageRasterizer* rasterizer) {
    const QSizeF points = pageSizeInPoints(doc, pageNumber);
    if (points.width() <= 0 || points.height() <= 0 || boxSize <= 0)
        return {};
    return renderAtSize(doc, pageNumber, boxedPixelSize(points, boxSize), rasterizer);
}

QImage PDFToSWFPageConverter::renderAtSize(Poppler::Document* doc, int pageNumber, const QSize& target,
                                           const PageRasterizer* rasterizer) {
    if (rasterizer && rasterizer->isOpen())
        return rasterizer->render(pageNumber, target);
    const QSizeF points = pageSizeInPoints(doc, pageNumber);
    if (points.width() <= 0 || points.height() <= 0 || target.isEmpty())
        return {};
    const std::unique_ptr<Poppler::Page> page(doc->page(pageNumber - 1));
    doc->setRenderHint(Poppler::Document::Antialiasing);
    doc->setRenderHint(Poppler::Document::TextAntialiasing);
    const QImage image = page->renderToImage(target.width() * 72.0 / points.width(), target.height() * 72.0 / points.height(),
                                             0, 0, target.width(), target.height());
    if (image.isNull())
        return {};
    return ImageUtility::scaledImage(image, target);
}

const PageRasterizer* PDFToSWFPageConverter::rasterizer() {
    if (!iRasterizer)
        iRasterizer = std::make_unique<PageRasterizer>(iPDFPath);
    return iRasterizer.get();
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

QString PDFToSWFPageConverter::freshTextPath() {
    return QDir(iConverterWorkFolder).filePath(QStringLiteral("text-%1.js").arg(iFileCounter++));
}

QString PDFToSWFPageConverter::makePageText(int pageNumber, Poppler::Document* doc) {
    return writePageText(PageText::fromPage(doc, pageNumber), pageNumber);
}

QString PDFToSWFPageConverter::writePageText(const PageText& text, int pageNumber) {
    const QString path = freshTextPath();
    return AtomicFile::writeScratch(path, text.script(pageNumber)) ? path : QString();
}

QString PDFToSWFPageConverter::generatePageText(int pageNumber) {
    if (iPipeline && iPreparedText && iPipeline->covers(pageNumber))
        if (const std::optional<QString> prepared = claimPrepared(pageNumber, textSlot()))
            return *prepared;
    return iPDFDoc ? makePageText(pageNumber, iPDFDoc.get()) : QString();
}

QString PDFToSWFPageConverter::makeSwfPage(int pageNumber, Poppler::Document* doc, const PageRasterizer* rasterizer) {
    const QString target = swfTargetPath(pageNumber);
    runPdf2swf(pageNumber, target);
    if (QFileInfo::exists(target) || !doc)
        return target;
    const QString jpeg = QDir(iConverterWorkFolder).filePath(QStringLiteral("%1.jpg").arg(pageNumber));
    const QImage image = renderPage(doc, pageNumber, kFallbackBoxSize, rasterizer);
    if (!image.isNull())
        ImageUtility::saveJPEG(image, jpeg, iQuality);
    return jpeg;
}

QString PDFToSWFPageConverter::generatePage(int pageNumber) {
    if (const std::optional<QString> prepared = claimPrepared(pageNumber, -1))
        return *prepared;
    return makeSwfPage(pageNumber, iPDFDoc.get(), rasterizer());
}

QString PDFToSWFPageConverter::generatePageAsJPEG(int pageNumber, int quality, int boxSize, int scale) {
    const JpegRendition rendition{quality, boxSize, scale};
    if (const std::optional<QString> prepared = claimPreparedJpeg(pageNumber, rendition))
        return *prepared;
    const QString path = freshJpegPath();
    if (scale == 1) {
        pdfPageToImage(pageNumber, path, quality, boxSize);
        return path;
    }
    const QSizeF points = pageSizeInPoints(iPDFDoc.get(), pageNumber);
    const QImage image = points.isEmpty() ? QImage()
                                          : renderAtSize(iPDFDoc.get(), pageNumber, renditionPixelSize(points, rendition), rasterizer());
    if (!image.isNull())
        ImageUtility::saveJPEG(image, path, quality);
    return path;
}

void PDFToSWFPageConverter::pdfPageToImage(int pageNumber, const QString& targetPath, int quality, int boxSize) {
    if (!iPDFDoc)
        return;
    const QImage image = renderPage(iPDFDoc.get(), pageNumber, boxSize, rasterizer());
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
                                              const QList<JpegRendition>& renditions, bool withText,
                                              const std::atomic<bool>* stop) {
    iPipeline.reset();
    iClaimed.clear();
    iPreparedSwf = swfPages;
    iPreparedRenditions = renditions;
    iPreparedText = withText;
    if (pageNumbers.isEmpty() || !iPDFDoc)
        return;
    iPipeline = std::make_unique<PageRenderPipeline>(
        iPDFPath, pageNumbers, [this](int n, Poppler::Document* doc, const PageRasterizer& r) { return makePreparedPage(n, doc, r); }, stop,
        PageRenderPipeline::defaultWorkerCount());
}

void PDFToSWFPageConverter::cancelPreparedRenditions() {
    if (iPipeline)
        iPipeline->cancel();
}

// Runs on a pipeline worker: the SWF page, every JPEG rendition, then the text. The page is drawn
// once, at the largest size, collecting its words on the way; encoding that picture finds whether
// it has colour, and its half comes out in 8-bit gray when it has none.
QStringList PDFToSWFPageConverter::makePreparedPage(int pageNumber, Poppler::Document* doc, const PageRasterizer& rasterizer) {
    QStringList paths;
    if (iPreparedSwf)
        paths << makeSwfPage(pageNumber, doc, &rasterizer);
    const QList<JpegRendition>& renditions = iPreparedRenditions;   // read-only here: workers share it
    const QSizeF points = pageSizeInPoints(doc, pageNumber);
    QList<QSize> sizes;
    QList<qsizetype> largestFirst;
    for (const JpegRendition& rendition : renditions) {
        sizes << (points.isEmpty() ? QSize() : renditionPixelSize(points, rendition));
        largestFirst << largestFirst.size();
    }
    const auto area = [&](qsizetype i) { return qint64(sizes[i].width()) * sizes[i].height(); };
    std::stable_sort(largestFirst.begin(), largestFirst.end(), [&](qsizetype a, qsizetype b) { return area(a) > area(b); });
    QStringList files(renditions.size());
    QImage image;
    std::optional<PageText> text;
    if (!largestFirst.isEmpty() && !sizes[largestFirst[0]].isEmpty()) {
        if (iPreparedText && rasterizer.isOpen()) {
            PageRasterizer::Drawing drawing = rasterizer.renderWithText(pageNumber, sizes[largestFirst[0]]);
            image = std::move(drawing.image);
            text = std::move(drawing.text);
        } else {
            image = renderAtSize(doc, pageNumber, sizes[largestFirst[0]], &rasterizer);
        }
    }
    // The drawing, then each picture scaled or halved from it, smallest last: a rendition is scaled
    // from the smallest one that is at least its size, as a chain of scalings would.
    QList<QImage> pictures;
    if (!image.isNull())
        pictures << image;
    for (qsizetype k = 0; k < largestFirst.size(); ++k) {
        const qsizetype i = largestFirst[k];
        files[i] = freshJpegPath();
        const JpegRendition& rendition = renditions[i];
        const qsizetype same = renditions.indexOf(rendition);
        if ((same < i && !files[same].isEmpty() && linkOrCopy(files[same], files[i])) || pictures.isEmpty())
            continue;
        const QSize size = sizes[i];
        const auto covering = [&](const QSize& wanted) {
            return [wanted](const QImage& picture) { return picture.width() >= wanted.width() && picture.height() >= wanted.height(); };
        };
        const auto from = std::find_if(pictures.rbegin(), pictures.rend(), covering(size));
        const QImage picture = ImageUtility::scaledImage(from != pictures.rend() ? *from : pictures.constFirst(), size);
        // Scaling to the next smaller size starts by halving this picture (see scaledImage), so the
        // half is made from the rows as they are encoded; the first such pass also finds a gray page.
        const auto next = std::find_if(largestFirst.begin() + k + 1, largestFirst.end(), [&](qsizetype j) { return sizes[j] != size; });
        const bool halfNext = next != largestFirst.end() && ImageUtility::shrinksByHalving(size, sizes[*next]);
        QImage half;
        ImageUtility::saveJPEG(picture, files[i], rendition.quality, halfNext ? &half : nullptr);   // a failure leaves the file missing
        // The larger pictures are done with once this one covers every rendition still to make.
        if (std::all_of(largestFirst.begin() + k + 1, largestFirst.end(), [&](qsizetype j) { return covering(sizes[j])(picture); }))
            pictures.clear();
        pictures << picture;
        if (!half.isNull())
            pictures << half;
    }
    paths << files;
    if (iPreparedText)
        paths << (text ? writePageText(*text, pageNumber) : makePageText(pageNumber, doc));
    return paths;
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
        if (std::as_const(iPreparedRenditions)[slot] == rendition && !iClaimed.contains({pageNumber, slot}))
            return claimPrepared(pageNumber, slot);
    }
    return std::nullopt;
}
