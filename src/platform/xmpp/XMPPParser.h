#pragma once

#include <QByteArray>
#include <QString>
#include <deque>
#include <memory>
#include <string>

#include "platform/xmpp/XMLElement.h"

struct _xmlParserCtxt;

namespace tovrin::xmpp {

// Reads an XMPP stream incrementally over libxml2's push parser: the stream's root element,
// which stays open, then every top-level element (stanza) once it is complete, however the
// bytes were split. Restricted XML only: comments, processing instructions, document type
// declarations and entity references other than the predefined ones end the stream, and no
// entity is ever substituted.
class XMPPParser {
public:
    enum class Failure { NotWellFormed, RestrictedXML, StanzaTooBig };

    class Delegate {
    public:
        virtual ~Delegate() = default;
        // The root element with its attributes and no children.
        virtual void parserDidReadRoot(const XMLElement& root) = 0;
        virtual void parserDidReadElement(const XMLElement& element) = 0;
        virtual void parserDidEnd() = 0;
        virtual void parserDidFail(Failure failure, const QString& reason) = 0;
    };

    static constexpr qsizetype defaultMaximumStanzaSize = 1024 * 1024;

    // The delegate must outlive the parser; it is called synchronously from `parseData`.
    explicit XMPPParser(Delegate& delegate, qsizetype maximumStanzaSize = defaultMaximumStanzaSize);
    ~XMPPParser();
    XMPPParser(const XMPPParser&) = delete;
    XMPPParser& operator=(const XMPPParser&) = delete;

    // Whether the parser can go on; after a failure or the end of the stream it reads nothing more.
    bool parseData(const QByteArray& data);
    bool parseData(const char* data, qsizetype size);
    bool hasFailed() const { return failed_; }

    // One element from a text, read with the same rules (for building elements from literals).
    static XMLElement elementWithXMLString(const QString& xml);

    static QString conditionForFailure(Failure failure);

private:
    friend struct XMPPParserCallbacks;

    struct Event {
        enum Kind { Root, Element, End, Failed };
        Event(Kind kind, XMLElement element = {}, Failure failure = Failure::NotWellFormed,
              QString reason = {})
            : kind(kind), element(std::move(element)), failure(failure), reason(std::move(reason)) {}
        Kind kind;
        XMLElement element;
        Failure failure;
        QString reason;
    };

    void startElement(const unsigned char* localName, const unsigned char* uri, int attributeCount,
                      const unsigned char** attributes);
    void endElement();
    void characters(const unsigned char* text, int length);
    void fail(Failure failure, const QString& reason);
    bool isStopped() const { return failed_ || ended_; }
    void checkPendingSize();
    void markStanzaBoundary();
    void flushText();
    bool deliverPending(const std::shared_ptr<bool>& alive);

    Delegate& delegate_;
    const qsizetype maximumStanzaSize_;
    _xmlParserCtxt* context_ = nullptr;
    _xmlNode* stanzaRoot_ = nullptr;
    _xmlNode* current_ = nullptr;
    std::deque<Event> pending_;
    std::string text_;
    const std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    int depth_ = 0;
    qint64 bytesFed_ = 0;
    qint64 stanzaBoundary_ = 0;
    bool failed_ = false;
    bool ended_ = false;
};

}  // namespace tovrin::xmpp
