#include "platform/xmpp/XMLElement.h"

#include <gtest/gtest.h>

#include "platform/xmpp/XMPPParser.h"

namespace tovrin::xmpp {
namespace {

TEST(XMLElement, BuildsAndSerialisesCompactlyWithNamespacesWhereTheyChange) {
    XMLElement message(QStringLiteral("message"), QStringLiteral("jabber:client"));
    message.addAttributeWithName(QStringLiteral("to"), QStringLiteral("a@tovrin.test"));
    message.addChild(XMLElement::elementWithName(QStringLiteral("body"), QStringLiteral("hi")));
    message.addChild(XMLElement(QStringLiteral("markable"), QStringLiteral("urn:xmpp:chat-markers:0")));
    EXPECT_EQ(message.compactXMLString(),
              "<message xmlns=\"jabber:client\" to=\"a@tovrin.test\"><body>hi</body>"
              "<markable xmlns=\"urn:xmpp:chat-markers:0\"/></message>");
    EXPECT_EQ(message.elementForName(QStringLiteral("body")).xmlns(), "jabber:client");
    EXPECT_EQ(message.elementForXmlns(QStringLiteral("urn:xmpp:chat-markers:0")).name(), "markable");
}

TEST(XMLElement, EscapesTextAndAttributesAndNeverReadsThemAsMarkup) {
    XMLElement body(QStringLiteral("body"));
    body.setStringValue(QStringLiteral("a < b && \"c\" &amp; d > e"));
    body.addAttributeWithName(QStringLiteral("note"), QStringLiteral("x=\"1\" & <y>\nz"));
    EXPECT_EQ(body.stringValue(), "a < b && \"c\" &amp; d > e");
    EXPECT_EQ(body.attributeStringValueForName(QStringLiteral("note")), "x=\"1\" & <y>\nz");

    const XMLElement reread = XMPPParser::elementWithXMLString(body.compactXMLString());
    EXPECT_EQ(reread.stringValue(), body.stringValue());
    EXPECT_EQ(reread.attributeStringValueForName(QStringLiteral("note")), "x=\"1\" & <y>\nz");
}

TEST(XMLElement, LeavesOutCharactersXMLCannotCarry) {
    XMLElement body(QStringLiteral("body"));
    body.setStringValue(QString::fromUtf8("ok\x01\x1f") + QChar(0xFFFE) + QChar(0xFFFF) +
                        QStringLiteral("✓ 😀"));
    EXPECT_EQ(body.compactXMLString(), QStringLiteral("<body>ok✓ 😀</body>"));
}

TEST(XMLElement, HandlesShareTheirElementAndCopiesDoNot) {
    XMLElement message(QStringLiteral("message"));
    XMLElement sameMessage = message;
    XMLElement copied = message.copy();
    sameMessage.addAttributeWithName(QStringLiteral("type"), QStringLiteral("error"));
    EXPECT_EQ(message.attributeStringValueForName(QStringLiteral("type")), "error");
    EXPECT_FALSE(copied.hasAttribute(QStringLiteral("type")));
}

TEST(XMLElement, AChildOutlivesTheHandlesOfItsAncestorsAndKeepsItsNamespace) {
    XMLElement child;
    {
        XMLElement root(QStringLiteral("iq"), QStringLiteral("jabber:client"));
        XMLElement query(QStringLiteral("query"), QStringLiteral("urn:xmpp:mam:0"));
        root.addChild(query);
        query.addChild(XMLElement::elementWithName(QStringLiteral("x"), QStringLiteral("1")));
        child = root.elementForName(QStringLiteral("query")).elementForName(QStringLiteral("x"));
    }
    EXPECT_EQ(child.stringValue(), "1");
    EXPECT_EQ(child.xmlns(), "urn:xmpp:mam:0");
    EXPECT_EQ(child.parent().name(), "query");
    EXPECT_EQ(child.copy().compactXMLString(), "<x xmlns=\"urn:xmpp:mam:0\">1</x>");
}

TEST(XMLElement, AddingAnElementThatHasAParentAddsACopy) {
    XMLElement first(QStringLiteral("first"));
    XMLElement second(QStringLiteral("second"));
    XMLElement shared(QStringLiteral("shared"));
    first.addChild(shared);
    second.addChild(first.elementForName(QStringLiteral("shared")));
    second.elementForName(QStringLiteral("shared"))
        .addAttributeWithName(QStringLiteral("a"), QStringLiteral("1"));
    EXPECT_FALSE(shared.hasAttribute(QStringLiteral("a")));
    EXPECT_EQ(first.childCount(), 1);
    EXPECT_EQ(second.childCount(), 1);
}

TEST(XMLElement, RemovedChildrenStayUsableThroughTheirHandles) {
    XMLElement parent(QStringLiteral("parent"));
    parent.addChild(XMLElement::elementWithName(QStringLiteral("old"), QStringLiteral("text")));
    XMLElement old = parent.elementForName(QStringLiteral("old"));
    parent.setStringValue(QStringLiteral("replaced"));
    EXPECT_EQ(parent.childCount(), 0);
    EXPECT_EQ(old.stringValue(), "text");
    EXPECT_TRUE(old.parent().isNull());
}

TEST(XMLElement, ANullElementReadsEmptyAndIgnoresChanges) {
    XMLElement null;
    null.addAttributeWithName(QStringLiteral("a"), QStringLiteral("b"));
    null.addChild(XMLElement(QStringLiteral("c")));
    EXPECT_TRUE(null.isNull());
    EXPECT_TRUE(null.name().isEmpty());
    EXPECT_TRUE(null.elementForName(QStringLiteral("c")).isNull());
    EXPECT_TRUE(null.compactXMLString().isEmpty());
}

}  // namespace
}  // namespace tovrin::xmpp
