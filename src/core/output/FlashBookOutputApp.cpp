#include "output/FlashBookOutputApp.h"

#include "output/OutputFiles.h"
#include "util/BriskUtility.h"
#include "util/Resources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using BriskUtility::joinPath;

namespace {
// Git and some copies lose the executable bit; the launcher needs it.
void makeLaunchersExecutable(const QString& macOSFolder) {
    const auto names = QDir(macOSFolder).entryList(QDir::Files);
    for (const QString& name : names) {
        QFile file(joinPath(macOSFolder, name));
        file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    }
}
}

FlashBookOutputApp::FlashBookOutputApp(std::shared_ptr<FlashPageSource> pageSource,
                                       std::shared_ptr<FlashTemplate> flashTemplate, const QString& saveToFolder,
                                       const QString& toName)
    : FlashBookOutput(std::move(pageSource), std::move(flashTemplate),
                      joinPath(saveToFolder, bundleNameFor(toName) + QStringLiteral("/Contents/Resources")) + QLatin1Char('/'),
                      bundleNameFor(toName)) {}

// Only the last component counts, so the bundle (which is deleted first) stays in the folder.
QString FlashBookOutputApp::bundleNameFor(const QString& name) {
    const QFileInfo info(name);
    const QString file = info.fileName();
    const QString base = info.suffix().isEmpty() ? file : file.left(file.size() - info.suffix().size() - 1);
    return base + QStringLiteral(".app");
}

QString FlashBookOutputApp::outputHTMLFileName() const { return joinPath(saveToFolder(), QStringLiteral("index.html")); }

QString FlashBookOutputApp::outputFileName() const {
    return QFileInfo(QFileInfo(QDir::cleanPath(saveToFolder())).path()).path();
}

QString FlashBookOutputApp::publishFolder() const { return QFileInfo(outputFileName()).path(); }

// The bundle is made whole in the staging folder and replaces the previous one at the end.
void FlashBookOutputApp::writeTheBook() {
    const QString bundle = outputFileName();
    OutputFiles::removePath(bundle);
    QDir().mkpath(bundle);
    const QString contents = joinPath(bundle, QStringLiteral("Contents"));
    if (!OutputFiles::copyFolder(Resources::appFilesPath(QStringLiteral("TmplData/mac.app/Contents")), contents)) {
        noteWriteFailure(QStringLiteral("The application bundle %1 could not be made (the log says why)").arg(bundle));
        return;
    }
    makeLaunchersExecutable(joinPath(contents, QStringLiteral("MacOS")));
    QDir().mkpath(saveToFolder());
    FlashBookOutput::writeTheBook();
}
