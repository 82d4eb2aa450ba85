#include "zip/ZKSafePath.h"
#include "zip/ZKFileManagerAdditions.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
constexpr int kMaximumLinkDepth = 40;

QStringList componentsOf(const QString& name) {
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    return name.split(separators, Qt::SkipEmptyParts);
}

bool isAbsolute(const QString& name) {
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    return name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')) || drive.match(name).hasMatch();
}
}  // namespace

ZKSafePath::ZKSafePath(const QString& root) : iRoot(QFileInfo(root).canonicalFilePath()) {}

bool ZKSafePath::isSafeEntryName(const QString& name) {
    if (name.isEmpty() || isAbsolute(name) || name.contains(QChar(0)))
        return false;
    return !componentsOf(name).contains(QStringLiteral(".."));
}

bool ZKSafePath::isSafeLinkTarget(const QString& entryName, const QString& target) {
    if (target.isEmpty() || isAbsolute(target) || target.contains(QChar(0)))
        return false;
    int depth = int(componentsOf(entryName).size()) - 1;  // folders above the link
    for (const QString& part : componentsOf(target)) {
        if (part == QLatin1String(".."))
            --depth;
        else if (part != QLatin1String("."))
            ++depth;
        if (depth < 0)
            return false;
    }
    return true;
}

std::optional<QString> ZKSafePath::targetFor(const QString& entryName) const {
    if (iRoot.isEmpty() || !isSafeEntryName(entryName))
        return std::nullopt;
    QStringList parts = componentsOf(entryName);
    const QString last = parts.takeLast();
    const auto folder = resolve(iRoot, parts.join(QLatin1Char('/')), 0);
    if (!folder || last == QLatin1String("."))
        return folder;
    return *folder + QLatin1Char('/') + last;
}

bool ZKSafePath::linkStaysInside(const QString& linkPath, const QString& target) const {
    if (iRoot.isEmpty() || isAbsolute(target))
        return false;
    return resolve(QFileInfo(linkPath).path(), target, 0).has_value();
}

std::optional<QString> ZKSafePath::resolve(QString current, const QString& relative, int depth) const {
    if (depth > kMaximumLinkDepth)
        return std::nullopt;
    for (const QString& part : componentsOf(relative)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (current == iRoot)
                return std::nullopt;
            current = QFileInfo(current).path();
            continue;
        }
        const QString next = current + QLatin1Char('/') + part;
        if (!QFileInfo(next).isSymLink()) {
            current = next;
            continue;
        }
        const auto target = ZKFileManagerAdditions::linkTarget(next);
        if (!target || isAbsolute(*target))
            return std::nullopt;
        const auto resolved = resolve(current, *target, depth + 1);
        if (!resolved)
            return std::nullopt;
        current = *resolved;
    }
    return current;
}
