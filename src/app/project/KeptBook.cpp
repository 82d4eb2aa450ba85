#include "app/project/KeptBook.h"

#include "output/BookProject.h"
#include "output/BookPublisher.h"
#include "output/OutputFiles.h"
#include "templates/FlashTemplate.h"
#include "util/AppIdentity.h"
#include "util/AppInfo.h"
#include "util/AtomicFile.h"
#include "util/BriskUtility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString kPage = QStringLiteral("index.html");
}

KeptBook::KeptBook(const QString& folder) : iFolder(folder) {}

QString KeptBook::defaultFolder() {
    return BriskUtility::joinPath(BriskUtility::applicationSupportRoot(),
                                  QStringLiteral("Quirevale/LeafMill/book_%1").arg(AppIdentity::appShortName()));
}

QString KeptBook::nameFile() const {
    return BriskUtility::joinPath(iFolder, QStringLiteral("keptBookName.txt"));
}

bool KeptBook::keep(const BookState& state) {
    iError.clear();
    if (state.isDemo) {
        forget();
        return true;
    }
    try {
        QDir().mkpath(iFolder);
        PublishOptions options;
        options.folder = iFolder;
        options.name = kPage;
        options.pageInfo.setHTMLTitle(state.bookName);
        const PublishResult result = BookPublisher::publish(state.book, options);
        if (!result.ok()) iError = result.errorString();
    } catch (const std::exception& error) {
        iError = QString::fromUtf8(error.what());
    }
    if (iError.isEmpty() && !AtomicFile::write(nameFile(), state.bookName.toUtf8()))
        iError = QStringLiteral("The name of the kept book could not be written to %1").arg(nameFile());
    return iError.isEmpty();
}

void KeptBook::forget() {
    QDir(iFolder).removeRecursively();
}

bool KeptBook::restore(BookState* state) {
    iError.clear();
    QFile name(nameFile());
    if (!QFileInfo::exists(BriskUtility::joinPath(iFolder, kPage)) || !name.open(QIODevice::ReadOnly)) return false;
    const QString copy = AppInfo::shareInstance().tmpFolderForPath(QStringLiteral("keptBook"));
    QDir(copy).removeRecursively();
    BookProject project;
    if (!OutputFiles::copyFolder(iFolder, copy)) {
        iError = QStringLiteral("the kept book could not be copied to %1 (the log says why)").arg(copy);
        return false;
    }
    if (!project.loadProjectFromOutputFolder(copy)) {
        iError = project.errorString();
        return false;
    }
    const Book& book = project.book();
    state->book.pageSource = book.pageSource;
    state->book.outline = book.outline;
    state->book.pageLinks = book.pageLinks;
    state->bookName = QString::fromUtf8(name.readAll());
    state->pageWidth = book.flashTemplate->propertyValueFor(QStringLiteral("pageWidth"), state->pageWidth);
    state->pageHeight = book.flashTemplate->propertyValueFor(QStringLiteral("pageHeight"), state->pageHeight);
    state->isDemo = false;
    return true;
}
