#pragma once
#include <QString>
#include <functional>

class FlashTemplate;
class FlashTemplateProperty;

// A theme: a template's setting values with the files they point at and a preview picture.
// Exports the current settings as a "thm" archive and installs such archives into the user's
// themes folder.
class FlashTemplateStyle {
public:
    // Writes the theme file at the path (replacing it). Set flashTmpl, appVersion, styleDesc,
    // styleName, styleSnapShotImgFile, templateName and tmplVersion first.
    bool exprotStyleTo(const QString& path);
    // Installs the theme file into user themes/<templateName>/<file name without extension>,
    // replacing a theme of that name. False when the file is no archive, holds entries that
    // would leave the folder, lacks Meta.xml or names no usable template; errorString() says why.
    // A theme whose template is not installed installs nothing but answers true; errorString()
    // then says so.
    bool importStyleFrom(const QString& path);
    void saveMetaInfoTo(const QString& path) const;
    // Throws NamedException("FlashStyleMetaErr") when a required element is missing.
    void readMetaInfoFrom(const QString& path);
    // Copies the file of every pt_file setting below pro (or the whole tree) into the folder
    // as key + "." + extension.
    void saveTmplExtFilesTo(const QString& folder, const FlashTemplateProperty* pro) const;

    const QString& errorString() const { return iErrorString; }

    const QString& tmplVersion() const { return iTmplVersion; }
    void setTmplVersion(const QString& v) { iTmplVersion = v; }
    const QString& styleName() const { return iStyleName; }
    void setStyleName(const QString& v) { iStyleName = v; }
    const QString& styleDesc() const { return iStyleDesc; }
    void setStyleDesc(const QString& v) { iStyleDesc = v; }
    const QString& styleSnapShotImgFile() const { return iStyleSnapShotImgFile; }
    void setStyleSnapShotImgFile(const QString& v) { iStyleSnapShotImgFile = v; }
    const QString& templateName() const { return iTemplateName; }
    void setTemplateName(const QString& v) { iTemplateName = v; }
    const QString& appVersion() const { return iAppVersion; }
    void setAppVersion(const QString& v) { iAppVersion = v; }
    FlashTemplate* flashTmpl() const { return iFlashTmpl; }
    void setFlashTmpl(FlashTemplate* t) { iFlashTmpl = t; }

private:
    // Runs the step with the work folder's relative folder; errors become false and errorString().
    bool runInWorkFolder(const QString& what, const QString& relativeFolder,
                         const std::function<void(const QString&)>& step);
    void stageStyle(const QString& stagingFolder) const;
    void installStyle(const QString& archivePath, const QString& expansionFolder);

    QString iTmplVersion;
    QString iStyleName;
    QString iStyleDesc;
    QString iStyleSnapShotImgFile;
    QString iTemplateName;
    QString iAppVersion;
    FlashTemplate* iFlashTmpl = nullptr; // held, not owned
    QString iErrorString;
};
