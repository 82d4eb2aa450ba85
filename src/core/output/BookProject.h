#pragma once
#include "output/Book.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <pugixml.hpp>

// A published book folder read back for editing: its template and settings, its pages (pointing
// at the folder's own page files), outline and page links. Reading never changes the folder.
class BookProject {
public:
    // True on success; on failure every field is empty and errorString() says why.
    bool loadProjectFromOutputFolder(const QString& folder);
    // Builds the objects from a parsed description; throws NamedException for a description that
    // lacks extConfig or pages, names an unknown template, or points outside the folder.
    void parseOutputBookXML(const pugi::xml_document& doc, const QString& baseFolder);
    static QString fillFullPathForFlashURL(const QString& url, const QString& basePath);
    // Reopening a ZIP delivery is not supported.
    bool loadProjectFromZip(const QString&) { return false; }
    void clearObjs();

    const QString& errorString() const { return iErrorString; }
    // What reading left out (files outside the folder, links, devices), for the user.
    const QStringList& warnings() const { return iWarnings; }

    // The book read back; its page source holds image pages.
    const Book& book() const { return iBook; }

private:
    void loadTemplate(const pugi::xml_node& root, const QString& baseFolder);
    void loadPages(const pugi::xml_node& pages, const QString& baseFolder);
    void loadDownloadFile(const pugi::xml_node& root, const QString& baseFolder);
    void loadLinks(const pugi::xml_node& root, const QString& baseFolder);
    QStringList filesInside(const QString& folder, const QString& baseFolder);
    void warn(const QString& text);

    Book iBook;
    QString iErrorString;
    QStringList iWarnings;
};
