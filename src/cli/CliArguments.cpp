#include "cli/CliArguments.h"

#include "cli/CliCommandTable.h"
#include "cli/CliError.h"

namespace {
// "-o", "-h", "--quiet", "--output=x": an option, which is never taken as another option's value.
bool namesAnOption(const QString& argument) {
    if (argument == QLatin1String("-o") || argument == QLatin1String("-h"))
        return true;
    return argument.startsWith(QLatin1String("--"))
        && CliCommandTable::option(argument.mid(2).section(QLatin1Char('='), 0, 0)) != nullptr;
}

QString longName(const QString& argument) {
    if (argument == QLatin1String("-o"))
        return QStringLiteral("output");
    if (argument == QLatin1String("-h"))
        return QStringLiteral("help");
    return argument.mid(2);
}
}

CliArguments CliArguments::parse(const QStringList& arguments) {
    CliArguments args;
    if (arguments.isEmpty())
        return args;
    args.iCommand = arguments.first();
    if (args.iCommand == QLatin1String("--help") || args.iCommand == QLatin1String("-h")) {
        args.iCommand.clear();
        args.iFlags.insert(QStringLiteral("help"));
        return args;
    }
    const CliCommandTable::Command* command = CliCommandTable::command(args.iCommand);
    if (!command)
        throw CliError(kExitUsage, QStringLiteral("unknown command \"%1\" (see leafmill-cli --help)").arg(args.iCommand));
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            args.iPositionals << argument;
            continue;
        }
        QString name = longName(argument), inlineValue;
        bool hasInlineValue = false;
        if (const qsizetype equals = name.indexOf(QLatin1Char('=')); equals > 0 && argument.startsWith(QLatin1String("--"))) {
            inlineValue = name.mid(equals + 1);
            name = name.left(equals);
            hasInlineValue = true;
        }
        const CliCommandTable::Option* option = CliCommandTable::option(name);
        if (!option || !command->options.contains(name))
            throw CliError(kExitUsage, QStringLiteral("%1 does not take the option %2 (see leafmill-cli %1 --help)")
                                           .arg(args.iCommand, argument));
        if (option->valueName.isEmpty()) {
            args.iFlags.insert(name);
            continue;
        }
        if (!hasInlineValue) {
            if (i + 1 >= arguments.size() || namesAnOption(arguments[i + 1]))
                throw CliError(kExitUsage, QStringLiteral("the option --%1 needs a value (%2)").arg(name, option->valueName));
            inlineValue = arguments[++i];
        }
        args.iValues[name].append(inlineValue);
    }
    return args;
}

QString CliArguments::value(const QString& option, const QString& fallback) const {
    const QStringList list = iValues.value(option);
    return list.isEmpty() ? fallback : list.last();
}
