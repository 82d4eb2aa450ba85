#pragma once
#include <QString>
#include <memory>
#include <pugixml.hpp>

class FlashTemplate;
class FlashPageSourceImg;
class FlashPagesAnnotations;
class FlashOutline;

// A published book folder read back for editing: its template and settings, its pages (pointing
// at the folder's own page files), outline and page links. Reading never changes the folder.
class BookProject {
public:
    // True on success; on failure every field is empty and lastError() says why.
    bool loadProjectFromOutputFolder(const QString& folder);
    // Builds the objects from a parsed description; throws NamedException for a description that
    // lacks extConfig or pages, names an unknown template, or points outside the folder.
    void parseOutputBookXML(const pugi::xml_document& doc, const QString& baseFolder);
    static QString fillFullPathForFlashURL(const QString& url, const QString& basePath);
    // Reopening a ZIP delivery is not supported.
    bool loadProjectFromZip(const QString&) { return false; }
    void clearObjs();

    const QString& lastError() const { return iLastError; }

    const std::shared_ptr<FlashTemplate>& flashTemplate() const { return iFlashTemplate; }
    void setFlashTemplate(std::shared_ptr<FlashTemplate> t) { iFlashTemplate = std::move(t); }
    const std::shared_ptr<FlashPageSourceImg>& flashPageSource() const { return iFlashPageSource; }
    void setFlashPageSource(std::shared_ptr<FlashPageSourceImg> s) { iFlashPageSource = std::move(s); }
    const std::shared_ptr<FlashPagesAnnotations>& flashPagesAnnotations() const { return iFlashPagesAnnotations; }
    void setFlashPagesAnnotations(std::shared_ptr<FlashPagesAnnotations> a) { iFlashPagesAnnotations = std::move(a); }
    const std::shared_ptr<FlashOutline>& flashOutline() const { return iFlashOutline; }
    void setFlashOutline(std::shared_ptr<FlashOutline> o) { iFlashOutline = std::move(o); }

private:
    void loadTemplate(const pugi::xml_node& root, const QString& baseFolder);
    void loadPages(const pugi::xml_node& pages, const QString& baseFolder);
    void loadLinks(const pugi::xml_node& root, const QString& baseFolder);

    std::shared_ptr<FlashTemplate> iFlashTemplate;
    std::shared_ptr<FlashPageSourceImg> iFlashPageSource;
    std::shared_ptr<FlashPagesAnnotations> iFlashPagesAnnotations;
    std::shared_ptr<FlashOutline> iFlashOutline;
    QString iLastError;
};
