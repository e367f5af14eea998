#include "pages.h"

#include <zlib.h>

#include <optional>

#include "pdfmaker.h"
#include "recordpages.h"

#include <QStringList>

namespace harvly::testsite {

Response Response::html(const QByteArray &body, int status)
{
    Response r;
    r.status = status;
    r.body = body;
    return r;
}

Response Response::redirect(const QByteArray &location, int status)
{
    Response r = html("<html><body>Moved</body></html>", status);
    r.headers.append(qMakePair(QByteArray("Location"), location));
    return r;
}

namespace {

const char *const kStyle = R"(<style>
body{font-family:sans-serif;margin:0;color:#222;background:#f6f7f9}
header{background:#1f3a5f;color:#fff;padding:10px 24px;font-size:20px}
header a{color:#cfe0f5;font-size:14px;margin-left:18px}
main{padding:16px 24px}
.contentArea,.item,.rec{background:#fff;border:1px solid #dde2e8;border-radius:4px;padding:10px;margin:8px 0}
.meta{color:#667;font-size:13px;display:block;margin:4px 0}
a{color:#1a5fb4}
.pager a{margin-right:12px}
form.search{background:#fff;padding:20px;border:1px solid #dde2e8;border-radius:4px;max-width:720px}
input[type=text],input[type=password]{padding:6px;width:60%}
</style>)";

QString escape(const QString &s)
{
    return s.toHtmlEscaped();
}

QByteArray page(const QString &title, const QString &body, const QString &head = {})
{
    return QStringLiteral(
               "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title>%2%4"
               "</head><body><header>Sample Literature Database"
               "<a href=\"/\">Search</a><a href=\"/login\">Log in</a>"
               "<a href=\"/account\">My account</a></header><main>%3</main></body></html>")
        .arg(escape(title), QString::fromLatin1(kStyle), body, head)
        .toUtf8();
}

const QStringList kTopics = {
    "Deep learning for protein structure prediction", "Urban heat islands & public health",
    "Microplastics in freshwater ecosystems",         "Monetary policy under uncertainty",
    "CRISPR screening in cancer cell lines",          "Language acquisition in bilingual children",
    "Graphene membranes for water desalination",      "Labour markets after automation",
    "Soil carbon and regenerative agriculture",       "Quantum error correction with surface codes",
};
const QStringList kKinds = {"a systematic review", "evidence from panel data", "新的研究进展"};

} // namespace

QString RecordTitle(int id)
{
    id = qMax(1, id); // any number in an address names some record
    const int i = (id - 1) % kTopics.size();
    const int k = (id - 1) / kTopics.size() % kKinds.size();
    return QStringLiteral("%1: %2 (No. %3)").arg(kTopics.at(i), kKinds.at(k)).arg(id);
}

namespace {

int pageOf(const Request &r)
{
    return qBound(1, r.query.queryItemValue("page").toInt(), kPages);
}

QString pager(const Request &r, int layout, bool chineseArrow)
{
    const int p = pageOf(r);
    const QString q = QString::fromUtf8(QUrl::toPercentEncoding(r.query.queryItemValue("q")));
    QString html = QStringLiteral("<div class=\"pager\">Page %1 of %2 ").arg(p).arg(kPages);
    if (p > 1) {
        html +=
            QStringLiteral("<a href=\"/search?q=%1&amp;layout=%2&amp;page=%3\">Previous page</a>")
                .arg(q)
                .arg(layout)
                .arg(p - 1);
    }
    if (p < kPages) {
        // "selfnext" makes the next-page link name the page itself, as a broken pager can.
        const QString href =
            QStringLiteral("/search?q=%1&amp;layout=%2&amp;page=%3%4")
                .arg(q)
                .arg(layout)
                .arg(r.query.hasQueryItem("selfnext") ? p : p + 1)
                .arg(r.query.hasQueryItem("selfnext") ? QStringLiteral("&amp;selfnext=1")
                                                      : QString());
        html += chineseArrow
                    ? QStringLiteral(
                          "<a class=\"arrows_base_sprite arrow_next\" href=\"%1\">下一页</a>")
                          .arg(href)
                    : QStringLiteral("<a class=\"pagerNext\" href=\"%1\"> Next page &raquo;</a>")
                          .arg(href);
    }
    return html + QStringLiteral("</div>");
}

// Layout 1: each record a "contentArea" division with title, PDF and full-text anchors.
QString contentAreaRecords(const Request &r)
{
    const int first = (pageOf(r) - 1) * kRecordsPerPage + 1;
    QString html = QStringLiteral(
        "<div class=\"contentArea sponsored\"><a class=\"previewTitle resultTitle topicsResult\" "
        "href=\"/docview/999\">Sponsored: not a result</a><a class=\"formats_base_sprite "
        "format_pdf\" href=\"/pdf/999.pdf\">PDF</a></div>");
    for (int id = first; id < first + kRecordsPerPage; ++id) {
        html += QStringLiteral("<div class=\"contentArea\"><a class=\"previewTitle resultTitle "
                               "topicsResult\" href=\"/docview/%1\">\n  %2\n</a>"
                               "<span class=\"meta\">Journal of Samples, vol. %1</span>")
                    .arg(id)
                    .arg(escape(RecordTitle(id)));
        if (id % 10 != 5) { // every fifth record has no PDF, only the HTML full text
            html += QStringLiteral("<a class=\"formats_base_sprite format_pdf\" "
                                   "href=\"/docview/%1/fulltextPDF?accountid=7&amp;src=spc\">"
                                   "Full text - PDF</a> ")
                        .arg(id);
        }
        html +=
            QStringLiteral("<a class=\"addFlashPageParameterformat_fulltext formats_base_sprite "
                           "format_fulltext\" href=\"/docview/%1/fulltext?accountid=7&amp;src=dt\">"
                           "Full text</a></div>")
                .arg(id);
    }
    return html;
}

// Layout 2: title and PDF link in separate divisions.
QString itemTitRecords(const Request &r)
{
    const int first = (pageOf(r) - 1) * kRecordsPerPage + 1;
    QString html;
    for (int id = first; id < first + kRecordsPerPage; ++id) {
        html +=
            QStringLiteral(
                "<div class=\"rec\"><div class=\"item_tit\"><a href=\"/docview/%1\">%2</a></div>"
                "<div class=\"meta\">Authors of record %1</div><div class=\"meta\">Abstract "
                "text</div><div class=\"item_text2\"><a href=\"/docview/%1\">查看摘要</a> "
                "<a href=\"/pdf/%1.pdf?accountid=7&amp;src=dt\">查看PDF全文</a></div></div>")
                .arg(id)
                .arg(escape(RecordTitle(id)));
    }
    return html;
}

// Layout 3: each record an "item" division; full-text anchors told by their text.
QString itemRecords(const Request &r)
{
    const int first = (pageOf(r) - 1) * kRecordsPerPage + 1;
    QString html;
    for (int id = first; id < first + kRecordsPerPage; ++id) {
        const bool pdf = id % 10 != 5;
        html += QStringLiteral("<div class=\"item\"><a class=\"previewTitle topicsResult\" "
                               "href=\"/docview/%1\">%2</a><span class=\"meta\">Record %1</span>")
                    .arg(id)
                    .arg(escape(RecordTitle(id)));
        html += pdf ? QStringLiteral("<a href=\"/docview/%1?accountid=7&amp;src=pq1\">Full text - "
                                     "PDF</a></div>")
                          .arg(id)
                    : QStringLiteral("<a href=\"/docview/%1/fulltext?src=pq1\">Full text</a></div>")
                          .arg(id);
    }
    return html;
}

Response search(const Request &r)
{
    const int layout = qBound(1, r.query.queryItemValue("layout").toInt(), 4);
    const QString q = r.query.queryItemValue("q");
    QString body = QStringLiteral("<h2>Results for &ldquo;%1&rdquo;</h2>").arg(escape(q));
    switch (layout) {
    case 1:
        body += contentAreaRecords(r) + pager(r, 1, false);
        break;
    case 2:
        body += itemTitRecords(r) + pager(r, 2, true);
        break;
    case 3:
        body += itemRecords(r) + pager(r, 3, false);
        break;
    default: {
        // The records arrive by script a moment after the page has loaded.
        QString records = contentAreaRecords(r) + pager(r, 4, false);
        records.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('`'), QLatin1String("\\`"))
            .replace(QLatin1String("${"), QLatin1String("\\${"));
        body += QStringLiteral("<div id=\"results\">Loading results ...</div><script>"
                               "window.addEventListener('load',()=>setTimeout(()=>{"
                               "document.getElementById('results').innerHTML=`%1`;},%2));</script>")
                    .arg(records)
                    .arg(qBound(0, r.query.queryItemValue("delay").toInt(), 10000) ?: 600);
    }
    }
    return Response::html(page(QStringLiteral("Search results"), body));
}

Response home()
{
    return Response::html(page(
        QStringLiteral("Sample Literature Database"),
        QStringLiteral(
            "<form class=\"search\" action=\"/search\" method=\"get\"><h2>Search the database</h2>"
            "<p><input type=\"text\" name=\"q\" id=\"searchTerm\" value=\"\" placeholder=\"Enter "
            "search terms\"> <input type=\"submit\" id=\"searchButton\" value=\"Search\"></p>"
            "<p>Result layout: <select name=\"layout\"><option value=\"1\">content areas</option>"
            "<option value=\"2\">titles and links apart</option><option value=\"3\">items"
            "</option><option value=\"4\">content areas added by script</option></select></p>"
            "</form><p>Other pages: <a href=\"/popup\">windows and pop-ups</a>, "
            "<a href=\"/captcha\">characters check</a>.</p>")));
}

bool loggedIn(const Request &r)
{
    return r.headers.value("cookie").contains("session=member");
}

Response loginPage()
{
    return Response::html(page(
        QStringLiteral("Log in"),
        QStringLiteral(
            "<h2>Log in to read the full text</h2><form method=\"post\" action=\"/login\">"
            "<p>User name <input type=\"text\" name=\"username\"></p><p>Password <input "
            "type=\"password\" name=\"password\"></p><p><input type=\"submit\" value=\"Log in\">"
            "</p></form><form method=\"post\" action=\"/login?by=address\"><p>Or enter through "
            "your institution's address: <input type=\"submit\" id=\"submitip\" value=\"Enter\">"
            "</p></form>")));
}

Response login(const Request &r)
{
    if (r.method != "POST") {
        return loginPage();
    }
    const QUrlQuery form(QString::fromUtf8(r.body));
    const bool byAddress = r.query.queryItemValue("by") == QLatin1String("address");
    if (!byAddress && (form.queryItemValue("username").isEmpty() ||
                       form.queryItemValue("password") != QLatin1String("secret"))) {
        return Response::html(page(QStringLiteral("Log in"),
                                   QStringLiteral("<p class=\"error\">Wrong user name or password."
                                                  "</p><a href=\"/login\">Try again</a>")),
                              200);
    }
    Response res = Response::redirect("/account", 303);
    res.headers.append(
        qMakePair(QByteArray("Set-Cookie"), QByteArray("session=member; Path=/; HttpOnly")));
    return res;
}

Response account(const Request &r)
{
    if (!loggedIn(r)) {
        return loginPage();
    }
    return Response::html(page(QStringLiteral("My account"),
                               QStringLiteral("<h2 id=\"welcome\">Welcome, member</h2>")));
}

QString absolute(const Request &r, const QString &path)
{
    return r.origin + path;
}

Response document(const Request &r, int id, const QString &variant)
{
    const QString title = escape(RecordTitle(id));
    const QString pdf = absolute(r, QStringLiteral("/pdf/%1.pdf?accountid=7&amp;t=doc").arg(id));
    if (variant == QLatin1String("fulltextPDF")) {
        return Response::html(
            page(RecordTitle(id),
                 QStringLiteral("<h1>%1</h1><iframe id=\"EmbedFile\" src=\"%2\" width=\"90%\" "
                                "height=\"500\"></iframe><embed id=\"embedded-pdf\" src=\"%3\" "
                                "type=\"application/pdf\" width=\"1\" height=\"1\">")
                     .arg(title, pdf, absolute(r, QStringLiteral("/pdf/%1.pdf?copy=2").arg(id))),
                 CitationTags(r, id, false)));
    }
    if (variant == QLatin1String("fulltext")) {
        return Response::html(page(
            RecordTitle(id),
            QStringLiteral("<div class=\"docViewContentHeader\"><h1>%1</h1></div><div "
                           "class=\"fulltext\"><p>Full text of record %2. Lorem ipsum dolor sit "
                           "amet.</p></div>")
                .arg(title)
                .arg(id)));
    }
    if (variant == QLatin1String("relative")) {
        return Response::html(
            page(RecordTitle(id),
                 QStringLiteral("<h1>%1</h1><a class=\"pdf\" href=\"/pdf/%2.pdf\">Download PDF</a>")
                     .arg(title)
                     .arg(id)));
    }
    if (variant == QLatin1String("unclosed")) {
        // The first marker's address never ends; the second marker follows later.
        return Response::html(
            page(RecordTitle(id),
                 QStringLiteral(
                     "<h1>%1</h1><p>id=\"EmbedFile\" src=\"%2 broken <embed id=\"embedded-pdf\" "
                     "src=\"%3\">")
                     .arg(title, pdf, pdf)));
    }
    return Response::html(
        page(RecordTitle(id),
             QStringLiteral(
                 "<div class=\"docViewContentHeader\"><h1>\n  %1\n</h1></div><div "
                 "class=\"citationTextWrapper\">"
                 "<h1>%1</h1></div><p><a id=\"downloadPDFLink\" class=\"pdf-button\" href=\"%2\">"
                 "Download PDF</a> <a data-file=\"ProQuestDocument.pdf\" class=\"alt\" href=\"%2\" "
                 "target=\"_blank\">Open</a></p><p class=\"abstract\">Abstract of record %3.</p>")
                 .arg(title, pdf)
                 .arg(id),
             CitationTags(r, id, false)));
}

QByteArray GzipCompress(const QByteArray &data)
{
    z_stream z{};
    QByteArray out;
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, MAX_WBITS + 16, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        return out;
    }
    out.resize(qsizetype(deflateBound(&z, uLong(data.size()))) + 32);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

} // namespace

QByteArray ResumableBody(int id, qint64 size)
{
    QByteArray body;
    body.reserve(size);
    body += "%PDF-1.4\n% resumable " + QByteArray::number(id) + '\n';
    while (body.size() < size) {
        body += QByteArray::number(body.size()).rightJustified(15, '0') + '\n';
    }
    body.truncate(size - 7);
    return body + "\n%%EOF\n";
}

namespace {

Response pdfFile(const Request &r, int id, bool secure)
{
    if (secure && !loggedIn(r)) {
        return loginPage();
    }
    const QString fault = r.query.queryItemValue("fault");
    const int size = r.query.queryItemValue("size").toInt();
    Response res;
    res.contentType = "application/pdf";
    res.body = MakePdf(RecordTitle(id), size);
    if (fault == QLatin1String("nolength")) {
        res.announceLength = false;
    } else if (fault == QLatin1String("cut") || fault == QLatin1String("cutnolength")) {
        // A PDF whose end never came, though the answer looks whole.
        res.body.chop(30); // "startxref", its offset and "%%EOF"
        res.announceLength = fault == QLatin1String("cut");
    } else if (fault == QLatin1String("stall")) {
        res.stallAfter = qMax(0, r.query.queryItemValue("after").toInt());
    } else if (fault == QLatin1String("stallnolength")) {
        res.announceLength = false;
        res.stallAfter = qMax(0, r.query.queryItemValue("after").toInt());
    } else if (fault == QLatin1String("reset")) {
        res.reset = true;

    } else if (fault == QLatin1String("short")) {
        res.announcedExtra = 1000;
    } else if (fault == QLatin1String("slow")) {
        res.slowChunk = qMax(1, r.query.queryItemValue("chunk").toInt() ?: 1024);
        res.slowIntervalMs = qMax(1, r.query.queryItemValue("interval").toInt() ?: 100);
    } else if (fault == QLatin1String("redirect")) {
        return Response::redirect(QStringLiteral("/pdf/%1.pdf").arg(id).toUtf8());
    } else if (fault == QLatin1String("loop")) {
        return Response::redirect(QStringLiteral("/pdf/%1.pdf?fault=loop").arg(id).toUtf8());
    } else if (fault == QLatin1String("tofile")) {
        return Response::redirect("file:///etc/passwd");
    } else if (fault == QLatin1String("403") || fault == QLatin1String("429")) {
        return Response::html(page(QStringLiteral("Refused"),
                                   QStringLiteral("<h2>Access refused (%1)</h2>").arg(fault)),
                              fault.toInt());
    } else if (fault == QLatin1String("html")) {
        return loginPage();
    } else if (fault == QLatin1String("disposition")) {
        // A file of no known format, named only by its Content-Disposition.
        res.contentType = "application/octet-stream";
        res.headers.append(qMakePair(QByteArray("Content-Disposition"),
                                     QByteArray("attachment; filename=\"paper.CAJ\"")));
        res.body = "data of a format nobody knows";
    } else if (fault == QLatin1String("damaged")) {
        // Whole to the last byte, but its cross-reference table points into nothing.
        const qsizetype table = res.body.lastIndexOf("\nxref\n");
        res.body.replace(table + 12, 60, QByteArray(60, '7'));
    } else if (fault == QLatin1String("wrongpaper")) {
        res.body = MakePdf(RecordTitle(id + 1), size); // the next paper in its place
    } else if (fault == QLatin1String("cover")) {
        res.body = MakePdf(QStringLiteral("Downloaded from the Sample Literature Database. "
                                          "Terms of use apply."),
                           size);
    } else if (fault == QLatin1String("scanned")) {
        res.body = MakePdf(QString(), size); // a page without a text layer
    } else if (fault == QLatin1String("charset")) {
        res.contentType = "application/octet-stream; charset=gbk";
        res.body = "text of a format nobody knows";
    }
    return res;
}

Response popup()
{
    return Response::html(
        page(QStringLiteral("Windows"),
             QStringLiteral(
                 "<p><a id=\"blank\" href=\"/docview/1\" target=\"_blank\">Open a record in "
                 "a new window</a></p><p><button id=\"open\" onclick=\"window.open('/docview/2',"
                 "'_blank')\">window.open</button></p><p><button id=\"close\" "
                 "onclick=\"window.close()\">window.close</button></p><p><button id=\"alert\" "
                 "onclick=\"alert('hello');document.title='after alert'\">alert</button></p>")));
}

Response captcha()
{
    return Response::html(
        page(QStringLiteral("Check"),
             QStringLiteral("<h2>要查看所请求的文档，请输入显示的字符</h2><form><input "
                            "type=\"text\" name=\"chars\"><input type=\"submit\">"
                            "</form>")));
}

} // namespace

namespace {

// A document that can be sent from any byte on, as servers of large files do.
//   size=S       its size (at least 64 bytes)
//   cut=C        the first request gets C bytes of its answer, then the connection closes
//   validator=   etag (the default), weak (a weak ETag only), date (Last-Modified only), none
//   ranges=0     no byte ranges offered (Accept-Ranges left out, Range ignored)
//   change=1     the document changes with every request (its ETag with it)
//   slow=N       sent N bytes every 20 ms
//   errors=N     the first N requests get a server error (500) page instead
Response resumable(const Request &r, int id)
{
    const qint64 size = qMax<qint64>(64, r.query.queryItemValue("size").toLongLong());
    const QString key = r.path + QLatin1Char('?') + r.query.toString();
    const int n = r.counts ? ++(*r.counts)[key] : 1;
    if (n <= r.query.queryItemValue("errors").toInt()) {
        return Response::html(
            page(QStringLiteral("Error"), QStringLiteral("<h2>Internal Server Error</h2>")), 500);
    }
    const QString validator = r.query.queryItemValue("validator");
    const bool ranges = r.query.queryItemValue("ranges") != QLatin1String("0");
    const QByteArray version =
        QByteArray::number(r.query.queryItemValue("change") == QLatin1String("1") ? n : 1);
    const QByteArray etag = "\"r" + QByteArray::number(id) + '-' + version + '"';
    const QByteArray date = "Tue, 01 Dec 2026 10:00:0" + version.right(1) + " GMT";
    Response res;
    res.contentType = "application/pdf";
    res.body = ResumableBody(id, size);
    if (version != "1") {
        res.body.replace(9, 8, "changed" + version.right(1)); // another document now
    }
    if (ranges) {
        res.headers.append(qMakePair(QByteArray("Accept-Ranges"), QByteArray("bytes")));
    }
    if (validator.isEmpty() || validator == QLatin1String("etag")) {
        res.headers.append(qMakePair(QByteArray("ETag"), etag));
    } else if (validator == QLatin1String("weak")) {
        res.headers.append(qMakePair(QByteArray("ETag"), "W/" + etag));
    }
    if (validator == QLatin1String("date")) {
        res.headers.append(qMakePair(QByteArray("Last-Modified"), date));
    }
    const QByteArray range = r.headers.value("range").trimmed();
    const QByteArray ifRange = r.headers.value("if-range").trimmed();
    const bool same = ifRange.isEmpty() || ifRange == etag || ifRange == date;
    if (ranges && same && range.startsWith("bytes=") && range.endsWith('-')) {
        const qint64 from = range.mid(6).chopped(1).toLongLong();
        if (from >= size) {
            Response refused = Response::html(QByteArray(), 416);
            refused.headers.append(
                qMakePair(QByteArray("Content-Range"), "bytes */" + QByteArray::number(size)));
            return refused;
        }
        res.status = 206;
        res.headers.append(
            qMakePair(QByteArray("Content-Range"), "bytes " + QByteArray::number(from) + '-' +
                                                       QByteArray::number(size - 1) + '/' +
                                                       QByteArray::number(size)));
        res.body = res.body.mid(from);
    }
    if (n == 1 && r.query.hasQueryItem(QStringLiteral("cut"))) {
        res.cutAfter = r.query.queryItemValue("cut").toLongLong();
    }
    if (r.query.hasQueryItem(QStringLiteral("slow"))) {
        res.slowChunk = qMax(1, r.query.queryItemValue("slow").toInt());
        res.slowIntervalMs = 20;
    }
    return res;
}

// Any address with fault=busy: busy the first `times` requests (429, or `status`), with
// Retry-After `retry` when given; then the address's own answer.
std::optional<Response> busyAnswer(const Request &r)
{
    if (r.query.queryItemValue("fault") != QLatin1String("busy")) {
        return std::nullopt;
    }
    const QString key = r.path + QLatin1Char('?') + r.query.toString();
    const int n = r.counts ? ++(*r.counts)[key] : 1;
    if (n > qMax(1, r.query.queryItemValue("times").toInt())) {
        return std::nullopt;
    }
    const int status = r.query.queryItemValue("status").toInt() ?: 429;
    Response busy = Response::html(
        page(QStringLiteral("Busy"), QStringLiteral("<h2>Too many requests</h2>")), status);
    if (r.query.hasQueryItem(QStringLiteral("retry"))) {
        busy.headers.append(
            qMakePair(QByteArray("Retry-After"), r.query.queryItemValue("retry").toUtf8()));
    }
    return busy;
}

} // namespace

Response Route(const Request &r)
{
    if (std::optional<Response> busy = busyAnswer(r)) {
        return *busy;
    }
    const QStringList parts = r.path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty()) {
        return home();
    }
    if (std::optional<Response> paper = RecordRoute(r)) {
        return *paper;
    }
    const QString &head = parts.first();
    if (head == QLatin1String("search")) {
        return search(r);
    }
    if (head == QLatin1String("login")) {
        return login(r);
    }
    if (head == QLatin1String("account")) {
        return account(r);
    }
    if (head == QLatin1String("docview") && parts.size() >= 2) {
        return document(r, parts.at(1).toInt(), parts.value(2));
    }
    if ((head == QLatin1String("pdf") || head == QLatin1String("secure")) && parts.size() == 2) {
        return pdfFile(r, parts.at(1).section(QLatin1Char('.'), 0, 0).toInt(),
                       head == QLatin1String("secure"));
    }
    if (head == QLatin1String("big") && parts.size() == 2) {
        // Large files for the benchmarks: a PDF showing "Big <name>", its bulk made while it
        // is sent, never held whole.
        const qint64 size = r.query.queryItemValue("size").toLongLong();
        const PdfParts pdf = MakePdfParts(
            QStringLiteral("Big ") + parts.at(1).section(QLatin1Char('.'), 0, 0), size);
        Response res;
        res.contentType = "application/pdf";
        res.body = pdf.head;
        res.generatedSize = pdf.filler;
        res.generatedTail = pdf.tail;
        if (r.query.hasQueryItem(QStringLiteral("junk"))) {
            // A PDF signature and end marker around junk that a reader must search through.
            res.body = "%PDF-1.4\n";
            res.generatedTail = "\n%%EOF\n";
            res.generatedSize = qMax<qint64>(0, size - res.body.size() - res.generatedTail.size());
        }
        if (r.query.hasQueryItem(QStringLiteral("validators"))) {
            // What a browser needs to keep a cut-off body for later.
            res.headers.append(
                qMakePair(QByteArray("ETag"), "\"big-" + parts.at(1).toUtf8() + '"'));
            res.headers.append(qMakePair(QByteArray("Last-Modified"),
                                         QByteArray("Tue, 01 Dec 2026 10:00:00 GMT")));
            res.headers.append(qMakePair(QByteArray("Accept-Ranges"), QByteArray("bytes")));
        }
        return res;
    }
    if (head == QLatin1String("ranges") && r.ranges) {
        // The ranges asked so far, a line each, for a test that runs the site apart.
        Response res;
        res.contentType = "text/plain";
        res.body = r.ranges->join(QLatin1Char('\n')).toUtf8();
        return res;
    }
    if (head == QLatin1String("resumable") && parts.size() == 2) {
        return resumable(r, parts.at(1).toInt());
    }
    if (head == QLatin1String("Harvly") && parts.size() >= 2 &&
        parts.at(1) == QLatin1String("newver.txt")) {
        // The update server's version file.
        Response res;
        res.contentType = "text/plain";
        res.body = r.latestVersion.toUtf8() + "\r\n";
        return res;
    }
    if (head == QLatin1String("Harvly")) {
        return Response::html(page(QStringLiteral("Harvly"),
                                   QStringLiteral("<h2>Harvly</h2><p>The newest version is %1.")
                                       .arg(escape(r.latestVersion))));
    }
    if (head == QLatin1String("empty")) {
        Response res;
        res.contentType = "text/plain";
        return res; // 200 with no body
    }
    if (head == QLatin1String("gzip")) {
        // A page sent compressed, as most servers send pages.
        Response res = Response::html(
            GzipCompress(page(QStringLiteral("Compressed page"),
                              QStringLiteral("<p>This page travelled gzip-compressed.</p>"))));
        res.headers.append(qMakePair(QByteArray("Content-Encoding"), QByteArray("gzip")));
        return res;
    }
    if (head == QLatin1String("setcookie")) {
        // A cookie set on whatever fetched this, and a page that shows what the client sent.
        Response res = Response::html(page(QStringLiteral("Cookie set"), QStringLiteral("<p>set")));
        res.headers.append(
            qMakePair(QByteArray("Set-Cookie"),
                      (r.query.queryItemValue("name") + QLatin1Char('=') +
                       r.query.queryItemValue("value") + QStringLiteral("; Path=/; HttpOnly"))
                          .toUtf8()));
        return res;
    }
    if (head == QLatin1String("cookies")) {
        return Response::html(page(QStringLiteral("Cookies"),
                                   QStringLiteral("<p id=\"cookies\">%1</p>")
                                       .arg(escape(QString::fromUtf8(r.headers.value("cookie"))))));
    }
    if (head == QLatin1String("popup")) {
        return popup();
    }
    if (head == QLatin1String("captcha")) {
        return captcha();
    }
    if (head == QLatin1String("stall")) {
        Response res =
            Response::html(page(QStringLiteral("Slow"), QStringLiteral("<p>Still loading")));
        res.neverComplete = true;
        return res;
    }
    return Response::html(page(QStringLiteral("Not found"), QStringLiteral("<h2>Not found</h2>")),
                          404);
}

} // namespace harvly::testsite
