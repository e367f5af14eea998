#include "snapshotjson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace harvly {

namespace {

std::unique_ptr<DomNode> node(const QJsonObject &o)
{
    auto n = std::make_unique<DomNode>();
    n->tag = o.value(QLatin1String("t")).toString();
    if (!n->isElement()) {
        n->text = o.value(QLatin1String("d")).toString();
        return n;
    }
    n->tag = n->tag.toUpper();
    n->id = o.value(QLatin1String("i")).toString();
    n->className = o.value(QLatin1String("c")).toString();
    n->name = o.value(QLatin1String("n")).toString();
    n->type = o.value(QLatin1String("y")).toString();
    n->value = o.value(QLatin1String("v")).toString();
    n->href = o.value(QLatin1String("h")).toString();
    const QJsonValue inner = o.value(QLatin1String("x"));
    if (inner.isString()) {
        n->setInnerText(inner.toString());
    }
    const QJsonArray children = o.value(QLatin1String("k")).toArray();
    for (const QJsonValue &child : children) {
        n->appendChild(node(child.toObject()));
    }
    return n;
}

} // namespace

DomDocument DocumentFromSnapshot(const QByteArray &json)
{
    DomDocument doc;
    const QJsonObject o = QJsonDocument::fromJson(json).object();
    doc.url = o.value(QLatin1String("url")).toString();
    doc.outerHtml = o.value(QLatin1String("html")).toString();
    if (o.value(QLatin1String("root")).isObject()) {
        doc.root = node(o.value(QLatin1String("root")).toObject());
    }
    return doc;
}

} // namespace harvly
