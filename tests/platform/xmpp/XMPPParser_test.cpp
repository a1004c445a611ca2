#include "platform/xmpp/XMPPParser.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <functional>

namespace tovrin::xmpp {
namespace {

const QByteArray streamHeader =
    "<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
    "xmlns:stream='http://etherx.jabber.org/streams' id='s1' version='1.0'>";

class Recorder : public XMPPParser::Delegate {
public:
    void parserDidReadRoot(const XMLElement& root) override {
        events << "root " + root.name() + " " + root.xmlns() + " " + root.attributeStringValueForName("id");
    }
    void parserDidReadElement(const XMLElement& element) override {
        events << element.compactXMLString();
        if (onElement) onElement();
    }
    void parserDidEnd() override { events << "end"; }
    void parserDidFail(XMPPParser::Failure failure, const QString&) override {
        events << "fail " + XMPPParser::conditionForFailure(failure);
    }

    QStringList events;
    std::function<void()> onElement;
};

QStringList parse(const QList<QByteArray>& chunks,
                  qsizetype maximumStanzaSize = XMPPParser::defaultMaximumStanzaSize) {
    Recorder recorder;
    XMPPParser parser(recorder, maximumStanzaSize);
    for (const QByteArray& chunk : chunks) parser.parseData(chunk);
    return recorder.events;
}

const QByteArray sampleStream =
    streamHeader +
    "<stream:features><mechanisms xmlns='urn:ietf:params:xml:ns:xmpp-sasl'><mechanism>PLAIN</mechanism>"
    "</mechanisms></stream:features>\n  "
    "<message from='a@tovrin.test/r' to='b@tovrin.test' type='chat' id='m&amp;1'>"
    "<body>caf&#233; &amp; &lt;tea&gt; \xe2\x9c\x93<![CDATA[<raw>]]></body>"
    "<markable xmlns='urn:xmpp:chat-markers:0'/></message> <presence/>"
    "<x:item xmlns:x='urn:example'><x:inner/></x:item></stream:stream>";

const QStringList sampleEvents = {
    "root stream http://etherx.jabber.org/streams s1",
    "<features xmlns=\"http://etherx.jabber.org/streams\"><mechanisms "
    "xmlns=\"urn:ietf:params:xml:ns:xmpp-sasl\"><mechanism>PLAIN</mechanism></mechanisms></features>",
    QString::fromUtf8(
        "<message xmlns=\"jabber:client\" from=\"a@tovrin.test/r\" to=\"b@tovrin.test\" type=\"chat\" "
        "id=\"m&amp;1\"><body>café &amp; &lt;tea&gt; \xe2\x9c\x93&lt;raw&gt;</body><markable "
        "xmlns=\"urn:xmpp:chat-markers:0\"/></message>"),
    "<presence xmlns=\"jabber:client\"/>",
    "<item xmlns=\"urn:example\"><inner/></item>",
    "end",
};

TEST(XMPPParser, DeliversTheRootThenEachCompleteStanzaThenTheEnd) {
    EXPECT_EQ(parse({sampleStream}), sampleEvents);
}

TEST(XMPPParser, DeliversTheSameWhereverTheBytesAreSplit) {
    for (qsizetype split = 1; split < sampleStream.size(); ++split) {
        ASSERT_EQ(parse({sampleStream.left(split), sampleStream.mid(split)}), sampleEvents)
            << "split at " << split;
    }
    QList<QByteArray> bytes;
    for (char byte : sampleStream) bytes.append(QByteArray(1, byte));
    EXPECT_EQ(parse(bytes), sampleEvents);
}

TEST(XMPPParser, DeliversAStanzaAsSoonAsItsLastByteArrives) {
    Recorder recorder;
    XMPPParser parser(recorder);
    parser.parseData(streamHeader + "<presence/>");
    EXPECT_EQ(recorder.events.size(), 2);
    parser.parseData("<message><body>x</body></message>");
    EXPECT_EQ(recorder.events.size(), 3);
}

TEST(XMPPParser, RefusesWhatRestrictedXMLForbids) {
    struct Case {
        const char* name;
        QByteArray input;
        QString condition;
    };
    const QList<Case> cases = {
        {"comment", streamHeader + "<!-- hello -->", "restricted-xml"},
        {"comment in a stanza", streamHeader + "<message><!-- x --></message>", "restricted-xml"},
        {"processing instruction", streamHeader + "<?target data?>", "restricted-xml"},
        {"document type",
         "<?xml version='1.0'?><!DOCTYPE stream:stream [<!ENTITY x 'y'>]>" + streamHeader.mid(21),
         "restricted-xml"},
        {"billion laughs",
         "<!DOCTYPE lolz [<!ENTITY lol 'lol'><!ENTITY lol2 '&lol;&lol;&lol;'>]>" + streamHeader.mid(21),
         "restricted-xml"},
        {"undeclared entity in text", streamHeader + "<message><body>&lol;</body></message>",
         "restricted-xml"},
        {"undeclared entity in an attribute", streamHeader + "<message id='&lol;'/>", "restricted-xml"},
        {"external entity", streamHeader + "<message>&xxe;</message>", "restricted-xml"},
        {"mismatched tags", streamHeader + "<message></presence>", "not-well-formed"},
        {"repeated attribute", streamHeader + "<message id='1' id='2'/>", "not-well-formed"},
        {"undeclared prefix", streamHeader + "<a:message/>", "not-well-formed"},
        {"invalid UTF-8", streamHeader + "<message><body>\xff\xfe</body></message>", "not-well-formed"},
        {"control character", streamHeader + "<message><body>&#1;</body></message>", "not-well-formed"},
    };
    for (const Case& testCase : cases) {
        const QStringList events = parse({testCase.input});
        ASSERT_FALSE(events.isEmpty()) << testCase.name;
        EXPECT_EQ(events.last(), "fail " + testCase.condition) << testCase.name;
        EXPECT_FALSE(events.join('\n').contains("<message")) << testCase.name;
    }
}

TEST(XMPPParser, ReadsNothingAfterAFailure) {
    Recorder recorder;
    XMPPParser parser(recorder);
    EXPECT_FALSE(parser.parseData(streamHeader + "<!-- no -->"));
    EXPECT_FALSE(parser.parseData("<presence/>"));
    EXPECT_TRUE(parser.hasFailed());
    EXPECT_EQ(recorder.events.last(), "fail restricted-xml");
}

TEST(XMPPParser, RefusesAStanzaOverTheSizeLimitHoweverItArrives) {
    const QByteArray big = "<message><body>" + QByteArray(5000, 'a') + "</body></message>";
    EXPECT_EQ(parse({streamHeader + big}, 1000).last(), "fail policy-violation");
    QList<QByteArray> pieces = {streamHeader};
    for (qsizetype offset = 0; offset < big.size(); offset += 100) pieces.append(big.mid(offset, 100));
    const QStringList events = parse(pieces, 1000);
    EXPECT_EQ(events.last(), "fail policy-violation");
    EXPECT_EQ(events.size(), 2);
}

TEST(XMPPParser, CountsTheLimitPerStanzaNotPerChunk) {
    QByteArray many = streamHeader;
    for (int index = 0; index < 100; ++index)
        many += "<message><body>0123456789</body></message>" + QByteArray(50, ' ');
    const QStringList events = parse({many}, 100);
    EXPECT_EQ(events.size(), 101);
    EXPECT_FALSE(events.last().startsWith("fail"));
}

TEST(XMPPParser, ADelegateMayDropTheParserWhileElementsAreBeingDelivered) {
    Recorder recorder;
    auto parser = std::make_unique<XMPPParser>(recorder);
    recorder.onElement = [&] { parser.reset(); };
    EXPECT_FALSE(parser->parseData(streamHeader + "<presence/><presence/><presence/>"));
    EXPECT_FALSE(parser);
    EXPECT_EQ(recorder.events.size(), 2);
}

// Found by the fuzzer: a prefixed attribute lost its prefix's declaration when written out.
TEST(XMPPParser, AnElementWithAPrefixedAttributeIsWrittenOutReadably) {
    const QStringList events = parse({streamHeader + "<message xmlns:x='urn:x' x:lang='en' xml:lang='fr'/>"});
    ASSERT_EQ(events.size(), 2);
    const XMLElement reread = XMPPParser::elementWithXMLString(events.last());
    ASSERT_FALSE(reread.isNull()) << events.last().toStdString();
    EXPECT_EQ(reread.compactXMLString(), events.last());
    EXPECT_EQ(reread.attributeStringValueForName("x:lang"), "en");
    EXPECT_EQ(reread.attributeStringValueForName("xml:lang"), "fr");
}

TEST(XMPPParser, ReadsOneElementFromText) {
    const XMLElement element = XMPPParser::elementWithXMLString("<a x='1'><b xmlns='urn:b'>t</b></a>");
    EXPECT_EQ(element.compactXMLString(), "<a x=\"1\"><b xmlns=\"urn:b\">t</b></a>");
    EXPECT_TRUE(XMPPParser::elementWithXMLString("<a><!-- no --></a>").isNull());
    EXPECT_TRUE(XMPPParser::elementWithXMLString("<a>").isNull());
}

}  // namespace
}  // namespace tovrin::xmpp
