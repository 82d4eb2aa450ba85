#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// What each command accepts, and the help texts made from it.
namespace CliCommandTable {
struct Option {
    QString name;       // without "--"
    QString valueName;  // empty for a switch
    QString help;
};
struct Command {
    QString name;
    QString synopsis;
    QString summary;
    QStringList options;
    bool hidden = false;
};

const QList<Command>& commands();
const Command* command(const QString& name);
const Option* option(const QString& name);
QString generalHelp();
QString commandHelp(const QString& name);
}
