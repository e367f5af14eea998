#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <vector>

namespace harvly {

// One node of a page's document: an element with the properties the harvesters read, or a
// piece of text. Built from the live browser (a snapshot) or from HTML text; both agree on
// what the program looks at.
class DomNode final
{
public:
    QString tag; // upper case, as the browser's tagName; "#text" for text
    QString id;
    QString className;
    QString name;
    QString type;
    QString value;
    QString href; // absolute, as the browser resolves it; "" where the element has none
    QString text; // the characters of a text node

    bool isElement() const { return tag != QLatin1String("#text"); }
    bool is(const char *upperTag) const { return tag == QLatin1String(upperTag); }

    // The rendered text, as a browser's innerText gives it for inline content: white space
    // collapsed, line breaks for <br> and block elements.
    QString innerText() const;
    void setInnerText(const QString &text);

    // Descendants in document order (not the node itself).
    QList<const DomNode *> elementsByTagName(const QString &tagName) const;
    QList<const DomNode *> elementsByClassName(const QString &classNames) const;
    const DomNode *elementById(const QString &elementId) const;
    // Anchors and areas that carry an href.
    QList<const DomNode *> links() const;

    const DomNode *parent() const { return m_parent; }
    const std::vector<std::unique_ptr<DomNode>> &children() const { return m_children; }
    DomNode *appendChild(std::unique_ptr<DomNode> child);

    // Element indices from the root element down to this one: how the browser finds it again.
    QList<int> path() const;

private:
    template <typename Pred> void collect(QList<const DomNode *> &out, const Pred &pred) const;

    DomNode *m_parent = nullptr;
    std::vector<std::unique_ptr<DomNode>> m_children;
    QString m_innerText;
    bool m_hasInnerText = false;
};

// A page: its address, the root element and the root element's outer HTML.
class DomDocument final
{
public:
    QString url;
    QString outerHtml;
    std::unique_ptr<DomNode> root;

    bool isEmpty() const { return !root; }
    QList<const DomNode *> elementsByTagName(const QString &tagName) const;
    QList<const DomNode *> elementsByClassName(const QString &classNames) const;
    const DomNode *elementById(const QString &elementId) const;
    // The document's links: anchors and areas that carry an href, in document order.
    QList<const DomNode *> links() const;
};

} // namespace harvly
