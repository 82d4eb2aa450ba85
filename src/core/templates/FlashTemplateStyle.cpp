#include "templates/FlashTemplateStyle.h"
#include "templates/FlashTemplate.h"
#include "templates/StringUtil.h"
#include "util/AppInfo.h"
#include "util/BriskUtility.h"
#include "util/Log.h"
#include "util/NamedException.h"
#include "util/Xml.h"
#include "util/XmlText.h"
#include "zip/ZKExpansionLimits.h"
#include "zip/ZKFileArchive.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>

namespace {

NamedException styleError(const QString& reason) {
    return NamedException(QStringLiteral("FlashTemplateStyleErr"), reason);
}

QString deletingPathExtension(const QString& path) {
    const int dot = path.lastIndexOf('.');
    return dot > path.lastIndexOf('/') + 1 ? path.left(dot) : path;
}

void removeItem(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

// The work folder's "style" folder, where themes are staged and expanded.
QString workStyleFolder() {
    return BriskUtility::joinPath(AppInfo::shareInstance().appWorkdTmpFolder(), "style");
}

void expandArchive(const QString& archivePath, const QString& folder) {
    std::unique_ptr<ZKFileArchive> archive = ZKFileArchive::archiveWithArchivePath(archivePath);
    if (!archive)
        throw styleError(QStringLiteral("%1 is not a theme file (no zip archive)").arg(archivePath));
    // A theme is a settings text, a description and a few pictures.
    static const ZKExpansionLimits limits{64 << 20, 256, 100};
    if (const QString why = limits.check(archive->centralDirectory()); !why.isEmpty())
        throw styleError(QStringLiteral("%1 is refused as a theme: %2").arg(archivePath, why));
    if (archive->inflateToDirectory(folder, true) != ZKSucceeded)
        throw styleError(QStringLiteral("%1 could not be expanded: it is damaged or holds entries that "
                                        "would leave the theme folder").arg(archivePath));
}

// Writes the archive next to the destination first, so a failed export keeps an existing file.
void packFolder(const QString& folder, const QString& destination) {
    const QString part = destination + ".part";
    QFile::remove(part);
    std::unique_ptr<ZKFileArchive> archive = ZKFileArchive::archiveWithArchivePath(part);
    const int result = archive ? archive->deflateDirectory(folder, folder, false) : -1;
    std::error_code error;
    if (result == ZKSucceeded) {
        removeItem(destination);
        std::filesystem::rename(QFile::encodeName(part).toStdString(),
                                QFile::encodeName(destination).toStdString(), error);
    }
    if (result != ZKSucceeded || error) {
        QFile::remove(part);
        throw styleError(QStringLiteral("could not write the theme file %1").arg(destination));
    }
}

}

bool FlashTemplateStyle::runInWorkFolder(const QString& what, const QString& relativeFolder,
                                         const std::function<void(const QString&)>& step) {
    iErrorString.clear();
    const QString folder = AppInfo::shareInstance().tmpFolderForPath(relativeFolder);
    bool done = false;
    try {
        step(folder);
        done = true;
    } catch (const NamedException& e) {
        iErrorString = e.reason();
        spdlog::error("{} failed: {}", what, QString::fromUtf8(e.what()));
    } catch (const std::exception& e) {
        iErrorString = QString::fromUtf8(e.what());
        spdlog::error("{} failed: {}", what, iErrorString);
    }
    // No staging or expansion files survive, whatever happened.
    if (QFileInfo::exists(folder))
        QDir(workStyleFolder()).removeRecursively();
    return done;
}

bool FlashTemplateStyle::exprotStyleTo(const QString& path) {
    return runInWorkFolder("Theme export to " + path, "style/zip/", [&](const QString& staging) {
        if (!iFlashTmpl)
            throw styleError(QStringLiteral("no template to export a theme from"));
        stageStyle(staging);
        packFolder(staging, path);
    });
}

void FlashTemplateStyle::stageStyle(const QString& stagingFolder) const {
    saveMetaInfoTo(BriskUtility::joinPath(stagingFolder, "Meta.xml"));
    saveTmplExtFilesTo(stagingFolder, nullptr);
    iFlashTmpl->exportPropertiesSettingsTo(BriskUtility::joinPath(stagingFolder, "tmplSetting.txt"), true);
    if (!iStyleSnapShotImgFile.isEmpty() && QFileInfo(iStyleSnapShotImgFile).isFile())
        QFile::copy(iStyleSnapShotImgFile, BriskUtility::joinPath(stagingFolder, "shot.jpg"));
}

bool FlashTemplateStyle::importStyleFrom(const QString& path) {
    return runInWorkFolder("Theme import from " + path, "style/unzip/",
                           [&](const QString& expansion) { installStyle(path, expansion); });
}

void FlashTemplateStyle::installStyle(const QString& archivePath, const QString& expansionFolder) {
    if (!QFileInfo(archivePath).isFile())
        throw styleError(QStringLiteral("the theme file %1 does not exist").arg(archivePath));
    const QString scratch = BriskUtility::joinPath(expansionFolder, "tmp");
    QDir().mkpath(scratch);
    spdlog::debug("tmpFolder={}", scratch);
    expandArchive(archivePath, scratch);

    const QString metaPath = BriskUtility::joinPath(expansionFolder, "Meta.xml");
    if (!QFileInfo(metaPath).isFile())
        throw styleError(QStringLiteral("%1 holds no Meta.xml").arg(archivePath));
    iTemplateName.clear();
    try {
        readMetaInfoFrom(metaPath);
    } catch (const NamedException& e) {
        // The reason names the expansion folder, which means nothing to whoever chose the theme file.
        throw styleError(QStringLiteral("%1: %2").arg(archivePath, QString(e.reason()).replace(metaPath, QLatin1String("Meta.xml"))));
    }
    const QString styleName = QFileInfo(archivePath).completeBaseName();
    if (!StringUtil::isPlainName(iTemplateName) || !StringUtil::isPlainName(styleName))
        throw styleError(QStringLiteral("%1 names no usable template or theme (\"%2\", \"%3\")")
                             .arg(archivePath, iTemplateName, styleName));
    if (FlashTemplate::tmplPathForName(iTemplateName).isNull()) {
        // Not an error by the book: the answer stays true, the caller learns why nothing happened.
        iErrorString = QStringLiteral("the theme %1 belongs to the template \"%2\", which is not installed; "
                                    "nothing was installed").arg(styleName, iTemplateName);
        spdlog::info("{}", iErrorString);
        return;
    }
    const QString target = FlashTemplate::userStylesFolder() + iTemplateName + '/' + styleName;
    removeItem(target);
    QDir().mkpath(target + "/tmp");
    expandArchive(archivePath, target + "/tmp");
}

void FlashTemplateStyle::saveMetaInfoTo(const QString& path) const {
    pugi::xml_document doc;
    pugi::xml_node meta = doc.append_child("Meta");
    const std::pair<const char*, QString> fields[] = {
        {"FStyleName", deletingPathExtension(iStyleName)}, {"FFlashTemplateName", iTemplateName},
        {"FStyleDesc", iStyleDesc}, {"FTmplVersion", iTmplVersion}, {"FAppVersion", iAppVersion}};
    for (const auto& [name, value] : fields)
        meta.append_child(name).text().set(Xml::utf8(value).c_str());
    if (!Xml::saveFile(doc, path))
        spdlog::error("Could not saveMetaInfoTo:{}", path);
}

void FlashTemplateStyle::readMetaInfoFrom(const QString& path) {
    if (path.isEmpty()) {
        spdlog::error("Can't create an URL from file {}.", path);
        return;
    }
    pugi::xml_document doc;
    const Xml::ParseResult parsed = Xml::loadFile(doc, path);
    if (!parsed.ok) {
        spdlog::error("Can not read meta info from [{}],because:{}", path, parsed.error);
        return;
    }
    const std::pair<const char*, QString FlashTemplateStyle::*> fields[] = {
        {"FStyleName", &FlashTemplateStyle::iStyleName},
        {"FFlashTemplateName", &FlashTemplateStyle::iTemplateName},
        {"FStyleDesc", &FlashTemplateStyle::iStyleDesc},
        {"FTmplVersion", &FlashTemplateStyle::iTmplVersion},
        {"FAppVersion", &FlashTemplateStyle::iAppVersion}};
    const pugi::xml_node root = doc.document_element();
    for (const auto& [name, field] : fields) {
        const pugi::xml_node element = root.child(name);
        if (!element)
            throw NamedException(QStringLiteral("FlashStyleMetaErr"),
                                 QStringLiteral("%1 lacks the required element <%2>").arg(path, QLatin1String(name)));
        this->*field = XmlText::wholeText(element);
    }
}

void FlashTemplateStyle::saveTmplExtFilesTo(const QString& folder, const FlashTemplateProperty* pro) const {
    if (!iFlashTmpl)
        return;
    QDir().mkpath(folder);
    const auto& list = pro ? pro->childProperties() : iFlashTmpl->properties();
    for (const auto& child : list) {
        if (child->propertyType() == pt_file && !child->value().isEmpty()) {
            if (!QFileInfo(child->value()).isFile())
                continue;
            const QString copy = BriskUtility::joinPath(folder, child->key() + '.' + QFileInfo(child->value()).suffix());
            removeItem(copy);
            QFile::copy(child->value(), copy);
        }
        saveTmplExtFilesTo(folder, child.get());
    }
}
