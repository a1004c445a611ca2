// libFuzzer target for the stream parser: the input follows a stream header, in chunks whose size
// the first byte picks. Every element read must survive being written out and read again.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "platform/xmpp/XMPPParser.h"

namespace {

using tovrin::xmpp::XMLElement;
using tovrin::xmpp::XMPPParser;

const QByteArray streamHeader =
    "<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
    "xmlns:stream='http://etherx.jabber.org/streams' version='1.0'>";

class RoundTrip : public XMPPParser::Delegate {
public:
    void parserDidReadRoot(const XMLElement& root) override { root.compactXMLData(); }
    void parserDidReadElement(const XMLElement& element) override {
        const QByteArray written = element.compactXMLData();
        const XMLElement reread = XMPPParser::elementWithXMLString(QString::fromUtf8(written));
        if (reread.isNull() || reread.compactXMLData() != written) abort();
        element.copy().stringValue();
    }
    void parserDidEnd() override {}
    void parserDidFail(XMPPParser::Failure, const QString&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t chunk = 1 + data[0] % 64;
    RoundTrip delegate;
    XMPPParser parser(delegate, 4096);
    parser.parseData(streamHeader);
    for (size_t offset = 1; offset < size; offset += chunk) {
        const size_t length = std::min(chunk, size - offset);
        if (!parser.parseData(reinterpret_cast<const char*>(data + offset), static_cast<qsizetype>(length)))
            break;
    }
    return 0;
}
