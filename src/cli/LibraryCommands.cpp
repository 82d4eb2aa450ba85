#include "cli/LibraryCommands.h"

#include "cli/BookLook.h"
#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "output/BookProject.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateStyle.h"
#include "templates/StringUtil.h"
#include "util/AppIdentity.h"
#include "util/BriskUtility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QStringList folderNames(const QStringList& paths) {
    QStringList names;
    for (const QString& path : paths)
        names << QFileInfo(QDir::cleanPath(path)).fileName();
    names.removeDuplicates();
    return names;
}

QString requiredOutput(const CliArguments& args, const QString& extension) {
    if (args.value(QStringLiteral("output")).isEmpty())
        throw CliError(kExitUsage, QStringLiteral("-o FILE is needed: the file to write"));
    QString path = QFileInfo(args.value(QStringLiteral("output"))).absoluteFilePath();
    if (QFileInfo(path).fileName().isEmpty() || QFileInfo(path).isDir())
        throw CliError(kExitUsage, QStringLiteral("-o needs a file name, not the folder %1").arg(args.value(QStringLiteral("output"))));
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + extension;
    if (!QDir().mkpath(QFileInfo(path).path()))
        throw CliError(kExitCannotWrite, QStringLiteral("cannot create the folder %1").arg(QFileInfo(path).path()));
    return path;
}

QString singleInput(const CliArguments& args, const QString& what) {
    if (args.positionals().size() != 1)
        throw CliError(kExitUsage, QStringLiteral("%1 needs one %2").arg(args.command(), what));
    const QString path = args.positionals().first();
    if (!QFileInfo(path).isFile())
        throw CliError(kExitInput, QStringLiteral("no such file: %1").arg(path));
    return QFileInfo(path).absoluteFilePath();
}

// Lines "key=value" of a settings text whose key the template has.
int knownSettingCount(const QString& path, const QString& templateName) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CliError(kExitInput, QStringLiteral("cannot read the settings file %1").arg(path));
    FlashTemplate flashTemplate(FlashTemplate::Empty{});
    flashTemplate.loadTemplate(templateName);
    int count = 0;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
        if (line.contains(QLatin1Char('=')) && flashTemplate.propertyForKey(line.section(QLatin1Char('='), 0, 0).remove(QLatin1Char('\r'))))
            ++count;
    return count;
}

// The template of a published book (--book) or the one the look options describe.
std::shared_ptr<FlashTemplate> chosenTemplate(const CliArguments& args) {
    if (!args.has(QStringLiteral("book")))
        return BookLook::makeTemplate(args);
    BookProject project;
    if (!project.loadProjectFromOutputFolder(args.value(QStringLiteral("book"))))
        throw CliError(kExitInput, QStringLiteral("cannot reopen %1: %2").arg(args.value(QStringLiteral("book")), project.errorString()));
    BookLook::restyle(*project.book().flashTemplate, args);
    return project.book().flashTemplate;
}
}

namespace LibraryCommands {

int templates(QTextStream& out) {
    const QStringList names = folderNames(FlashTemplate::tmplNames());
    for (const QString& name : names) {
        if (FlashTemplate::tmplPathForName(name).isNull())
            continue;
        out << name << "  themes: " << folderNames(FlashTemplate::tmplStyleNamesForTmpl(name)).join(QStringLiteral(", ")) << '\n';
    }
    const QStringList mobile = QDir(FlashTemplate::mobileTemplatesFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    out << "mobile templates: " << mobile.join(QStringLiteral(", ")) << '\n';
    return kExitOk;
}

int themeExport(const CliArguments& args, QTextStream& out) {
    const QString path = requiredOutput(args, QStringLiteral("thm"));
    const auto flashTemplate = chosenTemplate(args);
    FlashTemplateStyle style;
    style.setFlashTmpl(flashTemplate.get());
    style.setAppVersion(AppIdentity::appVersion());
    style.setStyleDesc(args.value(QStringLiteral("description")));
    style.setStyleName(args.value(QStringLiteral("name"), QFileInfo(path).completeBaseName()));
    style.setTemplateName(flashTemplate->tmplName());
    style.setTmplVersion(flashTemplate->tmplVersion());
    if (!style.exprotStyleTo(path))
        throw CliError(kExitCannotWrite, QStringLiteral("cannot write the theme file %1: %2").arg(path, style.errorString()));
    out << path << '\n';
    return kExitOk;
}

int themeImport(const CliArguments& args, QTextStream& out) {
    const QString path = singleInput(args, QStringLiteral("theme file"));
    FlashTemplateStyle style;
    if (!style.importStyleFrom(path))
        throw CliError(kExitFailed, QStringLiteral("cannot import the theme %1: %2").arg(path, style.errorString()));
    if (!style.errorString().isEmpty())   // read, but its template is not here: nothing was installed
        throw CliError(kExitUnknownLook, style.errorString());
    out << "installed the theme " << QFileInfo(path).completeBaseName() << '\n';
    return kExitOk;
}

int settingsExport(const CliArguments& args, QTextStream& out) {
    const QString path = requiredOutput(args, QStringLiteral("txt"));
    const auto flashTemplate = chosenTemplate(args);
    QFile::remove(path);
    flashTemplate->exportPropertiesSettingsTo(path, false);
    if (!QFileInfo(path).isFile())
        throw CliError(kExitCannotWrite, QStringLiteral("cannot write the settings file %1").arg(path));
    out << path << '\n';
    return kExitOk;
}

// Settings text becomes a user theme: <user themes>/<template>/<name>/tmplSetting.txt.
int settingsImport(const CliArguments& args, QTextStream& out) {
    const QString path = singleInput(args, QStringLiteral("settings file"));
    if (!args.has(QStringLiteral("template")) || !args.has(QStringLiteral("name")))
        throw CliError(kExitUsage, QStringLiteral("settings-import needs --template NAME and --name THEME"));
    const QString templateName = args.value(QStringLiteral("template"));
    const QString themeName = args.value(QStringLiteral("name"));
    BookLook::checkTemplateExists(templateName);
    if (!StringUtil::isPlainName(themeName) || themeName.startsWith(QLatin1Char('.')))
        throw CliError(kExitUsage, QStringLiteral("--name must be a plain folder name, not \"%1\"").arg(themeName));
    if (knownSettingCount(path, templateName) == 0)
        throw CliError(kExitUsage, QStringLiteral("%1 holds no setting of the template \"%2\"").arg(path, templateName));

    const QString folder = BriskUtility::joinPath(FlashTemplate::userStylesFolder(), templateName + QLatin1Char('/') + themeName);
    const QString target = BriskUtility::joinPath(folder, QStringLiteral("tmplSetting.txt"));
    QFile::remove(target);
    if (!QDir().mkpath(folder) || !QFile::copy(path, target))
        throw CliError(kExitCannotWrite, QStringLiteral("cannot install the theme in %1").arg(folder));
    out << "installed the theme " << themeName << " of " << templateName << '\n';
    return kExitOk;
}

}
