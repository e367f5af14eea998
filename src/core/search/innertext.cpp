#include "innertext.h"

#include "domnode.h"

#include <QSet>
#include <QStringList>

namespace harvly {

namespace {

bool isBlock(const QString &tag)
{
    static const QSet<QString> blocks = {
        "ADDRESS", "ARTICLE", "ASIDE", "BLOCKQUOTE", "CAPTION",    "CENTER", "DD",      "DETAILS",
        "DIV",     "DL",      "DT",    "FIELDSET",   "FIGCAPTION", "FIGURE", "FOOTER",  "FORM",
        "H1",      "H2",      "H3",    "H4",         "H5",         "H6",     "HEADER",  "HR",
        "LI",      "MAIN",    "NAV",   "OL",         "P",          "PRE",    "SECTION", "SUMMARY",
        "TABLE",   "TBODY",   "THEAD", "TFOOT",      "TR",         "UL",     "BODY",    "HTML"};
    return blocks.contains(tag);
}

bool isHidden(const QString &tag)
{
    static const QSet<QString> hidden = {"SCRIPT", "STYLE", "NOSCRIPT", "TEMPLATE", "HEAD",
                                         "TITLE",  "META",  "LINK",     "IFRAME"};
    return hidden.contains(tag);
}

// Text pieces and the line breaks wanted between them; the breaks merge, as in a browser.
class Renderer
{
public:
    void text(const QString &raw)
    {
        for (const QChar c : raw) {
            // A non-breaking space is text, as in the browser: kept, never collapsed.
            if (c.isSpace() && c != QChar(0xA0)) {
                m_pendingSpace = !m_line.isEmpty();
            } else {
                if (m_pendingSpace) {
                    m_line += QLatin1Char(' ');
                    m_pendingSpace = false;
                }
                flushBreaks();
                m_line += c;
            }
        }
    }
    void lineBreak() // <br>: always a new line
    {
        endLine();
        ++m_forcedBreaks;
    }
    void blockBoundary(int breaks)
    {
        endLine();
        m_wantedBreaks = qMax(m_wantedBreaks, breaks);
    }
    void cellBoundary()
    {
        m_pendingSpace = false;
        if (!m_line.isEmpty()) {
            m_line += QLatin1Char('\t');
        }
    }
    QString result()
    {
        endLine();
        return m_out;
    }

private:
    void endLine()
    {
        if (!m_line.isEmpty()) {
            m_out += m_line;
            m_line.clear();
        }
        m_pendingSpace = false;
    }
    void flushBreaks()
    {
        if (m_out.isEmpty() && m_line.isEmpty()) {
            m_forcedBreaks = 0;
            m_wantedBreaks = 0;
            return;
        }
        if (m_line.isEmpty()) {
            const int breaks = qMax(m_wantedBreaks, m_forcedBreaks);
            m_out += QString(breaks, QLatin1Char('\n'));
        }
        m_forcedBreaks = 0;
        m_wantedBreaks = 0;
    }

    QString m_out;
    QString m_line;
    bool m_pendingSpace = false;
    int m_wantedBreaks = 0;
    int m_forcedBreaks = 0;
};

void render(const DomNode &node, Renderer &r)
{
    for (const auto &child : node.children()) {
        if (!child->isElement()) {
            r.text(child->text);
            continue;
        }
        const QString &tag = child->tag;
        if (isHidden(tag)) {
            continue;
        }
        if (tag == QLatin1String("BR")) {
            r.lineBreak();
            continue;
        }
        const bool block = isBlock(tag);
        const int breaks = tag == QLatin1String("P") ? 2 : 1;
        if (block) {
            r.blockBoundary(breaks);
        }
        if (tag == QLatin1String("TD") || tag == QLatin1String("TH")) {
            r.cellBoundary();
        }
        render(*child, r);
        if (block) {
            r.blockBoundary(breaks);
        }
    }
}

} // namespace

QString RenderInnerText(const DomNode &element)
{
    Renderer r;
    render(element, r);
    return r.result();
}

} // namespace harvly
