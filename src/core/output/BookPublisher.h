#pragma once
#include "output/Book.h"
#include "output/PublishOptions.h"

#include <QStringList>

// What a publish made: the file to show or open (the HTML page, the bundle or the archive) and
// the problems that left the book incomplete.
struct PublishResult {
    QString outputFile;
    QStringList failures;
    // Files could not be written (a full disk, a folder in use): the folder keeps its old book.
    bool writeFailed = false;

    bool ok() const { return failures.isEmpty(); }
    QString errorString() const { return failures.join(QLatin1Char('\n')); }
};

// The one way a book is published; the command line, the publish sheet and the live preview
// all come here. Makes the page renditions the book still lacks, then writes the folder, the
// application bundle or the archive. A template that cannot be used throws NamedException.
namespace BookPublisher {
PublishResult publish(const Book& book, const PublishOptions& options);
// The book description a publish with these options writes, as pretty-printed XML text.
QByteArray bookDescription(const Book& book, const PublishOptions& options);
}
