#pragma once
#include <QString>
#include <stdexcept>

// Exit codes of leafmill-cli.
enum CliExitCode {
    kExitOk = 0,
    kExitFailed = 1,           // the work ran but something was not written (the message lists what)
    kExitUsage = 2,            // unknown command or option, missing or bad value, bad page range
    kExitInput = 3,            // missing file or folder, unreadable PDF, image or published book
    kExitUnknownLook = 4,      // unknown template, theme, mobile template or setting
    kExitCannotWrite = 5,      // a folder that cannot be created or a file that cannot be written
};

// A failure to report to the user: one line of text and the exit code.
class CliError : public std::runtime_error {
public:
    CliError(CliExitCode code, const QString& message)
        : std::runtime_error(message.toStdString()), iCode(code), iMessage(message) {}
    CliExitCode code() const { return iCode; }
    const QString& message() const { return iMessage; }

private:
    CliExitCode iCode;
    QString iMessage;
};
