#pragma once
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// One command line: the command, its positional arguments and its options (an option may be
// given more than once; the last value wins for single-valued ones).
class CliArguments {
public:
    // Checks every option against the command's table; throws CliError (usage) otherwise.
    static CliArguments parse(const QStringList& arguments);

    const QString& command() const { return iCommand; }
    const QStringList& positionals() const { return iPositionals; }
    bool has(const QString& option) const { return iValues.contains(option) || iFlags.contains(option); }
    QString value(const QString& option, const QString& fallback = {}) const;
    QStringList values(const QString& option) const { return iValues.value(option); }
    bool wantsHelp() const { return iFlags.contains(QStringLiteral("help")); }

private:
    QString iCommand;
    QStringList iPositionals;
    QHash<QString, QStringList> iValues;
    QSet<QString> iFlags;
};
