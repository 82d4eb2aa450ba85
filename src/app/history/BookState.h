#pragma once
#include "output/Book.h"

#include <QString>

// Everything a book change replaces: the book's parts, the name it was imported under, and
// the page size its template was given for it.
struct BookState {
    Book book;
    QString bookName;   // empty for the demonstration book
    QString pageWidth;
    QString pageHeight;
    bool isDemo = false;
};
