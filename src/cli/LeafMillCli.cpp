#include "cli/LeafMillCli.h"

#include "cli/CliArguments.h"
#include "cli/CliCommandTable.h"
#include "cli/CliError.h"
#include "cli/LibraryCommands.h"
#include "cli/ProgressBar.h"
#include "cli/PublishCommand.h"
#include "cli/SamplePdfWriter.h"
#include "util/NamedException.h"

namespace {
int dispatch(const CliArguments& args, QTextStream& out, ProgressBar& progress) {
    const QString& command = args.command();
    if (command == QLatin1String("publish"))
        return PublishCommand(args, out, progress).publish();
    if (command == QLatin1String("reopen"))
        return PublishCommand(args, out, progress).reopen();
    if (command == QLatin1String("templates"))
        return LibraryCommands::templates(out);
    if (command == QLatin1String("theme-export"))
        return LibraryCommands::themeExport(args, out);
    if (command == QLatin1String("theme-import"))
        return LibraryCommands::themeImport(args, out);
    if (command == QLatin1String("settings-export"))
        return LibraryCommands::settingsExport(args, out);
    if (command == QLatin1String("settings-import"))
        return LibraryCommands::settingsImport(args, out);
    if (args.positionals().size() != 1)
        throw CliError(kExitUsage, QStringLiteral("make-sample-pdf needs the path of the PDF to write"));
    if (!SamplePdfWriter::write(args.positionals().first()))
        throw CliError(kExitCannotWrite, QStringLiteral("cannot write %1").arg(args.positionals().first()));
    return kExitOk;
}
}

namespace LeafMillCli {

int run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool errIsTerminal) {
    try {
        const CliArguments args = CliArguments::parse(arguments);
        if (args.command().isEmpty()) {
            (args.wantsHelp() ? out : err) << CliCommandTable::generalHelp();
            return args.wantsHelp() ? kExitOk : kExitUsage;
        }
        if (args.wantsHelp()) {
            out << CliCommandTable::commandHelp(args.command());
            return kExitOk;
        }
        const bool quiet = args.has(QStringLiteral("quiet"));
        QString discarded;
        QTextStream silent(&discarded);
        ProgressBar progress(err, errIsTerminal && !quiet);
        return dispatch(args, quiet ? silent : out, progress);
    } catch (const CliError& e) {
        err << "leafmill-cli: " << e.message() << '\n';
        return e.code();
    } catch (const NamedException& e) {
        err << "leafmill-cli: " << e.reason() << '\n';
        return kExitFailed;
    } catch (const std::exception& e) {
        err << "leafmill-cli: " << e.what() << '\n';
        return kExitFailed;
    }
}

}
