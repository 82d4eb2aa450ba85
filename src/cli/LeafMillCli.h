#pragma once
#include <QStringList>
#include <QTextStream>

// leafmill-cli: runs one command line and answers the exit code. Results go to out, errors and
// the progress bar (only when err is a terminal) to err.
namespace LeafMillCli {
int run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool errIsTerminal);
}
