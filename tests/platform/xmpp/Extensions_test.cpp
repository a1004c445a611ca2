#include <gtest/gtest.h>

#include "platform/xmpp/XEP-0004/XMPPDataForm.h"
#include "platform/xmpp/XEP-0059/XMPPResultSet.h"
#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"
#include "platform/xmpp/XMPPParser.h"

namespace tovrin::xmpp {
namespace {

TEST(ChatMarkers, BuildsTheMarkersOfXEP0333) {
    XMPPMessage message;
    message.setTo(*XMPPJID::jidWithString("peer@tovrin.test"));
    addDisplayedChatMarkerWithID(message, "m1");
    EXPECT_EQ(message.compactXMLString(),
              "<message to=\"peer@tovrin.test\"><displayed xmlns=\"urn:xmpp:chat-markers:0\" "
              "id=\"m1\"/></message>");
    XMPPMessage markable = XMPPMessage::messageWithType("chat");
    addMarkableChatMarker(markable);
    EXPECT_TRUE(hasMarkableChatMarker(markable));
    EXPECT_TRUE(chatMarkerID(markable).isEmpty());
}

TEST(ChatMarkers, ReadsTheIdOfTheLastMarker) {
    const XMPPMessage message(
        XMPPParser::elementWithXMLString("<message><received xmlns='urn:xmpp:chat-markers:0' "
                                         "id='a'/><acknowledged xmlns='urn:xmpp:chat-markers:0' "
                                         "id='b'/><body>x</body></message>"));
    EXPECT_EQ(chatMarkerID(message), "b");
    EXPECT_TRUE(hasReceivedChatMarker(message));
    EXPECT_TRUE(hasAcknowledgedChatMarker(message));
    EXPECT_FALSE(hasDisplayedChatMarker(message));
    EXPECT_FALSE(hasChatMarker(
        XMPPMessage(XMPPParser::elementWithXMLString("<message><received id='a'/></message>"))));
}

TEST(ResultSet, BuildsPagesBeforeAndAfterAnIdEvenAnEmptyOne) {
    EXPECT_EQ(XMPPResultSet::resultSetWithMaxBefore(50, "").compactXMLString(),
              "<set xmlns=\"http://jabber.org/protocol/rsm\"><max>50</max><before/></set>");
    EXPECT_EQ(XMPPResultSet::resultSetWithMaxAfter(50, "r9").compactXMLString(),
              "<set xmlns=\"http://jabber.org/protocol/rsm\"><max>50</max><after>r9</after></set>");
    const XMPPResultSet empty = XMPPResultSet::resultSetWithMaxBefore(50, "");
    EXPECT_TRUE(empty.hasBefore());
    EXPECT_EQ(empty.before(), QString());
    EXPECT_FALSE(empty.hasCount());
}

TEST(ResultSet, ReadsAPageDescription) {
    const XMPPResultSet page(
        XMPPParser::elementWithXMLString("<set xmlns='http://jabber.org/protocol/rsm'><first "
                                         "index='10'>f</first><last>l</last><count>120</count></set>"));
    EXPECT_EQ(page.first(), "f");
    EXPECT_EQ(page.last(), "l");
    EXPECT_EQ(page.count(), 120);
    EXPECT_EQ(page.firstIndex(), 10);
    EXPECT_FALSE(page.max());
    EXPECT_FALSE(page.hasBefore());
}

TEST(DataForm, BuildsAFormWithFieldsAndValues) {
    XMPPDataForm form = XMPPDataForm::formWithType(std::nullopt);
    form.addField(XMPPDataFormField::fieldWithVarStringValue("FORM_TYPE", "urn:xmpp:mam:0"));
    form.addField(XMPPDataFormField::fieldWithVarJidValue("with", *XMPPJID::jidWithString("42@tovrin.test")));
    EXPECT_EQ(form.compactXMLString(),
              "<x xmlns=\"jabber:x:data\"><field var=\"FORM_TYPE\"><value>urn:xmpp:mam:0</value></field>"
              "<field var=\"with\"><value>42@tovrin.test</value></field></x>");
    EXPECT_EQ(XMPPDataForm::formWithType("submit").type(), "submit");
    EXPECT_EQ(form.fields().value(1).values(), QStringList({"42@tovrin.test"}));
    EXPECT_EQ(XMPPDataFormField::field().compactXMLString(), "<field/>");
}

}  // namespace
}  // namespace tovrin::xmpp
