#pragma once
#include <QString>

// The texts that go into a book's HTML page: title, meta keywords and description, scripts.
class HTMLConfigInfo {
public:
    const QString& HTMLTitle() const { return iHTMLTitle; }
    void setHTMLTitle(const QString& v) { iHTMLTitle = v; }
    const QString& HTMLKeywords() const { return iHTMLKeywords; }
    void setHTMLKeywords(const QString& v) { iHTMLKeywords = v; }
    const QString& HTMLDescription() const { return iHTMLDescription; }
    void setHTMLDescription(const QString& v) { iHTMLDescription = v; }
    const QString& HTMLScript() const { return iHTMLScript; }
    void setHTMLScript(const QString& v) { iHTMLScript = v; }
    const QString& otherScript() const { return iOtherScript; }
    void setOtherScript(const QString& v) { iOtherScript = v; }
    // Markup for the page's <noscript> section (the book's text), inserted as it is.
    const QString& noscriptText() const { return iNoscriptText; }
    void setNoscriptText(const QString& v) { iNoscriptText = v; }

    // Fills the template page's placeholders and writes the result as UTF-8, atomically.
    // False (nothing written) when the page cannot be read or the result cannot be written.
    bool generateHTMLFrom(const QString& templatePath, const QString& outputPath) const;

    // A byte-order mark selects UTF-16 or UTF-8; without one UTF-8, or Latin-1 when that fails.
    static bool readTextFile(const QString& path, QString& text);
    static bool writeTextFile(const QString& path, const QString& text);

private:
    QString iHTMLTitle = QStringLiteral("Quire Vale");
    QString iHTMLKeywords = QStringLiteral("flip book,page flip,digital publication,e-book,PDF to flip book,Leaf Mill");
    QString iHTMLDescription = QStringLiteral("leafmill.example.org");
    QString iHTMLScript;
    QString iOtherScript;
    QString iNoscriptText;
};
