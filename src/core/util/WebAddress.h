#pragma once
#include <QString>

// Link addresses from a PDF or a book, read the way a browser reads them before anything
// decides whether to follow one: tabs and line breaks anywhere are dropped and control
// characters and spaces around it are trimmed, so "java<TAB>script:" is seen as what it is.
namespace WebAddress {
// The address as a browser would read it.
QString normalized(const QString& address);
// The address to follow: web, mail, phone and FTP addresses, addresses relative to the book,
// and "example.org/page" (a host without a scheme) as https://example.org/page. Any other
// scheme (script, data, file …) and an empty address give an empty string.
QString followable(const QString& address);
// "example.org", "www.example.org/page", "example.org:8080?q": a host name, not a file name.
bool startsWithHost(const QString& address);
}
