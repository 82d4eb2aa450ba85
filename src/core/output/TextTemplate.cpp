#include "output/TextTemplate.h"

namespace {
// Reads text the way the page templates have always been read: every scan first skips white space.
class Scanner {
public:
    explicit Scanner(const QString& text) : iText(text) {}

    bool atEndAfterSkipping() {
        skipWhiteSpace();
        return iPos >= iText.size();
    }
    QString scanUpTo(const QString& marker) {
        skipWhiteSpace();
        qsizetype end = iText.indexOf(marker, iPos);
        if (end < 0)
            end = iText.size();
        const QString scanned = iText.mid(iPos, end - iPos);
        iPos = end;
        return scanned;
    }
    void skipOver(const QString& marker) {
        skipWhiteSpace();
        if (QStringView(iText).mid(iPos).startsWith(marker))
            iPos += marker.size();
    }

private:
    void skipWhiteSpace() {
        while (iPos < iText.size() && iText.at(iPos).isSpace())
            ++iPos;
    }

    const QString& iText;
    qsizetype iPos = 0;
};
}

QString TextTemplate::parse() const {
    static const QString open = QStringLiteral("${");
    static const QString close = QStringLiteral("}");
    Scanner scanner(iFromStr);
    QString result;
    while (!scanner.atEndAfterSkipping()) {
        const QString literal = scanner.scanUpTo(open);
        scanner.skipOver(open);
        const QString key = scanner.scanUpTo(close);
        scanner.skipOver(close);
        result += literal;
        result += iKeyAndValues.value(key);
    }
    return result;
}
