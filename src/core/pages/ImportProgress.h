#pragma once
#include <QString>
#include <QVariantMap>

// Name of the notification posted after each page of each import pass; its user information is
// an ImportProgress.
inline const QString ImportProgressInfoMSG = QStringLiteral("ImportProgressInfoMSG");

// How far one pass of an import has come.
struct ImportProgress {
    QString type;        // "geneatePage", "geneateNormalPage", "geneateZoomedPage", "geneateThumbPage" or "geneatePhonePage"
    int pageIndex = 0;   // pages done in this pass, from 1
    int totalPage = 0;

    QVariantMap userInfo() const {
        return {{QStringLiteral("type"), type}, {QStringLiteral("pageIndex"), pageIndex}, {QStringLiteral("totalPage"), totalPage}};
    }
    static ImportProgress fromUserInfo(const QVariantMap& info) {
        return {info.value(QStringLiteral("type")).toString(), info.value(QStringLiteral("pageIndex")).toInt(),
                info.value(QStringLiteral("totalPage")).toInt()};
    }
};
