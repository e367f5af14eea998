#include "citationexport.h"
#include "citationtext.h"

namespace harvly {

namespace {

QString risType(CitationType type)
{
    switch (type) {
    case CitationType::Article:
        return QStringLiteral("JOUR");
    case CitationType::Conference:
        return QStringLiteral("CONF");
    case CitationType::Report:
        return QStringLiteral("RPRT");
    case CitationType::Unknown:
        break;
    }
    return QStringLiteral("GEN");
}

QString risName(const CitationName &n)
{
    if (!n.literal.isEmpty()) {
        return n.literal;
    }
    return n.given.isEmpty() ? n.family : n.family + QStringLiteral(", ") + n.given;
}

// "YYYY/MM/DD/", the parts not known left empty.
QString risDate(const CitationDate &d)
{
    const auto part = [](int n) {
        return n > 0 ? QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')) : QString();
    };
    return QStringLiteral("%1/%2/%3/").arg(d.year).arg(part(d.month), part(d.day));
}

} // namespace

bool WriteRis(QIODevice &device, const QList<CitationEntry> &entries, const CitationPaths &paths)
{
    QString out; // one record
    const auto tag = [&out](const char *name, const QString &value) {
        const QString line = OneLine(value);
        if (!line.isEmpty()) {
            out += QLatin1String(name);
            out += QLatin1String("  - ");
            out += line;
            out += QLatin1String("\r\n");
        }
    };
    for (const CitationEntry &e : entries) {
        out.resize(0);
        const CitationRecord *r = e.record.get();
        tag("TY", risType(ExportedType(r)));
        tag("TI", e.workTitle());
        if (r) {
            for (const CitationName &n : r->authors) {
                tag("AU", risName(n));
            }
            if (!r->issued.isEmpty()) {
                tag("PY", QString::number(r->issued.year));
                tag("DA", risDate(r->issued));
            }
            tag("T2", r->containerTitle);
            if (ExportedType(r) == CitationType::Article) {
                tag("JO", r->containerTitle); // the readers that know no T2 for a journal
            }
            tag("VL", r->volume);
            tag("IS", r->issue);
            tag("SP", r->firstPage);
            tag("EP", r->lastPage);
            tag("DO", r->doi);
            tag("SN", r->issn);
            tag("PB", r->publisher);
            tag("LA", r->language);
            tag("AB", r->abstract);
            for (const QString &k : r->keywords) {
                tag("KW", k);
            }
        }
        tag("UR", e.page());
        if (!e.file.isEmpty()) {
            tag("L1", paths.of(e.file));
        }
        out += QLatin1String("ER  - \r\n\r\n");
        if (device.write(out.toUtf8()) < 0) {
            return false;
        }
    }
    return true;
}

} // namespace harvly
