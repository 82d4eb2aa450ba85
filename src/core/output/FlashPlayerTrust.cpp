#include "output/FlashPlayerTrust.h"

#include "util/BriskUtility.h"
#include "util/Log.h"
#include "util/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

using BriskUtility::joinPath;

namespace {
QString machineOverride, userOverride;

std::optional<QString> readUtf16(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    QStringDecoder decoder(QStringConverter::Utf16);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool writeUtf16(const QString& path, const QString& text) {
    QStringEncoder encoder(QStringConverter::Utf16, QStringConverter::Flag::WriteBom);
    return AtomicFile::write(path, encoder.encode(text));
}

void addToTrustFolder(const QString& folder, const QString& trustFolder) {
    QDir().mkpath(trustFolder);
    FlashPlayerTrust::writeTrustedFolderContent(folder, joinPath(trustFolder, QStringLiteral("PT.cfg")));
}
}

namespace FlashPlayerTrust {

QString machineTrustFolder() {
    return machineOverride.isEmpty() ? QStringLiteral("/etc/adobe/FlashPlayerTrust/") : machineOverride;
}

QString userTrustFolder() {
    return userOverride.isEmpty() ? joinPath(QDir::homePath(), QStringLiteral(".macromedia/Flash_Player/#Security/FlashPlayerTrust")) + QLatin1Char('/')
                                  : userOverride;
}

void setTrustFolders(const QString& machineFolder, const QString& userFolder) {
    machineOverride = machineFolder;
    userOverride = userFolder;
}

void makeDiractoryTrustByFlash(const QString& folder, bool forAllUsers) {
    if (forAllUsers)
        addToTrustFolder(folder, machineTrustFolder());
    addToTrustFolder(folder, userTrustFolder());
}

void writeTrustedFolderContent(const QString& folder, const QString& flashPath) {
    spdlog::debug("flash player trust folder is :{}", flashPath);
    QString content = folder;
    if (QFileInfo::exists(flashPath)) {
        const auto old = readUtf16(flashPath);
        if (!old) {
            spdlog::error("makeDiractoryTrustByFlash:{} cannot be read as UTF-16 text", flashPath);
            return;
        }
        if (old->split(QLatin1Char('\n')).contains(folder))
            return;
        content = *old + QLatin1Char('\n') + folder;
    }
    if (!writeUtf16(flashPath, content))
        spdlog::error("makeDiractoryTrustByFlash:could not write {}", flashPath);
    if (QFileInfo::exists(flashPath))
        spdlog::debug("file is exits!!");
    else
        spdlog::debug("{} file doest not exits!!!!!!!!!", flashPath);
}

}
