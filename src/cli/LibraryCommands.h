#pragma once
#include <QTextStream>

class CliArguments;

// The library commands: templates, theme-export, theme-import, settings-export, settings-import.
namespace LibraryCommands {
int templates(QTextStream& out);
int themeExport(const CliArguments& args, QTextStream& out);
int themeImport(const CliArguments& args, QTextStream& out);
int settingsExport(const CliArguments& args, QTextStream& out);
int settingsImport(const CliArguments& args, QTextStream& out);
}
