#pragma once
#include <QMutex>
#include <QString>
#include <QTextStream>

// A one-line progress bar redrawn in place on a terminal; silent when switched off.
class ProgressBar {
public:
    ProgressBar(QTextStream& stream, bool enabled) : iStream(stream), iEnabled(enabled) {}
    ~ProgressBar() { finish(); }

    // Safe to call from worker threads.
    void update(const QString& label, qsizetype done, qsizetype total);
    // Ends the line when a bar was drawn.
    void finish();

    static QString render(const QString& label, qsizetype done, qsizetype total, int width = 30);

private:
    QTextStream& iStream;
    bool iEnabled;
    bool iDrawn = false;
    QMutex iLock;
};
