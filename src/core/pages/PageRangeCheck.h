#pragma once
#include <QString>

// The strict reading of a typed page range, for front ends that refuse a bad range before the
// import starts (the import itself reads ranges leniently, see FlashPageSource::parsePageRange).
class PageRangeCheck {
public:
    // True when the text is "ALL" (any case) or comma-separated numbers and from-to ranges, all
    // within 1..pageCount; spaces do not count. errorString() says what is wrong otherwise.
    bool check(const QString& text, int pageCount);
    // The range after a good check in its plain form: "ALL" or the text without spaces.
    const QString& range() const { return iRange; }
    const QString& errorString() const { return iErrorString; }

private:
    bool fail(const QString& reason);

    QString iRange;
    QString iErrorString;
};
