#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <memory>
#include <optional>

struct _xmlNode;

namespace tovrin::xmpp {

struct XMLTree;

// An XML element, a node of a libxml2 tree. A handle: copies refer to the same element, and the
// tree lives as long as any handle to one of its elements. `copy()` makes an independent tree.
// An element without a namespace of its own is in its parent's namespace, as on the wire.
// A null handle reads as empty everywhere and ignores changes.
class XMLElement {
public:
    XMLElement() = default;
    explicit XMLElement(const QString& name);
    XMLElement(const QString& name, const QString& xmlns);

    static XMLElement elementWithName(const QString& name, const QString& stringValue);

    bool isNull() const { return node_ == nullptr; }
    explicit operator bool() const { return node_ != nullptr; }
    bool isSameElement(const XMLElement& other) const { return node_ == other.node_; }

    QString name() const;
    // The element's own namespace, or the nearest ancestor's.
    QString xmlns() const;
    void setXmlns(const QString& xmlns);

    bool hasAttribute(const QString& name) const;
    std::optional<QString> attribute(const QString& name) const;
    // Empty when the attribute is missing.
    QString attributeStringValueForName(const QString& name) const;
    // Adds the attribute or replaces its value.
    void addAttributeWithName(const QString& name, const QString& stringValue);
    void removeAttributeForName(const QString& name);
    QList<QPair<QString, QString>> attributes() const;

    // Adds the element as the last child; an element that already has a parent is copied first.
    void addChild(const XMLElement& child);
    void removeChild(const XMLElement& child);
    void removeElementsForName(const QString& name);
    QList<XMLElement> children() const;
    qsizetype childCount() const;
    XMLElement parent() const;

    // The first child element of that name (and namespace), or a null element.
    XMLElement elementForName(const QString& name) const;
    XMLElement elementForName(const QString& name, const QString& xmlns) const;
    QList<XMLElement> elementsForName(const QString& name) const;
    XMLElement elementForXmlns(const QString& xmlns) const;
    QList<XMLElement> elementsForXmlns(const QString& xmlns) const;

    // The text of the element and all its descendants.
    QString stringValue() const;
    // Replaces the children with the text.
    void setStringValue(const QString& text);
    void addText(const QByteArray& utf8);

    XMLElement copy() const;

    // Serialised without whitespace between elements, namespaces declared where they change.
    QByteArray compactXMLData() const;
    QString compactXMLString() const;

    // For the parser, which builds trees node by node: takes over a detached libxml2 node.
    static XMLElement adoptingNode(_xmlNode* node);
    _xmlNode* node() const { return node_; }

private:
    XMLElement(std::shared_ptr<XMLTree> tree, _xmlNode* node) : tree_(std::move(tree)), node_(node) {}
    XMLElement handleFor(_xmlNode* node) const;
    void detachChildren();

    std::shared_ptr<XMLTree> tree_;
    _xmlNode* node_ = nullptr;
};

}  // namespace tovrin::xmpp
