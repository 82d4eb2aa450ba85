#pragma once
#include "pages/FlashPage.h"
#include <QString>
#include <atomic>

// The pages of a book in their renditions: as imported, normal, zoomed, thumbnail and phone.
class FlashPageSource {
public:
    FlashPageSource() = default;
    virtual ~FlashPageSource() = default;
    FlashPageSource(const FlashPageSource&) = delete;
    FlashPageSource& operator=(const FlashPageSource&) = delete;

    // The live lists; callers may add to them.
    FlashPageList& pages() { return iPages; }
    FlashPageList& normalPages() { return iNormalPages; }
    FlashPageList& zoomedPages() { return iZoomedPages; }
    FlashPageList& thumbPages() { return iThumbPages; }
    FlashPageList& phonePages() { return iPhonePages; }
    const FlashPageList& pages() const { return iPages; }
    const FlashPageList& normalPages() const { return iNormalPages; }
    const FlashPageList& zoomedPages() const { return iZoomedPages; }
    const FlashPageList& thumbPages() const { return iThumbPages; }
    const FlashPageList& phonePages() const { return iPhonePages; }

    const QString& sourceFile() const { return iSourceFile; }
    void setSourceFile(const QString& path) { iSourceFile = path; }
    int renderEngineType() const { return iRenderEngineType; }   // 0 SWF pages, 1 JPEG pages
    void setRenderEngineType(int type) { iRenderEngineType = type; }
    // Raised (from any thread) when the work in progress must stop; polled before each page.
    bool stop() const { return iStoped.load(); }
    void setStop(bool stop) { iStoped.store(stop); }

    void clearPages();

    // Each fills one list and never makes a rendition the list already holds.
    virtual void generatePages() {}
    virtual void generateNormalPages() {}
    virtual void generateZoomedPages() {}
    virtual void generateThumbPages() {}
    virtual void generatePhonePages() {}

    // By position in pages().
    virtual FlashPagePtr getPageAtIndex(qsizetype position) const;
    // By page index, first match front to back.
    virtual FlashPagePtr getNormalPageAtIndex(int pageIndex) const;
    virtual FlashPagePtr getZoomedPageAtIndex(int pageIndex) const;
    virtual FlashPagePtr getThumbPageAtIndex(int pageIndex) const;
    virtual FlashPagePtr getPhonePageAtIndex(int pageIndex) const;

    // "ALL" or comma-separated numbers and from-to ranges: sorted 1-based page numbers, no duplicates.
    // Numbers are not checked against the total.
    static QList<int> parsePageRange(const QString& text, int totalPage);

protected:
    const std::atomic<bool>* stopFlag() const { return &iStoped; }
    FlashPagePtr findPageWithIndex(const FlashPageList& list, int pageIndex) const;
    // Answers whether index lookups give up once stop is raised.
    virtual bool lookupsHonourStop() const { return false; }

private:
    FlashPageList iPages;
    FlashPageList iNormalPages;
    FlashPageList iZoomedPages;
    FlashPageList iThumbPages;
    FlashPageList iPhonePages;
    QString iSourceFile;
    int iRenderEngineType = 0;
    std::atomic<bool> iStoped{false};
};
