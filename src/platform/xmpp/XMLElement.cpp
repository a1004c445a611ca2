#include "platform/xmpp/XMLElement.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <mutex>
#include <vector>

namespace tovrin::xmpp {

// Owns one libxml2 tree. A tree whose root was added to another tree keeps that tree alive
// instead, so handles into the added part stay valid; removed subtrees live until the tree goes.
struct XMLTree {
    explicit XMLTree(xmlNodePtr root) : root(root) {}
    ~XMLTree() {
        if (root != nullptr) xmlFreeNode(root);
        for (xmlNodePtr node : removed) xmlFreeNode(node);
    }
    XMLTree(const XMLTree&) = delete;
    XMLTree& operator=(const XMLTree&) = delete;

    static std::shared_ptr<XMLTree> owning(const std::shared_ptr<XMLTree>& tree) {
        std::shared_ptr<XMLTree> current = tree;
        while (current && current->adoptedBy) current = current->adoptedBy;
        return current;
    }

    xmlNodePtr root;
    std::shared_ptr<XMLTree> adoptedBy;
    std::vector<xmlNodePtr> removed;
};

namespace {

void initializeLibXML() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

const xmlChar* xml(const QByteArray& utf8) {
    return reinterpret_cast<const xmlChar*>(utf8.constData());
}

QString text(const xmlChar* value) {
    return value == nullptr ? QString() : QString::fromUtf8(reinterpret_cast<const char*>(value));
}

bool isElement(xmlNodePtr node) {
    return node != nullptr && node->type == XML_ELEMENT_NODE;
}

xmlAttrPtr findAttribute(xmlNodePtr node, const QByteArray& name) {
    for (xmlAttrPtr attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
        if (xmlStrEqual(attribute->name, xml(name)) && attribute->ns == nullptr) return attribute;
    }
    return nullptr;
}

QByteArray attributeValue(xmlAttrPtr attribute) {
    xmlNodePtr child = attribute->children;
    if (child == nullptr) return {};
    if (child->next == nullptr && child->type == XML_TEXT_NODE) {
        return QByteArray(reinterpret_cast<const char*>(child->content));
    }
    xmlChar* value = xmlNodeListGetString(attribute->doc, child, 1);
    QByteArray result(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return result;
}

const xmlChar* namespaceOf(xmlNodePtr node) {
    for (xmlNodePtr current = node; isElement(current); current = current->parent) {
        if (current->ns != nullptr) return current->ns->href;
    }
    return nullptr;
}

bool hasNamespace(xmlNodePtr node, const QByteArray& xmlns) {
    const xmlChar* href = namespaceOf(node);
    return href == nullptr ? xmlns.isEmpty() : xmlStrEqual(href, xml(xmlns));
}

// Characters XML 1.0 cannot carry are left out, so no text of ours can break the stream.
bool isXMLCharacter(uint code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

void appendEscaped(QByteArray& out, const xmlChar* value, bool inAttribute) {
    if (value == nullptr) return;
    const QString decoded = QString::fromUtf8(reinterpret_cast<const char*>(value));
    for (auto it = decoded.cbegin(); it != decoded.cend(); ++it) {
        uint code = it->unicode();
        if (it->isHighSurrogate() && it + 1 != decoded.cend() && (it + 1)->isLowSurrogate()) {
            code = QChar::surrogateToUcs4(*it, *(it + 1));
            ++it;
        } else if (it->isSurrogate()) {
            continue;
        }
        if (!isXMLCharacter(code)) continue;
        switch (code) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += inAttribute ? "&quot;" : "\"";
                break;
            case '\n':
                out += inAttribute ? "&#10;" : "\n";
                break;
            case '\r':
                out += "&#13;";
                break;
            case '\t':
                out += inAttribute ? "&#9;" : "\t";
                break;
            default: {
                const char32_t character = code;
                out += QString::fromUcs4(&character, 1).toUtf8();
            }
        }
    }
}

// Plain ASCII is by far the common case; it needs no decoding.
void appendText(QByteArray& out, const xmlChar* value, bool inAttribute) {
    if (value == nullptr) return;
    for (const xmlChar* p = value; *p != 0; ++p) {
        if (*p >= 0x80 || *p < 0x20 || *p == '&' || *p == '<' || *p == '>' || *p == '"') {
            appendEscaped(out, value, inAttribute);
            return;
        }
    }
    out += reinterpret_cast<const char*>(value);
}

void serialize(QByteArray& out, xmlNodePtr node, const xmlChar* contextNamespace) {
    out += '<';
    out += reinterpret_cast<const char*>(node->name);
    const xmlChar* ownNamespace = namespaceOf(node);
    if (ownNamespace != nullptr && !xmlStrEqual(ownNamespace, contextNamespace)) {
        out += " xmlns=\"";
        appendText(out, ownNamespace, true);
        out += '"';
    }
    for (xmlAttrPtr attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
        out += ' ';
        out += reinterpret_cast<const char*>(attribute->name);
        out += "=\"";
        appendText(out, reinterpret_cast<const xmlChar*>(attributeValue(attribute).constData()), true);
        out += '"';
    }
    if (node->children == nullptr) {
        out += "/>";
        return;
    }
    out += '>';
    const xmlChar* childContext = ownNamespace != nullptr ? ownNamespace : contextNamespace;
    for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
        if (isElement(child)) {
            serialize(out, child, childContext);
        } else if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            appendText(out, child->content, false);
        }
    }
    out += "</";
    out += reinterpret_cast<const char*>(node->name);
    out += '>';
}

}  // namespace

XMLElement::XMLElement(const QString& name) {
    initializeLibXML();
    const QByteArray utf8 = name.toUtf8();
    node_ = xmlNewNode(nullptr, xml(utf8));
    tree_ = std::make_shared<XMLTree>(node_);
}

XMLElement::XMLElement(const QString& name, const QString& xmlns) : XMLElement(name) {
    if (!xmlns.isEmpty()) setXmlns(xmlns);
}

XMLElement XMLElement::elementWithName(const QString& name, const QString& stringValue) {
    XMLElement element(name);
    element.setStringValue(stringValue);
    return element;
}

XMLElement XMLElement::adoptingNode(_xmlNode* node) {
    initializeLibXML();
    return XMLElement(std::make_shared<XMLTree>(node), node);
}

XMLElement XMLElement::handleFor(_xmlNode* node) const {
    return node == nullptr ? XMLElement() : XMLElement(tree_, node);
}

QString XMLElement::name() const {
    return node_ ? text(node_->name) : QString();
}

QString XMLElement::xmlns() const {
    return node_ ? text(namespaceOf(node_)) : QString();
}

void XMLElement::setXmlns(const QString& xmlns) {
    if (!node_) return;
    // An element's namespace is always declared on the element itself (never a prefix on an
    // ancestor), so a subtree keeps its namespaces when it moves to another tree.
    if (node_->nsDef != nullptr) {
        xmlFree(const_cast<xmlChar*>(node_->nsDef->href));
        node_->nsDef->href = xmlStrdup(xml(xmlns.toUtf8()));
    } else {
        node_->nsDef = xmlNewNs(nullptr, xml(xmlns.toUtf8()), nullptr);
    }
    node_->ns = node_->nsDef;
}

bool XMLElement::hasAttribute(const QString& name) const {
    return node_ && findAttribute(node_, name.toUtf8()) != nullptr;
}

std::optional<QString> XMLElement::attribute(const QString& name) const {
    if (!node_) return std::nullopt;
    xmlAttrPtr found = findAttribute(node_, name.toUtf8());
    if (found == nullptr) return std::nullopt;
    return QString::fromUtf8(attributeValue(found));
}

QString XMLElement::attributeStringValueForName(const QString& name) const {
    return attribute(name).value_or(QString());
}

void XMLElement::addAttributeWithName(const QString& name, const QString& stringValue) {
    if (!node_) return;
    removeAttributeForName(name);
    // xmlNewProp stores the value as text: nothing in it is read as markup or an entity.
    xmlNewProp(node_, xml(name.toUtf8()), xml(stringValue.toUtf8()));
}

void XMLElement::removeAttributeForName(const QString& name) {
    if (!node_) return;
    if (xmlAttrPtr found = findAttribute(node_, name.toUtf8())) xmlRemoveProp(found);
}

QList<QPair<QString, QString>> XMLElement::attributes() const {
    QList<QPair<QString, QString>> result;
    if (!node_) return result;
    for (xmlAttrPtr attribute = node_->properties; attribute != nullptr; attribute = attribute->next) {
        result.append({text(attribute->name), QString::fromUtf8(attributeValue(attribute))});
    }
    return result;
}

void XMLElement::addChild(const XMLElement& child) {
    if (!node_ || !child.node_) return;
    auto owner = XMLTree::owning(tree_);
    auto childOwner = XMLTree::owning(child.tree_);
    if (childOwner == owner || childOwner->root != child.node_) {
        xmlAddChild(node_, xmlCopyNode(child.node_, 1));
        return;
    }
    // Nodes added with xmlAddChild would merge adjacent text; elements never do.
    xmlAddChild(node_, child.node_);
    childOwner->root = nullptr;
    childOwner->adoptedBy = owner;
}

void XMLElement::removeChild(const XMLElement& child) {
    if (!node_ || !child.node_ || child.node_->parent != node_) return;
    xmlUnlinkNode(child.node_);
    XMLTree::owning(tree_)->removed.push_back(child.node_);
}

void XMLElement::removeElementsForName(const QString& name) {
    for (const XMLElement& child : elementsForName(name)) removeChild(child);
}

QList<XMLElement> XMLElement::children() const {
    QList<XMLElement> result;
    if (!node_) return result;
    for (xmlNodePtr child = node_->children; child != nullptr; child = child->next) {
        if (isElement(child)) result.append(handleFor(child));
    }
    return result;
}

qsizetype XMLElement::childCount() const {
    return node_ ? static_cast<qsizetype>(xmlChildElementCount(node_)) : 0;
}

XMLElement XMLElement::parent() const {
    return node_ && isElement(node_->parent) ? handleFor(node_->parent) : XMLElement();
}

XMLElement XMLElement::elementForName(const QString& name) const {
    if (!node_) return {};
    const QByteArray utf8 = name.toUtf8();
    for (xmlNodePtr child = node_->children; child != nullptr; child = child->next) {
        if (isElement(child) && xmlStrEqual(child->name, xml(utf8))) return handleFor(child);
    }
    return {};
}

XMLElement XMLElement::elementForName(const QString& name, const QString& xmlns) const {
    if (!node_) return {};
    const QByteArray utf8 = name.toUtf8();
    const QByteArray ns = xmlns.toUtf8();
    for (xmlNodePtr child = node_->children; child != nullptr; child = child->next) {
        if (isElement(child) && xmlStrEqual(child->name, xml(utf8)) && hasNamespace(child, ns)) {
            return handleFor(child);
        }
    }
    return {};
}

QList<XMLElement> XMLElement::elementsForName(const QString& name) const {
    QList<XMLElement> result;
    if (!node_) return result;
    const QByteArray utf8 = name.toUtf8();
    for (xmlNodePtr child = node_->children; child != nullptr; child = child->next) {
        if (isElement(child) && xmlStrEqual(child->name, xml(utf8))) result.append(handleFor(child));
    }
    return result;
}

XMLElement XMLElement::elementForXmlns(const QString& xmlns) const {
    const QList<XMLElement> found = elementsForXmlns(xmlns);
    return found.isEmpty() ? XMLElement() : found.first();
}

QList<XMLElement> XMLElement::elementsForXmlns(const QString& xmlns) const {
    QList<XMLElement> result;
    if (!node_) return result;
    const QByteArray ns = xmlns.toUtf8();
    for (xmlNodePtr child = node_->children; child != nullptr; child = child->next) {
        if (isElement(child) && hasNamespace(child, ns)) result.append(handleFor(child));
    }
    return result;
}

QString XMLElement::stringValue() const {
    if (!node_) return {};
    xmlChar* content = xmlNodeGetContent(node_);
    QString result = text(content);
    xmlFree(content);
    return result;
}

void XMLElement::setStringValue(const QString& text) {
    if (!node_) return;
    detachChildren();
    addText(text.toUtf8());
}

void XMLElement::addText(const QByteArray& utf8) {
    if (!node_ || utf8.isEmpty()) return;
    // A text node, never parsed: "&" stays an ampersand.
    xmlNodeAddContentLen(node_, xml(utf8), static_cast<int>(utf8.size()));
}

void XMLElement::detachChildren() {
    // Handles to the old children stay valid: their nodes move to the tree's removed list.
    auto owner = XMLTree::owning(tree_);
    while (xmlNodePtr child = node_->children) {
        xmlUnlinkNode(child);
        owner->removed.push_back(child);
    }
}

XMLElement XMLElement::copy() const {
    if (!node_) return {};
    xmlNodePtr copied = xmlCopyNode(node_, 1);
    // A copied child keeps the namespace it had through its ancestors.
    if (copied->ns == nullptr) {
        if (const xmlChar* href = namespaceOf(node_)) {
            copied->nsDef = xmlNewNs(nullptr, href, nullptr);
            copied->ns = copied->nsDef;
        }
    }
    return adoptingNode(copied);
}

QByteArray XMLElement::compactXMLData() const {
    QByteArray out;
    if (node_) serialize(out, node_, nullptr);
    return out;
}

QString XMLElement::compactXMLString() const {
    return QString::fromUtf8(compactXMLData());
}

}  // namespace tovrin::xmpp
