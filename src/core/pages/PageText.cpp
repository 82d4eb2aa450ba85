#include "pages/PageText.h"
#include "util/AtomicFile.h"
#include "util/ScriptText.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cmath>
#include <memory>
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

QString fraction(double value) {
    QString text = QString::number(value, 'f', 4);
    while (text.contains(QLatin1Char('.')) && (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
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

QByteArray PageText::script(int pageIndex) const {
    QString numbers;
    numbers.reserve(words.size() * 36);
    for (const Word& word : words) {
        if (!numbers.isEmpty())
            numbers += QLatin1Char(',');
        numbers += QStringLiteral("%1,%2,%3,%4,%5,%6")
                       .arg(word.start)
                       .arg(word.length)
                       .arg(fraction(word.box.x()), fraction(word.box.y()), fraction(word.box.width()),
                            fraction(word.box.height()));
    }
    return QStringLiteral("leafmillPageText(%1,{\"t\":%2,\"w\":[%3]});\n")
        .arg(pageIndex)
        .arg(ScriptText::literal(text), numbers)
        .toUtf8();
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
