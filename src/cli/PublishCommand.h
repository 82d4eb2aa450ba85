#pragma once
#include "output/Book.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <memory>

class CliArguments;
class FlashTemplate;
class ProgressBar;

// `publish` (a PDF or images) and `reopen` (a published book): import or read the book, dress it
// and publish it as a folder, an application bundle or a ZIP archive.
class PublishCommand {
public:
    PublishCommand(const CliArguments& args, QTextStream& out, ProgressBar& progress);

    int publish();
    int reopen();

private:
    Book importPDF(const QString& path);
    void runImport(const QString& path, const QString& range, int level, int engineType, Book& book);
    Book importImages(const QStringList& paths);
    int publishBook(const Book& book, const QString& defaultTitle);
    QString outputFolder() const;
    void checkOutputOptions() const;
    void setPageSize(FlashTemplate& flashTemplate, int width, int height) const;
    bool zoomPages(const FlashTemplate& flashTemplate) const;

    const CliArguments& iArgs;
    QTextStream& iOut;
    ProgressBar& iProgress;
    QString iBlankPagesNote;   // the pages of the PDF that did not render, once the book is written
};
