#pragma once
#include <QMutex>
#include <QString>

// The user's choices remembered between runs, stored in QSettings under the keys named here.
class AppSettings {
public:
    static AppSettings& shareInstance();

    void saveSettings();
    void loadSettings();

#define LM_INT_FIELD(name, setter) \
    int name() const { QMutexLocker l(&iLock); return i_##name; } \
    void setter(int v) { QMutexLocker l(&iLock); i_##name = v; }
#define LM_STR_FIELD(name, setter) \
    QString name() const { QMutexLocker l(&iLock); return i_##name; } \
    void setter(const QString& v) { QMutexLocker l(&iLock); i_##name = v; }

    LM_INT_FIELD(outputMobileVersion, setOutputMobileVersion)
    LM_STR_FIELD(mobileTmplName, setMobileTmplName)
    LM_STR_FIELD(languageOrder, setLanguageOrder)
    LM_STR_FIELD(lastImportedFile, setLastImportedFile)
    LM_INT_FIELD(importPageRangeType, setImportPageRangeType)
    LM_STR_FIELD(importPageRange, setImportPageRange)
    LM_INT_FIELD(importQualityLevel, setImportQualityLevel)
    LM_STR_FIELD(lastOutputFileFolder, setLastOutputFileFolder)
    LM_STR_FIELD(lastOutputFileName, setLastOutputFileName)
    LM_STR_FIELD(lastOutputFileTitle, setLastOutputFileTitle)
    LM_STR_FIELD(lastOutputKeyWords, setLastOutputKeyWords)
    LM_STR_FIELD(lastOutputDescription, setLastOutputDescription)
    LM_STR_FIELD(lastOutputAddScript, setLastOutputAddScript)
    LM_INT_FIELD(isAdvancedModify, setIsAdvancedModify)
    LM_INT_FIELD(outputType, setOutputType)
    LM_INT_FIELD(importBookmark, setImportBookmark)
    LM_INT_FIELD(importLinks, setImportLinks)
    LM_STR_FIELD(lastUsedTemplateName, setLastUsedTemplateName)
    LM_INT_FIELD(renderEngineType, setRenderEngineType)
    LM_INT_FIELD(isWindowRollUp, setIsWindowRollUp)
#undef LM_INT_FIELD
#undef LM_STR_FIELD

    // The extra HTML a fresh store offers.
    static QString defaultAddScript();
    // The template a fresh store names, and the one to fall back on when a template is gone.
    static QString defaultTemplateName() { return QStringLiteral("Neat"); }
    // Runs the start-up steps again on a fresh object (tests and a settings reset use it).
    static void resetForTesting();

private:
    AppSettings() = default;
    void initialise();

    mutable QMutex iLock;
    int i_outputMobileVersion = 0, i_importPageRangeType = 0, i_importQualityLevel = 0,
        i_isAdvancedModify = 0, i_outputType = 0, i_importBookmark = 0, i_importLinks = 0,
        i_renderEngineType = 0, i_isWindowRollUp = 0;
    QString i_mobileTmplName, i_languageOrder, i_lastImportedFile, i_importPageRange,
        i_lastOutputFileFolder, i_lastOutputFileName, i_lastOutputFileTitle, i_lastOutputKeyWords,
        i_lastOutputDescription, i_lastOutputAddScript, i_lastUsedTemplateName;
};
