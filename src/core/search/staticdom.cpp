#include "staticdom.h"

#include <gumbo.h>

#include <QUrl>

namespace harvly {

namespace {

QString attribute(const GumboElement &e, const char *name)
{
    const GumboAttribute *a = gumbo_get_attribute(&e.attributes, name);
    return a ? QString::fromUtf8(a->value) : QString();
}

QString tagName(const GumboElement &e)
{
    if (e.tag != GUMBO_TAG_UNKNOWN) {
        return QString::fromUtf8(gumbo_normalized_tagname(e.tag)).toUpper();
    }
    GumboStringPiece piece = e.original_tag;
    gumbo_tag_from_original_text(&piece);
    return QString::fromUtf8(piece.data, int(piece.length)).toUpper();
}

const GumboNode *findBase(const GumboNode *node)
{
    if (node->type != GUMBO_NODE_ELEMENT) {
        return nullptr;
    }
    if (node->v.element.tag == GUMBO_TAG_BASE &&
        gumbo_get_attribute(&node->v.element.attributes, "href")) {
        return node;
    }
    const GumboVector &children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        if (const GumboNode *b = findBase(static_cast<const GumboNode *>(children.data[i]))) {
            return b;
        }
    }
    return nullptr;
}

class Builder
{
public:
    explicit Builder(const QUrl &base) : m_base(base) {}

    std::unique_ptr<DomNode> element(const GumboNode *node) const
    {
        const GumboElement &e = node->v.element;
        auto n = std::make_unique<DomNode>();
        n->tag = tagName(e);
        n->id = attribute(e, "id");
        n->className = attribute(e, "class");
        n->name = attribute(e, "name");
        n->type = attribute(e, "type");
        if (n->is("INPUT")) {
            n->type = n->type.isEmpty() ? QStringLiteral("text") : n->type.toLower();
        } else if (n->is("BUTTON")) {
            n->type = n->type.isEmpty() ? QStringLiteral("submit") : n->type.toLower();
        }
        if (n->is("INPUT") || n->is("BUTTON") || n->is("OPTION")) {
            n->value = attribute(e, "value");
        }
        if ((n->is("A") || n->is("AREA") || n->is("LINK") || n->is("BASE")) &&
            gumbo_get_attribute(&e.attributes, "href")) {
            n->href = resolve(attribute(e, "href"));
        }
        const GumboVector &children = e.children;
        for (unsigned i = 0; i < children.length; ++i) {
            const auto *child = static_cast<const GumboNode *>(children.data[i]);
            switch (child->type) {
            case GUMBO_NODE_ELEMENT:
            case GUMBO_NODE_TEMPLATE:
                n->appendChild(element(child));
                break;
            case GUMBO_NODE_TEXT:
            case GUMBO_NODE_WHITESPACE:
            case GUMBO_NODE_CDATA: {
                auto t = std::make_unique<DomNode>();
                t->tag = QStringLiteral("#text");
                t->text = QString::fromUtf8(child->v.text.text);
                n->appendChild(std::move(t));
                break;
            }
            default:
                break;
            }
        }
        if (n->is("TEXTAREA")) {
            n->value = RenderText(*n);
        }
        return n;
    }

private:
    static QString RenderText(const DomNode &n)
    {
        QString s;
        for (const auto &c : n.children()) {
            s += c->text;
        }
        return s;
    }

    QString resolve(const QString &href) const
    {
        const QString trimmed = href.trimmed();
        const QUrl relative(trimmed);
        if (m_base.isEmpty()) {
            return relative.isRelative() ? trimmed : relative.toString(QUrl::FullyEncoded);
        }
        return m_base.resolved(relative).toString(QUrl::FullyEncoded);
    }

    QUrl m_base;
};

} // namespace

DomDocument ParseHtmlDocument(const QString &html, const QString &url)
{
    DomDocument doc;
    doc.url = url;
    doc.outerHtml = html;
    const QByteArray utf8 = html.toUtf8();
    GumboOutput *output =
        gumbo_parse_with_options(&kGumboDefaultOptions, utf8.constData(), size_t(utf8.size()));
    if (!output) {
        return doc;
    }
    QUrl base(url);
    if (const GumboNode *b = findBase(output->root)) {
        base = base.resolved(QUrl(attribute(b->v.element, "href").trimmed()));
    }
    doc.root = Builder(base).element(output->root);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return doc;
}

} // namespace harvly
