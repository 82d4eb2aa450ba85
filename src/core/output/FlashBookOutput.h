#pragma once
#include "output/HTMLConfigInfo.h"
#include "pages/FlashPage.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <pugixml.hpp>

class FlashPageSource;
class FlashTemplate;
class FlashTemplateProperty;
class FlashOutline;
class FlashPagesAnnotations;

// The publishing engine: fills a folder with a book (page files in their sizes, setting and link
// files, the HTML page, files/book.bin and files/book.js, book.swf and, on request, the mobile
// version). It only reads the book objects.
class FlashBookOutput {
public:
    FlashBookOutput(std::shared_ptr<FlashPageSource> pageSource, std::shared_ptr<FlashTemplate> flashTemplate,
                    const QString& saveToFolder, const QString& toName);
    virtual ~FlashBookOutput();
    FlashBookOutput(const FlashBookOutput&) = delete;
    FlashBookOutput& operator=(const FlashBookOutput&) = delete;

    // ---- the whole book ----
    // Writes the folder; does nothing when the save folder does not exist. The book is made
    // aside and put in place whole at the end (StagedPublish); after a failure to write, the
    // book that was there stays as it was.
    void ouputTheBook();
    // Publishes into a scratch folder and packs it as <name>.zip in the save folder.
    void outputTheBookAsZip();
    virtual QString outputHTMLFileName() const;
    // The result to show the user: the HTML page, or the archive after outputTheBookAsZip.
    virtual QString outputFileName() const;
    QString outputSWFName() const;

    // Told after each page file of a step ("page", "thumb", "mobile") with the count so far.
    using ProgressHandler = std::function<void(const QString& step, qsizetype done, qsizetype total)>;
    void setProgressHandler(ProgressHandler handler) { iProgressHandler = std::move(handler); }

    // Problems the user would otherwise not learn of (page files that could not be copied, a book
    // description or HTML page that could not be written), cleared by every output.
    const QStringList& failures() const { return iFailures; }
    // Some of the failures were files that could not be written (no space, no permission, the
    // folder held by another publish): nothing was changed in the folder.
    bool writeFailed() const { return iWriteFailed; }

    // ---- book description ----
    std::unique_ptr<pugi::xml_document> bookXML() const;
    // Writes book.bin at the path and book.js beside it; false (logged) when writing failed.
    bool ouputBookXML(const QString& path);
    // Reads the written description back as the players will; a failure is noted.
    bool readsBack(const QString& path);
    void appendChildPropertyToNode(pugi::xml_node node, const FlashTemplateProperty& property) const;
    QString getNormalPageURL(const FlashPage& page) const;
    // The JPEG written beside a SWF page, for players that cannot read the movie.
    QString getImageTwinURL(const FlashPage& page) const;
    QString getZoomedPageURL(const FlashPage& page) const;
    QString getThumbPageURL(const FlashPage& page) const;
    QString getTextURL(int pageIndex) const;

    // ---- steps; an empty base folder means the save folder ----
    void prepaireNomalPage(const QString& baseFolder);
    void prepaireZoomendPage(const QString& baseFolder);
    void prepaireThumbPage(const QString& baseFolder);
    // Each page's text script, files/text/<index>.js, read back and written anew (a reopened
    // book's are untrusted); a page whose script cannot be read goes without a text layer.
    void prepareTextFiles(const QString& baseFolder);
    // The same texts once more in a few search parts, files/search/<K>.js, each holding whole pages
    // up to about kSearchPartBytes: leafmillSearchText(K,[[index,"text"],…]); a search over the
    // book reads these few files instead of one a page.
    void writeSearchParts(const QString& baseFolder);
    static constexpr qsizetype kSearchPartBytes = 256 * 1024;
    // The book's text page by page as HTML for readers without script, at most kNoscriptBytes.
    QString noscriptText() const;
    static constexpr qsizetype kNoscriptBytes = 200 * 1024;
    void prepaireExtFiles(const QString& baseFolder);
    void prepaireExtFiles(const QString& extFolder, const FlashTemplateProperty& atChildPro);
    void PrepareAnnotationFiles(const QString& baseFolder);
    void prepairePhonePage(const QString& baseFolder);
    // Puts the book's document into files/ for the download button when it has no address.
    void prepareDownloadFile(const QString& baseFolder);
    void preparePhoneHTMLFilesByConfig(const QString& baseFolder, const HTMLConfigInfo* htmlConfig);
    // The mobile configuration script for the template kind ("Flip" or any other).
    QString mobileConfigScript(const QString& templateKind) const;

    // ---- fields ----
    const std::shared_ptr<FlashTemplate>& flashTemplate() const { return iFlashTemplate; }
    void setFlashTemplate(std::shared_ptr<FlashTemplate> t) { iFlashTemplate = std::move(t); }
    const std::shared_ptr<FlashPageSource>& flashPageSource() const { return iFlashPageSource; }
    void setFlashPageSource(std::shared_ptr<FlashPageSource> s) { iFlashPageSource = std::move(s); }
    const std::shared_ptr<FlashPagesAnnotations>& flashPagesAnnotations() const { return iFlashPagesAnnotations; }
    void setFlashPagesAnnotations(std::shared_ptr<FlashPagesAnnotations> a) { iFlashPagesAnnotations = std::move(a); }
    const std::shared_ptr<FlashOutline>& flashOutline() const { return iFlashOutline; }
    void setFlashOutline(std::shared_ptr<FlashOutline> o) { iFlashOutline = std::move(o); }
    const QString& saveToFolder() const { return iSaveToFolder; }
    void setSaveToFolder(const QString& folder) { iSaveToFolder = folder; }
    const QString& saveToFileName() const { return iSaveToFileName; }
    void setSaveToFileName(const QString& name) { iSaveToFileName = name; }
    const std::shared_ptr<HTMLConfigInfo>& HTMLConfig() const { return iHTMLConfig; }
    void setHTMLConfig(std::shared_ptr<HTMLConfigInfo> config) { iHTMLConfig = std::move(config); }
    bool needExtInterface() const { return iNeedExtInterface; }
    void setNeedExtInterface(bool v) { iNeedExtInterface = v; }
    bool ouputTheMobileFiles() const { return iOuputTheMobileFiles; }
    void setOuputTheMobileFiles(bool v) { iOuputTheMobileFiles = v; }

protected:
    // The folder that the book's entries are published into and that is staged and locked.
    virtual QString publishFolder() const;
    // Every step, into the save folder (the staging folder while a publish runs).
    virtual void writeTheBook();
    QString baseFolderOr(const QString& baseFolder) const;
    // Copies page files to <base>/files/<folder>/<index>.<ext>; failures are remembered.
    void copyPages(const FlashPageList& pages, const QString& baseFolder, const QString& sizeFolder,
                   bool shareNormalPages = false);
    QString publishedPagePath(const QString& baseFolder, const QString& sizeFolder, const FlashPage& page) const;
    bool shareNormalPage(const FlashPage& page, const QString& baseFolder, const QString& target) const;
    // The zoom rendition of the page's index when the book has one apart from its normal page.
    FlashPagePtr zoomedPageOf(const FlashPage& normal) const;
    void writeHTMLPage();
    void writeImageTwins(const QString& baseFolder);
    QString downloadFileName(const QString& documentName) const;
    void noteFailure(const QString& text);
    void noteWriteFailure(const QString& text);
    void copyExtFile(const QString& folder, const FlashTemplateProperty& property);

    std::shared_ptr<FlashTemplate> iFlashTemplate;
    std::shared_ptr<FlashPageSource> iFlashPageSource;
    std::shared_ptr<FlashPagesAnnotations> iFlashPagesAnnotations;
    std::shared_ptr<FlashOutline> iFlashOutline;
    QString iSaveToFolder;
    QString iSaveToFileName;
    std::shared_ptr<HTMLConfigInfo> iHTMLConfig;
    const QString iResourceFolder = QStringLiteral("files");
    const QString iNormalPageFolder = QStringLiteral("page");
    const QString iZoomedPageFolder = QStringLiteral("large");
    const QString iTextFolder = QStringLiteral("text");
    const QString iThumbPageFolder = QStringLiteral("thumb");
    const QString iExterFilesFolder = QStringLiteral("extfiles");
    const QString iSearchInfoFolder = QStringLiteral("search");
    const QString iAnnotationFilesFolder = QStringLiteral("pageConfig");
    const QString iMobileFilesFolder = QStringLiteral("mobile");
    bool iNeedExtInterface = false;
    bool iOuputTheMobileFiles = false;
    QString iArchivePath;
    QStringList iFailures;
    QString iDownloadFileName;   // the document's name in files/, when the book offers it
    QSet<int> iImageTwins;   // page indices whose SWF page has its JPEG beside it
    struct PublishedText {
        int index;            // the page's index, as in its file names
        qsizetype number;     // its place in the book, from 1
        QString text;
    };
    QList<PublishedText> iPageTexts;   // the pages with a text script, in book order
    QHash<int, QString> iSearchParts;   // page index -> the address of the search part with its text
    bool iWriteFailed = false;
    ProgressHandler iProgressHandler;
};
