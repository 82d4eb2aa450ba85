#pragma once
#include <QString>
#include <stdexcept>

// An exception carrying a name and a reason, as the book model raises them
// (for example "FlashOutlineXMLFormatErr").
class NamedException : public std::runtime_error {
public:
    NamedException(const QString& name, const QString& reason)
        : std::runtime_error((name + QStringLiteral(": ") + reason).toStdString()),
          iName(name), iReason(reason) {}
    const QString& name() const { return iName; }
    const QString& reason() const { return iReason; }

private:
    QString iName;
    QString iReason;
};
