#pragma once
#include <QByteArray>
#include <QList>

// A PDF written object by object: numbered objects from 1, and finish() lays out the header, the
// bodies, an exact cross-reference table and the trailer. Used to make PDFs the page sources read
// (the sample book of the command line, test documents).
class PdfObjectWriter {
public:
    int reserve() {
        iBodies.append(QByteArray());
        return static_cast<int>(iBodies.size());
    }
    void set(int id, const QByteArray& body) { iBodies[id - 1] = body; }
    int add(const QByteArray& body) {
        const int id = reserve();
        set(id, body);
        return id;
    }
    // dict holds the entries without << >>; /Length is added.
    int addStream(const QByteArray& dict, const QByteArray& data) {
        const int id = reserve();
        set(id, "<< " + dict + " /Length " + QByteArray::number(data.size()) + " >>\nstream\n" + data + "\nendstream");
        return id;
    }
    // trailerExtra: more trailer entries, e.g. "/Info 7 0 R".
    QByteArray finish(int rootId, const QByteArray& trailerExtra = {}) const {
        QByteArray out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
        QList<qsizetype> offsets;
        for (qsizetype i = 0; i < iBodies.size(); ++i) {
            offsets.append(out.size());
            out += QByteArray::number(i + 1) + " 0 obj\n" + iBodies[i] + "\nendobj\n";
        }
        const qsizetype xref = out.size();
        out += "xref\n0 " + QByteArray::number(iBodies.size() + 1) + "\n0000000000 65535 f \n";
        for (qsizetype offset : offsets)
            out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
        out += "trailer\n<< /Size " + QByteArray::number(iBodies.size() + 1) + " /Root " + ref(rootId) + " " + trailerExtra +
               " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
        return out;
    }
    static QByteArray ref(int id) { return QByteArray::number(id) + " 0 R"; }

private:
    QList<QByteArray> iBodies;
};
