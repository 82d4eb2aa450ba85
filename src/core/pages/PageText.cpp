#include "pages/PageText.h"
#include "util/AtomicFile.h"
#include "util/ScriptText.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <memory>
#include <string_view>
#include <poppler-qt6.h>

namespace {
// Text a PDF gives may hold control characters and broken surrogate pairs: neither reaches the book.
QString cleaned(const QString& word) {
    QString out;
    out.reserve(word.size());
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar c = word.at(i);
        if (c.isHighSurrogate() && i + 1 < word.size() && word.at(i + 1).isLowSurrogate()) {
            out += c;
            out += word.at(++i);
        } else if (c.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
        } else if (c.unicode() >= 0x20 && (c.unicode() < 0x7f || c.unicode() > 0x9f)) {
            out += c;
        }
    }
    return out;
}

// A fraction of the page with at most four decimals and no trailing zeros: "0.1235", "1", "0".
void appendFraction(QByteArray& out, double value) {
    char digits[32];
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 4);
    std::string_view text(digits, written.ec == std::errc() ? std::size_t(written.ptr - digits) : 0);
    while (text.find('.') != std::string_view::npos && (text.ends_with('0') || text.ends_with('.')))
        text.remove_suffix(1);
    if (text.empty() || text == "-0")
        text = "0";
    out.append(text.data(), qsizetype(text.size()));
}

void appendInteger(QByteArray& out, qint64 value) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
}

bool isFraction(double value) { return std::isfinite(value) && value >= 0 && value <= 1; }
}

bool PageText::append(const QString& word, const QRectF& box, const QString& separator) {
    if (words.size() >= kMaxWords || text.size() + separator.size() + word.size() > kMaxTextLength)
        return false;
    if (!words.isEmpty())
        text += separator;
    words.append({int(text.size()), int(word.size()), box});
    text += word;
    return true;
}

bool PageText::appendPlaced(const QString& word, const QRectF& points, const QSizeF& shown, QString& separator) {
    const QRectF place(points.x() / shown.width(), points.y() / shown.height(), points.width() / shown.width(),
                       points.height() / shown.height());
    const QRectF visible = place.normalized().intersected(QRectF(0, 0, 1, 1));
    const QString clean = cleaned(word);
    if (clean.isEmpty() || visible.isEmpty())
        return true;
    if (!append(clean, visible, separator))
        return false;
    separator.clear();
    return true;
}

PageText PageText::fromCharacters(const QString& text, const QList<QRectF>& boxes, const QSizeF& shown) {
    PageText page;
    if (shown.width() <= 0 || shown.height() <= 0)
        return page;
    QString word, separator;
    QRectF box;
    for (qsizetype i = 0, character = 0; i < text.size() && character < boxes.size(); ++character) {
        const QChar c = text.at(i);
        const qsizetype length = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        if (c != QLatin1Char(' ') && c != QLatin1Char('\n')) {
            word.append(text.constData() + i, length);
            box = box.isNull() ? boxes[character].normalized() : box.united(boxes[character].normalized());
        } else {
            if (!word.isEmpty() && !page.appendPlaced(word, box, shown, separator))
                return page;
            if (!page.words.isEmpty() && separator != QLatin1String("\n"))
                separator = c;
            word.clear();
            box = QRectF();
        }
        i += length;
    }
    if (!word.isEmpty())
        page.appendPlaced(word, box, shown, separator);
    return page;
}

PageText PageText::fromPage(Poppler::Document* doc, int pageNumber) {
    PageText page;
    if (!doc || doc->isLocked() || pageNumber < 1 || pageNumber > doc->numPages())
        return page;
    const std::unique_ptr<Poppler::Page> pdfPage(doc->page(pageNumber - 1));
    const QSizeF shown = pdfPage ? pdfPage->pageSizeF() : QSizeF();
    if (shown.width() <= 0 || shown.height() <= 0)
        return page;
    const std::vector<std::unique_ptr<Poppler::TextBox>> boxes = pdfPage->textList();
    QString separator;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const Poppler::TextBox& box = *boxes[i];
        const qsizetype before = page.words.size();
        // Boxes are in points of the shown page from its top left, like pageSizeF().
        if (!page.appendPlaced(box.text(), box.boundingBox(), shown, separator))
            break;
        if (page.words.size() == before)
            continue;
        // The next box on the same line follows after a space (or directly, inside one word).
        const bool sameLine = i + 1 < boxes.size() && box.nextWord() == boxes[i + 1].get();
        separator = sameLine ? (box.hasSpaceAfter() ? QStringLiteral(" ") : QString()) : QStringLiteral("\n");
    }
    return page;
}

// Written straight as bytes: a page of a manual holds thousands of numbers, and this runs for every page.
QByteArray PageText::script(int pageIndex) const {
    const QByteArray literal = ScriptText::literal(text).toUtf8();
    QByteArray out;
    out.reserve(literal.size() + words.size() * 40 + 64);
    out += "leafmillPageText(";
    appendInteger(out, pageIndex);
    out += ",{\"t\":";
    out += literal;
    out += ",\"w\":[";
    for (qsizetype i = 0; i < words.size(); ++i) {
        const Word& word = words[i];
        if (i > 0)
            out += ',';
        appendInteger(out, word.start);
        out += ',';
        appendInteger(out, word.length);
        for (const double value : {word.box.x(), word.box.y(), word.box.width(), word.box.height()}) {
            out += ',';
            appendFraction(out, value);
        }
    }
    out += "]});\n";
    return out;
}

bool PageText::writeScript(const QString& path, int pageIndex) const {
    return AtomicFile::write(path, script(pageIndex));
}

std::optional<PageText> PageText::readScript(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxScriptBytes)
        return std::nullopt;
    static const QRegularExpression call(QStringLiteral("^\\s*leafmillPageText\\(\\s*\\d+\\s*,(.*)\\)\\s*;?\\s*$"),
                                         QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = call.match(QString::fromUtf8(file.readAll()));
    if (!match.hasMatch())
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(match.captured(1).toUtf8()).object();
    const QJsonArray numbers = object.value(QStringLiteral("w")).toArray();
    if (!object.value(QStringLiteral("t")).isString() || numbers.size() % 6 != 0 || numbers.size() / 6 > kMaxWords)
        return std::nullopt;
    PageText page;
    page.text = object.value(QStringLiteral("t")).toString();
    if (page.text.size() > kMaxTextLength)
        return std::nullopt;
    for (qsizetype i = 0; i < numbers.size(); i += 6) {
        const double start = numbers[i].toDouble(-1), length = numbers[i + 1].toDouble(-1);
        const QRectF box(numbers[i + 2].toDouble(-1), numbers[i + 3].toDouble(-1), numbers[i + 4].toDouble(-1),
                         numbers[i + 5].toDouble(-1));
        const bool inText = start >= 0 && length >= 0 && start == std::floor(start) && length == std::floor(length) &&
                            start + length <= page.text.size();
        if (!inText || !isFraction(box.x()) || !isFraction(box.y()) || !isFraction(box.width()) || !isFraction(box.height()))
            return std::nullopt;
        page.words.append({int(start), int(length), box});
    }
    return page;
}
