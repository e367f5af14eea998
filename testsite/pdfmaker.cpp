#include "pdfmaker.h"

#include <QList>

namespace harvly::testsite {

QByteArray MakePdf(const QString &title, int minSize)
{
    // Latin-1 text only; anything else shows as "?" on the page, which is enough here.
    QByteArray text = title.toLatin1();
    text.replace('\\', "\\\\").replace('(', "\\(").replace(')', "\\)");
    const QByteArray stream = "BT /F1 18 Tf 72 720 Td (" + text + ") Tj ET";
    QByteArray padding;
    if (minSize > 600) {
        padding = "% " + QByteArray(minSize - 600, 'x') + "\n";
    }
    const QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + QByteArray::number(stream.size()) + " >>\nstream\n" + stream +
            "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    QByteArray pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n" + padding;
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype off : offsets) {
        pdf += QByteArray::number(off).rightJustified(10, '0') + " 00000 n \n";
    }
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

} // namespace harvly::testsite
