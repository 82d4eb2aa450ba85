#pragma once
#include "app/history/BookState.h"

#include <QString>

// The book the user works on, kept between runs as a published folder in the application-
// support folder. Keeping publishes into it (staged: an interrupted keep leaves the old or the
// new book whole); restoring reads a copy, so the kept folder can be replaced while the
// restored pages are in use.
class KeptBook {
public:
    explicit KeptBook(const QString& folder = defaultFolder());
    static QString defaultFolder();

    bool keep(const BookState& state);
    // The demonstration book needs no keeping: the kept book is removed.
    void forget();
    // False when nothing is kept or it cannot be read; the state is then untouched.
    bool restore(BookState* state);
    const QString& errorString() const { return iError; }

private:
    QString nameFile() const;

    QString iFolder;
    QString iError;
};
