#include "platform/xmpp/XMPPParser.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cstring>

namespace tovrin::xmpp {

namespace {

// Chunks are fed in pieces of this size, so the size limit is checked before much piles up.
constexpr qsizetype pieceSize = 16 * 1024;

const xmlChar* xml(const char* text) {
    return reinterpret_cast<const xmlChar*>(text);
}

// Without entity substitution libxml2 hands on "&amp;" in attribute values as "&#38;", and
// nothing else can produce that sequence there. The value becomes the attribute's text as it is.
void addAttribute(xmlNodePtr node, const QByteArray& name, const xmlChar* begin, const xmlChar* end) {
    xmlAttrPtr attribute = xmlNewProp(node, xml(name.constData()), nullptr);
    xmlNodePtr text;
    if (std::memchr(begin, '&', static_cast<size_t>(end - begin)) != nullptr) {
        QByteArray value(reinterpret_cast<const char*>(begin), static_cast<qsizetype>(end - begin));
        value.replace("&#38;", "&");
        text = xmlNewTextLen(xml(value.constData()), static_cast<int>(value.size()));
    } else {
        text = xmlNewTextLen(begin, static_cast<int>(end - begin));
    }
    text->parent = reinterpret_cast<xmlNodePtr>(attribute);
    attribute->children = text;
    attribute->last = text;
}

// Element names are kept without prefixes, but a prefixed attribute keeps its prefix, so the
// element declares it itself (as an attribute) and stays readable wherever it is written.
void declarePrefix(xmlNodePtr node, const QByteArray& prefix, const xmlChar* uri) {
    if (prefix == "xml" || uri == nullptr) return;
    const QByteArray declaration = "xmlns:" + prefix;
    if (xmlHasProp(node, xml(declaration.constData())) == nullptr)
        xmlNewProp(node, xml(declaration.constData()), uri);
}

bool sameNamespace(const xmlChar* uri, xmlNodePtr parent) {
    for (xmlNodePtr node = parent; node != nullptr; node = node->parent) {
        if (node->ns != nullptr) return xmlStrEqual(node->ns->href, uri);
    }
    return uri == nullptr || *uri == 0;
}

}  // namespace

struct XMPPParserCallbacks {
    static XMPPParser& parser(void* context) {
        auto* parserContext = static_cast<xmlParserCtxtPtr>(context);
        return *static_cast<XMPPParser*>(parserContext->_private);
    }

    static void startElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar* uri, int,
                             const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
        parser(context).startElement(localName, uri, attributeCount, attributes);
    }
    static void endElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
        parser(context).endElement();
    }
    static void characters(void* context, const xmlChar* text, int length) {
        parser(context).characters(text, length);
    }
    static void restricted(XMPPParser& parser, const char* what) {
        parser.fail(XMPPParser::Failure::RestrictedXML, QString::fromLatin1(what));
    }
    static void comment(void* context, const xmlChar*) { restricted(parser(context), "comment"); }
    static void processingInstruction(void* context, const xmlChar*, const xmlChar*) {
        restricted(parser(context), "processing instruction");
    }
    static void documentType(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
        restricted(parser(context), "document type declaration");
    }
    static void entityDeclaration(void* context, const xmlChar*, int, const xmlChar*, const xmlChar*,
                                  xmlChar*) {
        restricted(parser(context), "entity declaration");
    }
    static void reference(void* context, const xmlChar*) { restricted(parser(context), "entity reference"); }
    // Only called for entities other than the predefined five.
    static xmlEntityPtr getEntity(void* context, const xmlChar*) {
        restricted(parser(context), "entity reference");
        return nullptr;
    }
    static void structuredError(void* context, xmlErrorPtr error) {
        if (error == nullptr || error->level < XML_ERR_ERROR) return;
        const QString message = QString::fromUtf8(error->message ? error->message : "").trimmed();
        parser(context).fail(XMPPParser::Failure::NotWellFormed, message);
    }
    static void warning(void*, const char*, ...) {}

    static xmlSAXHandler handler() {
        xmlSAXHandler sax{};
        sax.initialized = XML_SAX2_MAGIC;
        sax.startElementNs = startElement;
        sax.endElementNs = endElement;
        sax.characters = characters;
        sax.cdataBlock = characters;
        sax.comment = comment;
        sax.processingInstruction = processingInstruction;
        sax.internalSubset = documentType;
        sax.externalSubset = documentType;
        sax.entityDecl = entityDeclaration;
        sax.reference = reference;
        sax.getEntity = getEntity;
        sax.getParameterEntity = getEntity;
        sax.serror = structuredError;
        sax.warning = warning;
        return sax;
    }
};

XMPPParser::XMPPParser(Delegate& delegate, qsizetype maximumStanzaSize)
    : delegate_(delegate), maximumStanzaSize_(maximumStanzaSize) {
    xmlInitParser();
    xmlSAXHandler sax = XMPPParserCallbacks::handler();
    context_ = xmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, nullptr);
    context_->_private = this;
    // The context itself is the callbacks' first argument, so they can reach both.
    context_->userData = context_;
    xmlCtxtUseOptions(context_, XML_PARSE_NONET | XML_PARSE_IGNORE_ENC);
}

XMPPParser::~XMPPParser() {
    if (stanzaRoot_ != nullptr) xmlFreeNode(stanzaRoot_);
    xmlFreeParserCtxt(context_);
    *alive_ = false;
}

bool XMPPParser::parseData(const QByteArray& data) {
    return parseData(data.constData(), data.size());
}

bool XMPPParser::parseData(const char* data, qsizetype size) {
    const std::shared_ptr<bool> alive = alive_;
    for (qsizetype offset = 0; offset < size && !isStopped(); offset += pieceSize) {
        const qsizetype length = std::min(pieceSize, size - offset);
        bytesFed_ += length;
        const int status = xmlParseChunk(context_, data + offset, static_cast<int>(length), 0);
        if (status != 0 && !isStopped()) fail(Failure::NotWellFormed, QStringLiteral("not well-formed"));
        checkPendingSize();
        if (!deliverPending(alive)) return false;
    }
    return !isStopped();
}

void XMPPParser::checkPendingSize() {
    if (isStopped() || depth_ == 0) return;
    if (bytesFed_ - stanzaBoundary_ > maximumStanzaSize_) {
        fail(Failure::StanzaTooBig, QStringLiteral("stanza larger than %1 bytes").arg(maximumStanzaSize_));
    }
}

// Events are handed on after libxml2 has returned, so a delegate may drop the parser.
bool XMPPParser::deliverPending(const std::shared_ptr<bool>& alive) {
    while (!pending_.empty()) {
        Event event = std::move(pending_.front());
        pending_.pop_front();
        switch (event.kind) {
            case Event::Root:
                delegate_.parserDidReadRoot(event.element);
                break;
            case Event::Element:
                delegate_.parserDidReadElement(event.element);
                break;
            case Event::End:
                delegate_.parserDidEnd();
                break;
            case Event::Failed:
                delegate_.parserDidFail(event.failure, event.reason);
                break;
        }
        if (!*alive) return false;
    }
    return true;
}

void XMPPParser::startElement(const xmlChar* localName, const xmlChar* uri, int attributeCount,
                              const xmlChar** attributes) {
    if (isStopped()) return;
    flushText();
    xmlNodePtr node = xmlNewNode(nullptr, localName);
    const bool startsTree = depth_ <= 1;
    if (uri != nullptr && *uri != 0 && (startsTree || !sameNamespace(uri, current_))) {
        node->nsDef = xmlNewNs(nullptr, uri, nullptr);
        node->ns = node->nsDef;
    }
    for (int index = 0; index < attributeCount; ++index) {
        const xmlChar** attribute = attributes + index * 5;
        // libxml2's names end in a zero, so the unprefixed name needs no copy.
        const auto* localName = reinterpret_cast<const char*>(attribute[0]);
        QByteArray name = QByteArray::fromRawData(localName, static_cast<qsizetype>(std::strlen(localName)));
        if (attribute[1] != nullptr) {
            const QByteArray prefix(reinterpret_cast<const char*>(attribute[1]));
            name = prefix + ':' + name;
            declarePrefix(node, prefix, attribute[2]);
        }
        addAttribute(node, name, attribute[3], attribute[4]);
    }
    if (depth_ == 0) {
        pending_.emplace_back(Event::Root, XMLElement::adoptingNode(node));
        markStanzaBoundary();
    } else if (depth_ == 1) {
        stanzaRoot_ = node;
        current_ = node;
    } else {
        xmlAddChild(current_, node);
        current_ = node;
    }
    ++depth_;
}

void XMPPParser::endElement() {
    if (isStopped()) return;
    flushText();
    --depth_;
    if (depth_ == 0) {
        ended_ = true;
        pending_.emplace_back(Event::End);
    } else if (depth_ == 1) {
        xmlNodePtr stanza = stanzaRoot_;
        stanzaRoot_ = nullptr;
        current_ = nullptr;
        const qint64 start = stanzaBoundary_;
        markStanzaBoundary();
        XMLElement element = XMLElement::adoptingNode(stanza);
        if (stanzaBoundary_ - start > maximumStanzaSize_) {
            fail(Failure::StanzaTooBig,
                 QStringLiteral("stanza larger than %1 bytes").arg(maximumStanzaSize_));
            return;
        }
        pending_.emplace_back(Event::Element, element);
    } else {
        current_ = current_->parent;
    }
}

void XMPPParser::characters(const xmlChar* text, int length) {
    if (isStopped()) return;
    if (depth_ >= 2) {
        text_.append(reinterpret_cast<const char*>(text), length);
    } else if (depth_ == 1) {
        // Whitespace between stanzas (keep-alives) does not count towards the next stanza.
        markStanzaBoundary();
    }
}

// Text arrives in many pieces (one per entity reference); it becomes one text node.
void XMPPParser::flushText() {
    if (text_.empty() || current_ == nullptr) return;
    xmlAddChild(current_, xmlNewTextLen(xml(text_.data()), static_cast<int>(text_.size())));
    text_.clear();
}

void XMPPParser::markStanzaBoundary() {
    const long consumed = xmlByteConsumed(context_);
    if (consumed >= 0) stanzaBoundary_ = consumed;
}

void XMPPParser::fail(Failure failure, const QString& reason) {
    if (isStopped()) return;
    failed_ = true;
    xmlStopParser(context_);
    pending_.emplace_back(Event::Failed, XMLElement(), failure, reason);
}

QString XMPPParser::conditionForFailure(Failure failure) {
    switch (failure) {
        case Failure::NotWellFormed:
            return QStringLiteral("not-well-formed");
        case Failure::RestrictedXML:
            return QStringLiteral("restricted-xml");
        case Failure::StanzaTooBig:
            return QStringLiteral("policy-violation");
    }
    return QStringLiteral("undefined-condition");
}

namespace {

class FirstElement : public XMPPParser::Delegate {
public:
    void parserDidReadRoot(const XMLElement&) override {}
    void parserDidReadElement(const XMLElement& element) override {
        if (!element_) element_ = element;
    }
    void parserDidEnd() override {}
    void parserDidFail(XMPPParser::Failure, const QString&) override { failed_ = true; }

    XMLElement element_;
    bool failed_ = false;
};

}  // namespace

XMLElement XMPPParser::elementWithXMLString(const QString& xml) {
    FirstElement reader;
    XMPPParser parser(reader);
    parser.parseData(QByteArrayLiteral("<root>") + xml.toUtf8() + QByteArrayLiteral("</root>"));
    return reader.failed_ ? XMLElement() : reader.element_;
}

}  // namespace tovrin::xmpp
