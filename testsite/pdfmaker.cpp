#include "pdfmaker.h"

#include <QList>

namespace harvly::testsite {

namespace {

// The filler object's start: the object after the page's five.
QByteArray fillerHead(qint64 filler)
{
    return "6 0 obj\n<< /Length " + QByteArray::number(filler) + " >>\nstream\n";
}

} // namespace

PdfParts MakePdfParts(const QString &title, qint64 minSize)
{
    // Latin-1 text only; anything else shows as "?" on the page, which is enough here.
    QByteArray text = title.toLatin1();
    text.replace('\\', "\\\\").replace('(', "\\(").replace(')', "\\)");
    const QByteArray stream = "BT /F1 18 Tf 72 720 Td (" + text + ") Tj ET";
    const QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + QByteArray::number(stream.size()) + " >>\nstream\n" + stream +
            "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    // The filler is a stream of its own, at the end, as a large image or font is: readers
    // skip it by its length.
    PdfParts parts;
    parts.head = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << parts.head.size();
        parts.head += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qsizetype count = objects.size() + 2; // with the free entry and the filler
    const qsizetype fillerObject = parts.head.size();
    const auto tail = [&](qint64 filler) {
        QByteArray t = "\nendstream\nendobj\n";
        const qint64 xref = fillerObject + fillerHead(filler).size() + filler + t.size();
        t += "xref\n0 " + QByteArray::number(count) + "\n0000000000 65535 f \n";
        for (const qsizetype off : offsets) {
            t += QByteArray::number(off).rightJustified(10, '0') + " 00000 n \n";
        }
        t += QByteArray::number(fillerObject).rightJustified(10, '0') + " 00000 n \n";
        return t + "trailer\n<< /Size " + QByteArray::number(count) +
               " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    };
    // The filler brings the whole to minSize; only the digits of two numbers move with it.
    for (int i = 0; i < 3; ++i) {
        const qint64 frame =
            fillerObject + fillerHead(parts.filler).size() + tail(parts.filler).size();
        parts.filler = qMax<qint64>(0, minSize - frame);
    }
    parts.head += fillerHead(parts.filler);
    parts.tail = tail(parts.filler);
    return parts;
}

QByteArray MakePdf(const QString &title, int minSize)
{
    const PdfParts parts = MakePdfParts(title, minSize);
    return parts.head + QByteArray(parts.filler, 'x') + parts.tail;
}

} // namespace harvly::testsite
