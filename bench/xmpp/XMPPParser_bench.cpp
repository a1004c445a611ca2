// Reading a stream of 100,000 chat stanzas that arrives in 4 KiB chunks: our stream parser, which
// builds every stanza as an element, beside libxml2's push parser with callbacks that do nothing.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <QByteArray>
#include <QList>

#include "platform/xmpp/XMPPParser.h"

namespace {

constexpr int stanzaCount = 100000;
constexpr qsizetype chunkSize = 4096;

QList<QByteArray> chunkedStream() {
    QByteArray stream =
        "<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
        "xmlns:stream='http://etherx.jabber.org/streams' id='bench' version='1.0'>";
    for (int index = 0; index < stanzaCount; ++index) {
        stream +=
            "<message from='1234567@chat.tovrin.test/phone' to='7654321@chat.tovrin.test' type='chat' id='"
            "5F1C2D3E-" +
            QByteArray::number(index) +
            "'><body>{&quot;text&quot;:&quot;See you at the caf"
            "\xc3\xa9 at 8? &amp; bring the map&quot;,&quot;timestamp&quot;:1718000000.123}</body>"
            "<markable xmlns='urn:xmpp:chat-markers:0'/></message>";
    }
    QList<QByteArray> chunks;
    for (qsizetype offset = 0; offset < stream.size(); offset += chunkSize)
        chunks.append(stream.mid(offset, chunkSize));
    return chunks;
}

const QList<QByteArray>& chunks() {
    static const QList<QByteArray> built = chunkedStream();
    return built;
}

class Counter : public tovrin::xmpp::XMPPParser::Delegate {
public:
    void parserDidReadRoot(const tovrin::xmpp::XMLElement&) override {}
    void parserDidReadElement(const tovrin::xmpp::XMLElement&) override { ++elements; }
    void parserDidEnd() override {}
    void parserDidFail(tovrin::xmpp::XMPPParser::Failure, const QString&) override {}
    int elements = 0;
};

void ReadChatStanzasOurs(benchmark::State& state) {
    chunks();  // built once, before timing
    for (auto _ : state) {
        Counter counter;
        tovrin::xmpp::XMPPParser parser(counter);
        for (const QByteArray& chunk : chunks()) parser.parseData(chunk);
        if (counter.elements != stanzaCount) state.SkipWithError("stanzas lost");
    }
    state.SetItemsProcessed(state.iterations() * stanzaCount);
}

struct RawCount {
    int depth = 0;
    int elements = 0;
};

void ReadChatStanzasBaseline(benchmark::State& state) {
    xmlSAXHandler sax{};
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = [](void* context, const xmlChar*, const xmlChar*, const xmlChar*, int,
                            const xmlChar**, int, int,
                            const xmlChar**) { ++static_cast<RawCount*>(context)->depth; };
    sax.endElementNs = [](void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
        auto* count = static_cast<RawCount*>(context);
        if (--count->depth == 1) ++count->elements;
    };
    sax.characters = [](void*, const xmlChar*, int) {};
    chunks();
    for (auto _ : state) {
        RawCount count;
        xmlParserCtxtPtr context = xmlCreatePushParserCtxt(&sax, &count, nullptr, 0, nullptr);
        for (const QByteArray& chunk : chunks())
            xmlParseChunk(context, chunk.constData(), int(chunk.size()), 0);
        xmlFreeParserCtxt(context);
        if (count.elements != stanzaCount) state.SkipWithError("stanzas lost");
    }
    state.SetItemsProcessed(state.iterations() * stanzaCount);
}

}  // namespace

BENCHMARK(ReadChatStanzasOurs)->Name("XMPPParser/ReadChatStanzas/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(ReadChatStanzasBaseline)
    ->Name("XMPPParser/ReadChatStanzas/baseline")
    ->Unit(benchmark::kMillisecond);
