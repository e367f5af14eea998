#include "domnode.h"

#include "innertext.h"

#include <QStringList>

namespace harvly {

QString DomNode::innerText() const
{
    return m_hasInnerText ? m_innerText : RenderInnerText(*this);
}

void DomNode::setInnerText(const QString &text)
{
    m_innerText = text;
    m_hasInnerText = true;
}

DomNode *DomNode::appendChild(std::unique_ptr<DomNode> child)
{
    child->m_parent = this;
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

template <typename Pred> void DomNode::collect(QList<const DomNode *> &out, const Pred &pred) const
{
    for (const auto &child : m_children) {
        if (child->isElement()) {
            if (pred(*child)) {
                out.append(child.get());
            }
            child->collect(out, pred);
        }
    }
}

QList<const DomNode *> DomNode::elementsByTagName(const QString &tagName) const
{
    QList<const DomNode *> out;
    const QString wanted = tagName.toUpper();
    collect(out, [&wanted](const DomNode &n) { return n.tag == wanted; });
    return out;
}

QList<const DomNode *> DomNode::elementsByClassName(const QString &classNames) const
{
    QList<const DomNode *> out;
    const QStringList wanted = classNames.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (wanted.isEmpty()) {
        return out;
    }
    collect(out, [&wanted](const DomNode &n) {
        const QStringList has = n.className.simplified().split(QLatin1Char(' '));
        for (const QString &w : wanted) {
            if (!has.contains(w)) {
                return false;
            }
        }
        return true;
    });
    return out;
}

const DomNode *DomNode::elementById(const QString &elementId) const
{
    for (const auto &child : m_children) {
        if (!child->isElement()) {
            continue;
        }
        if (child->id == elementId) {
            return child.get();
        }
        if (const DomNode *found = child->elementById(elementId)) {
            return found;
        }
    }
    return nullptr;
}

QList<int> DomNode::path() const
{
    QList<int> path;
    for (const DomNode *n = this; n->m_parent; n = n->m_parent) {
        int index = 0;
        for (const auto &sibling : n->m_parent->m_children) {
            if (sibling.get() == n) {
                break;
            }
            if (sibling->isElement()) {
                ++index;
            }
        }
        path.prepend(index);
    }
    return path;
}

QList<const DomNode *> DomDocument::elementsByTagName(const QString &tagName) const
{
    if (!root) {
        return {};
    }
    QList<const DomNode *> out;
    if (root->tag == tagName.toUpper()) {
        out.append(root.get());
    }
    return out + root->elementsByTagName(tagName);
}

QList<const DomNode *> DomDocument::elementsByClassName(const QString &classNames) const
{
    return root ? root->elementsByClassName(classNames) : QList<const DomNode *>();
}

const DomNode *DomDocument::elementById(const QString &elementId) const
{
    return root && !elementId.isEmpty() ? root->elementById(elementId) : nullptr;
}

QList<const DomNode *> DomNode::links() const
{
    QList<const DomNode *> out;
    collect(out, [](const DomNode &n) { return (n.is("A") || n.is("AREA")) && !n.href.isEmpty(); });
    return out;
}

QList<const DomNode *> DomDocument::links() const
{
    return root ? root->links() : QList<const DomNode *>();
}

} // namespace harvly
