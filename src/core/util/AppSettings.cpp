#include "util/AppSettings.h"

#include "util/AppIdentity.h"
#include "util/Log.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

namespace {

std::unique_ptr<AppSettings>& instanceSlot() {
    static std::unique_ptr<AppSettings> instance;
    return instance;
}
QMutex creationLock;

QSettings store() {
    return QSettings(QStringLiteral("Quirevale"), AppIdentity::appShortName());
}

} // namespace

// The fields in the order they are loaded and saved, with their member and kind.
#define LM_SETTINGS_FIELDS(INT, STR) \
    INT(outputMobileVersion) STR(mobileTmplName) STR(languageOrder) STR(lastImportedFile) \
    INT(importPageRangeType) STR(importPageRange) INT(importQualityLevel) STR(lastOutputFileFolder) \
    STR(lastOutputFileName) STR(lastOutputFileTitle) STR(lastOutputKeyWords) STR(lastOutputDescription) \
    STR(lastOutputAddScript) INT(isAdvancedModify) INT(outputType) INT(importBookmark) INT(importLinks) \
    STR(lastUsedTemplateName) INT(renderEngineType) INT(isWindowRollUp)

AppSettings& AppSettings::shareInstance() {
    QMutexLocker l(&creationLock);
    auto& slot = instanceSlot();
    if (!slot) {
        slot.reset(new AppSettings());
        slot->initialise();
    }
    return *slot;
}

void AppSettings::resetForTesting() {
    QMutexLocker l(&creationLock);
    instanceSlot().reset();
}

QString AppSettings::defaultAddScript() {
    return QStringLiteral("<script type=text/javascript> \n//put your javascript code belowe\n</script>");
}

void AppSettings::saveSettings() {
    QSettings s = store();
    QMutexLocker l(&iLock);
    // An absent (null) string is stored as absent.
#define SAVE_INT(name) s.setValue(QStringLiteral(#name), i_##name);
#define SAVE_STR(name) if (i_##name.isNull()) s.remove(QStringLiteral(#name)); else s.setValue(QStringLiteral(#name), i_##name);
    LM_SETTINGS_FIELDS(SAVE_INT, SAVE_STR)
#undef SAVE_INT
#undef SAVE_STR
    s.sync();
}

void AppSettings::loadSettings() {
    QSettings s = store();
    QMutexLocker l(&iLock);
    // A missing or unreadable integer leaves the field as it is; a missing string is absent.
#define LOAD_INT(name) { bool ok = false; const int v = s.value(QStringLiteral(#name)).toInt(&ok); if (ok) i_##name = v; }
#define LOAD_STR(name) { const QVariant v = s.value(QStringLiteral(#name)); i_##name = v.isValid() ? v.toString() : QString(); if (v.isValid() && i_##name.isNull()) i_##name = QLatin1String(""); }
    LM_SETTINGS_FIELDS(LOAD_INT, LOAD_STR)
#undef LOAD_INT
#undef LOAD_STR
}

void AppSettings::initialise() {
    loadSettings();
    QMutexLocker l(&iLock);
    if (i_lastOutputAddScript.isNull()) i_lastOutputAddScript = defaultAddScript();
    for (QString* field : {&i_lastImportedFile, &i_importPageRange, &i_lastOutputFileFolder, &i_lastOutputFileName,
                           &i_lastOutputFileTitle, &i_lastOutputKeyWords, &i_lastOutputDescription,
                           &i_lastOutputAddScript, &i_languageOrder}) {
        if (field->isNull()) *field = QLatin1String("");
    }
    if (i_mobileTmplName.isNull()) i_mobileTmplName = QStringLiteral("Flip");
    if (i_lastUsedTemplateName.isNull()) i_lastUsedTemplateName = defaultTemplateName();
    i_renderEngineType = 0;
    i_isAdvancedModify = 0;
    i_isWindowRollUp = 0;
    if (i_lastOutputFileFolder.isEmpty()) {
        QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (documents.isEmpty()) documents = QDir::homePath();
        i_lastOutputFileFolder = documents + QStringLiteral("/Quirevale/");
        Log::system(QStringLiteral("pathDocument=%1").arg(documents));
        Log::system(QStringLiteral("self.lastOutputFileFolder=%1").arg(i_lastOutputFileFolder));
    }
    if (i_lastOutputFileName.isEmpty()) i_lastOutputFileName = QStringLiteral("Quirevale");
    if (i_lastOutputFileTitle.isEmpty()) i_lastOutputFileTitle = QStringLiteral("Demo");
}
