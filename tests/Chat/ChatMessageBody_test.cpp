#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <limits>

#include "Chat/BlockMessage.h"
#include "Chat/ChatMessageConstants.h"
#include "Chat/DirectedMessageCategorizer.h"
#include "Chat/ImageMediaHashMessage.h"
#include "Chat/LocationMessage.h"
#include "Chat/TextMessage.h"
#include "Chat/XMPPMessageBuilder.h"
#include "Chat/XMPPMessageInterpreter.h"
#include "Persistence/TemporaryStore.h"
#include "Persistence/databasewrapper/Cursor.h"
#include "platform/foundation/JSON.h"
#include "platform/xmpp/XMPPParser.h"

namespace tovrin {
namespace {

using xmpp::XMPPMessage;

const QString domain = QStringLiteral("tovrin.test");

QJsonObject parsedObject(const QString& text) {
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

// The stanza as it comes off the wire: written, then parsed again.
XMPPMessage throughTheWire(const XMPPMessage& message) {
    return XMPPMessage(xmpp::XMPPParser::elementWithXMLString(message.compactXMLString()));
}

// A received chat stanza from "peer" to "me" whose body is the given JSON text.
XMPPMessage stanzaWithBody(const QString& bodyJSON, const QString& id = QStringLiteral("m1")) {
    XMPPMessage message = XMPPMessage::messageWithType("chat");
    message.addAttributeWithName("from", "peer@tovrin.test/phone");
    message.addAttributeWithName("to", "me@tovrin.test");
    if (!id.isNull()) message.setElementID(id);
    message.addBody(bodyJSON);
    return message;
}

std::shared_ptr<ChatMessage> readMessage(const XMPPMessage& message,
                                         quint32 status = ChatMessageStatusReceived) {
    const auto interpreter = XMPPMessageInterpreter::interpreterWithXMPPMessage(message);
    return interpreter ? interpreter->chatMessageWithStatus(status) : nullptr;
}

TEST(XMPPMessageBuilder, WritesTheTimestampInWholeMillisecondsWithoutUndefinedCasts) {
    struct Case {
        double seconds;
        quint64 timestamp;
    };
    const Case cases[] = {
        {1.0625, 1063},  // 1062.5 rounds away from zero
        {1.03125, 1031},
        {1'700'000'000.1234, 1'700'000'000'123},
        {0, 0},
        {-0.0004, 0},
        {-1.5, 0},  // before 1970
        {-1e300, 0},
        {std::nan(""), 0},
        {9'223'372'036'854'775.808, 9'223'372'036'854'775'808ULL},  // 2^63 keeps its unsigned value
        {1e300, std::numeric_limits<quint64>::max()},
        {std::numeric_limits<double>::infinity(), std::numeric_limits<quint64>::max()},
    };
    for (const Case& testCase : cases) {
        EXPECT_EQ(XMPPMessageBuilder::timestampForDate(Date(testCase.seconds)), testCase.timestamp)
            << testCase.seconds;
    }
}

TEST(XMPPMessageBuilder, WritesEachKindAsAChatStanzaWithEveryBodyMember) {
    const Date sent(1.0625);
    struct Case {
        XMPPMessage stanza;
        QString type;
        // The "body" member: the text, or the payload's JSON compared as a value.
        QJsonValue payload;
    };
    const Case cases[] = {
        {XMPPMessageBuilder::xmppMessageWithText("m1", "hello there", "7", "42", domain, sent), "text",
         QStringLiteral("hello there")},
        {XMPPMessageBuilder::xmppMessageWithImageMediaHash("m1", "abc123", "7", "42", domain, sent), "image",
         QJsonObject{{"imageHash", "abc123"}}},
        {XMPPMessageBuilder::xmppMessageWithLocation("m1", 52.5, -13.25, "7", "42", domain, sent), "map",
         QJsonObject{{"lat", 52.5}, {"lon", -13.25}}},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.type.toStdString());
        const XMPPMessage& stanza = testCase.stanza;
        EXPECT_EQ(stanza.name(), "message");
        EXPECT_EQ(stanza.type(), "chat");
        EXPECT_EQ(stanza.toStr(), "42@tovrin.test");
        EXPECT_EQ(stanza.elementID(), "m1");
        EXPECT_FALSE(stanza.hasAttribute("from"));
        ASSERT_EQ(stanza.childCount(), 1);
        const QString bodyText = stanza.body();
        EXPECT_FALSE(bodyText.contains('\n') || bodyText.contains("\": ") || bodyText.contains(", \""))
            << bodyText.toStdString();
        const QJsonObject body = parsedObject(bodyText);
        ASSERT_FALSE(body.isEmpty()) << bodyText.toStdString();
        EXPECT_EQ(body.size(), 7);
        EXPECT_EQ(body.value("sourceProfileId"), "7");
        EXPECT_EQ(body.value("sourceDisplayName"), "TEMPORARY_VALUE");
        EXPECT_EQ(body.value("targetProfileId"), "42");
        EXPECT_EQ(body.value("messageId"), "m1");
        EXPECT_EQ(body.value("timestamp").toInteger(), 1063);
        EXPECT_EQ(body.value("type"), testCase.type);
        ASSERT_TRUE(body.value("body").isString());
        if (testCase.payload.isString()) {
            EXPECT_EQ(body.value("body"), testCase.payload);
        } else {
            EXPECT_EQ(QJsonValue(parsedObject(body.value("body").toString())), testCase.payload);
        }
    }
}

TEST(XMPPMessageBuilder, WrapsAFinishedBodyObjectAndItReadsBackAsTheSameValue) {
    const QJsonObject body{{"type", "text"},
                           {"body", "a \"quoted\" </body> & <x/>\nline ü 😀"},
                           {"timestamp", qint64(9'007'199'254'740'993)},
                           {"extra", QJsonArray{1, "two", QJsonValue::Null}}};
    XMPPMessage stanza = XMPPMessageBuilder::xmppMessageWithBodyDictionary("m9", "42", domain, body);
    stanza.addAttributeWithName("from", "7@tovrin.test/phone");
    const auto interpreter = XMPPMessageInterpreter::interpreterWithXMPPMessage(throughTheWire(stanza));
    ASSERT_TRUE(interpreter);
    EXPECT_EQ(interpreter->tovrinBodyDictionary(), body);
    EXPECT_EQ(interpreter->messageType(), "text");
    EXPECT_EQ(interpreter->messageID(), "m9");
    EXPECT_EQ(interpreter->senderProfileID(), "7");
    EXPECT_EQ(interpreter->targetProfileID(), "42");
}

TEST(XMPPMessageInterpreter, GivesNoReaderForAStanzaWithoutIdBodyOrBodyObject) {
    struct Case {
        const char* name;
        XMPPMessage stanza;
    };
    XMPPMessage withoutBody = XMPPMessage::messageWithType("chat");
    withoutBody.setElementID("m1");
    const Case cases[] = {
        {"no id", stanzaWithBody(R"({"type":"text","body":"hi"})", QString())},
        {"empty id", stanzaWithBody(R"({"type":"text","body":"hi"})", QStringLiteral(""))},
        {"no body", withoutBody},
        {"empty body", stanzaWithBody("")},
        {"malformed", stanzaWithBody(R"({"type":"text",)")},
        {"array", stanzaWithBody(R"([{"type":"text"}])")},
        {"bare string", stanzaWithBody(R"("text")")},
        {"bare number", stanzaWithBody("5")},
    };
    for (const Case& testCase : cases) {
        EXPECT_FALSE(XMPPMessageInterpreter::interpreterWithXMPPMessage(testCase.stanza)) << testCase.name;
    }
}

TEST(XMPPMessageInterpreter, ReadsEachTypeAndItsPayloadWhateverTheMembersHold) {
    enum Kind { None, Text, Image, Location, Block };
    struct Case {
        const char* body;
        Kind kind;
        std::optional<QString> text = std::nullopt;
        QString imageHash = {};
        std::optional<Coordinate> location = std::nullopt;
    };
    const Case cases[] = {
        {R"({"type":"text","body":"hi"})", Text, "hi"},
        {R"({"type":"text","body":""})", Text, ""},
        {R"({"type":"text"})", Text},
        {R"({"type":"text","body":17})", Text},
        {R"({"type":"text","body":null})", Text},
        {R"({"type":"image","body":"{\"imageHash\":\"h1\"}"})", Image, {}, "h1"},
        {R"({"type":"image","body":"not json"})", Image},
        {R"({"type":"image","body":"[\"h1\"]"})", Image},
        {R"({"type":"image","body":"\"h1\""})", Image},
        {R"({"type":"image","body":"{\"imageHash\":5}"})", Image},
        {R"({"type":"image","body":{"imageHash":"h1"}})", Image},
        {R"({"type":"image"})", Image},
        {R"({"type":"map","body":"{\"lat\":52.5,\"lon\":13.4}"})", Location, {}, {}, Coordinate{52.5, 13.4}},
        {R"({"type":"map","body":"{\"lat\":0,\"lon\":0}"})", Location, {}, {}, Coordinate{0, 0}},
        {R"({"type":"map","body":"{\"lat\":-90,\"lon\":180}"})", Location, {}, {}, Coordinate{-90, 180}},
        {R"({"type":"map","body":"{\"lat\":\" 52.5\",\"lon\":\"-13.4e0x\"}"})",
         Location,
         {},
         {},
         Coordinate{52.5, -13.4}},
        {R"({"type":"map","body":"{\"lat\":52.5}"})", Location},
        {R"({"type":"map","body":"{\"lat\":null,\"lon\":13.4}"})", Location},
        {R"({"type":"map","body":"{\"lat\":[1],\"lon\":{}}"})", Location},
        {R"({"type":"map","body":"{\"lat\":\"north\",\"lon\":13.4}"})", Location},
        {R"({"type":"map","body":"{\"lat\":90.5,\"lon\":13.4}"})", Location},
        {R"({"type":"map","body":"{\"lat\":52.5,\"lon\":-180.5}"})", Location},
        {R"({"type":"map","body":"{\"lat\":1e999,\"lon\":0}"})", Location},
        {R"({"type":"map","body":"[52.5,13.4]"})", Location},
        {R"({"type":"map","body":"52.5,13.4"})", Location},
        {R"({"type":"map","body":{"lat":52.5,"lon":13.4}})", Location},
        {R"({"type":"map"})", Location},
        {R"({"type":"block"})", Block},
        {R"({"type":"block","body":"anything"})", Block},
        {R"({"type":"video","body":"hi"})", None},
        {R"({"type":"Text","body":"hi"})", None},
        {R"({"type":5,"body":"hi"})", None},
        {R"({"type":["text"],"body":"hi"})", None},
        {R"({"type":null,"body":"hi"})", None},
        {R"({"body":"hi"})", None},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.body);
        const auto message = readMessage(stanzaWithBody(testCase.body), ChatMessageStatusFailed);
        if (testCase.kind == None) {
            EXPECT_FALSE(message);
            continue;
        }
        ASSERT_TRUE(message);
        EXPECT_EQ(message->messageID(), "m1");
        EXPECT_EQ(message->senderProfileID(), "peer");
        EXPECT_EQ(message->targetProfileID(), "me");
        EXPECT_EQ(message->status(), ChatMessageStatusFailed);
        const auto* archivable = dynamic_cast<const ArchivableChatMessage*>(message.get());
        switch (testCase.kind) {
            case Text:
                ASSERT_TRUE(DirectedMessageCategorizer::isTextMessage(message.get()));
                EXPECT_EQ(static_cast<const TextMessage&>(*message).text(), testCase.text);
                break;
            case Image:
                ASSERT_TRUE(DirectedMessageCategorizer::isImageHashMessage(message.get()));
                EXPECT_EQ(static_cast<const ImageMediaHashMessage&>(*message).imageMediaHash(),
                          testCase.imageHash);
                EXPECT_EQ(static_cast<const ImageMediaHashMessage&>(*message).imageSize(), QSizeF(1, 1));
                break;
            case Location:
                ASSERT_TRUE(DirectedMessageCategorizer::isLocationMessage(message.get()));
                EXPECT_EQ(static_cast<const LocationMessage&>(*message).location(), testCase.location);
                break;
            case Block:
                EXPECT_TRUE(DirectedMessageCategorizer::isBlockMessage(message.get()));
                break;
            case None:
                break;
        }
        if (testCase.kind != Block) EXPECT_TRUE(archivable && archivable->didReceiveFromXMPP());
    }
}

TEST(XMPPMessageInterpreter, ReadsTheTimestampAsWholeMillisecondsAndAnythingUnreadableAsMissing) {
    constexpr double latest = double(std::numeric_limits<qint64>::max()) / 1000.0;
    constexpr double earliest = double(std::numeric_limits<qint64>::min()) / 1000.0;
    struct Case {
        const char* timestamp;  // the member's JSON, or null for no member
        double seconds;
    };
    const Case cases[] = {
        {"1063", 1.063},
        {nullptr, 0},
        {"1500.9", 1.5},  // cut toward zero
        {"-1500.9", -1.5},
        {"\"1500\"", 1.5},
        {"\"  \\t1500\"", 1.5},
        {"\"+1500\"", 1.5},
        {"\"-1500\"", -1.5},
        {"\"1500.9 ms\"", 1.5},
        {"\"ms 1500\"", 0},
        {"\"\"", 0},
        {"\"99999999999999999999\"", latest},
        {"\"-99999999999999999999\"", earliest},
        {"1e300", latest},
        {"-1e300", earliest},
        {"null", 0},
        {"[1500]", 0},
        {"{\"ms\":1500}", 0},
        {"true", 0},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.timestamp ? testCase.timestamp : "missing");
        const QString member =
            testCase.timestamp ? QStringLiteral(",\"timestamp\":%1").arg(testCase.timestamp) : QString();
        const auto message = readMessage(stanzaWithBody(R"({"type":"text","body":"hi")" + member + "}"));
        ASSERT_TRUE(message);
        EXPECT_EQ(message->sentDate(), Date(testCase.seconds));
    }
}

TEST(XMPPMessageInterpreter, TakesMembersAndIdFromTheStanzaNotFromTheBody) {
    const auto message = readMessage(stanzaWithBody(
        R"({"type":"text","body":"hi","sourceProfileId":"other","targetProfileId":"someone","messageId":"m2"})"));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->senderProfileID(), "peer");
    EXPECT_EQ(message->targetProfileID(), "me");
    EXPECT_EQ(message->messageID(), "m1");
    EXPECT_EQ(message->exchangedInConversationWithProfileID(), "peer");
}

TEST(ChatMessageBody, EachKindReadsBackAsWrittenToTheMillisecond) {
    const Date sent(1'700'000'000.1234567);
    const QString text = QStringLiteral("a \"quoted\" </body> <b>&amp;</b>\nü 😀");
    const XMPPMessage stanzas[] = {
        XMPPMessageBuilder::xmppMessageWithText("t1", text, "7", "42", domain, sent),
        XMPPMessageBuilder::xmppMessageWithImageMediaHash("i1", "hash/+=", "7", "42", domain, sent),
        XMPPMessageBuilder::xmppMessageWithLocation("l1", -33.856784, 151.215297, "7", "42", domain, sent),
    };
    for (XMPPMessage stanza : stanzas) {
        SCOPED_TRACE(stanza.elementID().toStdString());
        // What the chat client does before reading its own stanza.
        stanza.addAttributeWithName("from", "7@tovrin.test");
        const auto message = readMessage(throughTheWire(stanza), ChatMessageStatusSent);
        ASSERT_TRUE(message);
        EXPECT_EQ(message->messageID(), stanza.elementID());
        EXPECT_EQ(message->senderProfileID(), "7");
        EXPECT_EQ(message->targetProfileID(), "42");
        EXPECT_EQ(message->status(), ChatMessageStatusSent);
        EXPECT_EQ(message->sentDate(), Date(1'700'000'000.123));
        if (const auto* textMessage = dynamic_cast<const TextMessage*>(message.get())) {
            EXPECT_EQ(textMessage->text(), text);
        } else if (const auto* image = dynamic_cast<const ImageMediaHashMessage*>(message.get())) {
            EXPECT_EQ(image->imageMediaHash(), "hash/+=");
        } else {
            const auto* location = dynamic_cast<const LocationMessage*>(message.get());
            ASSERT_TRUE(location);
            EXPECT_EQ(location->location(), (Coordinate{-33.856784, 151.215297}));
        }
    }
}

TEST(ChatMessageBody, ANonFiniteLocationStillWritesJSONAndReadsBackWithoutPosition) {
    XMPPMessage stanza = XMPPMessageBuilder::xmppMessageWithLocation(
        "l1", std::nan(""), std::numeric_limits<double>::infinity(), "7", "42", domain, Date(1));
    stanza.addAttributeWithName("from", "7@tovrin.test");
    const auto message = readMessage(throughTheWire(stanza), ChatMessageStatusSent);
    const auto* location = dynamic_cast<const LocationMessage*>(message.get());
    ASSERT_TRUE(location) << stanza.body().toStdString();
    EXPECT_FALSE(location->location());
}

TEST(ChatMessageBody, ALocationWithoutPositionGoesThroughTheStoreAndComesBackWithout) {
    test::TemporaryStore files;
    const auto store = files.make();
    const auto read =
        readMessage(stanzaWithBody(R"({"type":"map","body":"{\"lat\":\"?\"}","timestamp":5000})"));
    ASSERT_TRUE(read);
    ASSERT_TRUE(test::await(store->saveDirectedMessages({read})));

    auto cursor = files.open()->executeSQL("SELECT locationString FROM ChatMessages WHERE messageID = 'm1';");
    const auto row = cursor->nextObject();
    ASSERT_TRUE(row);
    EXPECT_EQ(row->stringForColumn(0), QString(""));

    const auto messages = test::await(store->getChatMessagesExchangedWithProfileID("peer", Date(10), 50));
    ASSERT_EQ(messages.size(), 1u);
    const auto* location = dynamic_cast<const LocationMessage*>(messages[0].get());
    ASSERT_TRUE(location);
    EXPECT_FALSE(location->location());
    EXPECT_EQ(location->sentDate(), Date(5));
}

TEST(ChatMessageBody, AStoredLocationTextReadsBackOnlyWhenItIsAPosition) {
    struct Case {
        const char* stored;
        std::optional<Coordinate> location;
    };
    const Case cases[] = {
        {"52.500000,13.400000", Coordinate{52.5, 13.4}},
        {"0.000000,0.000000", Coordinate{0, 0}},
        {"", std::nullopt},
        {"52.5", std::nullopt},
        {"1,2,3", std::nullopt},
        {"north,13.4", std::nullopt},
        {"52.5,", std::nullopt},
        {"nan,13.4", std::nullopt},
        {"inf,13.4", std::nullopt},
        {"90.5,13.4", std::nullopt},
        {"52.5,180.5", std::nullopt},
    };
    test::TemporaryStore files;
    const auto store = files.make();
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.stored);
        const auto message = std::make_shared<LocationMessage>(
            "l", "peer", "me", Date(1), ChatMessageStatusReceived, Coordinate{1, 1}, true);
        ASSERT_TRUE(test::await(store->saveDirectedMessages({message})));
        files.open()->executeSQL(
            QStringLiteral("UPDATE ChatMessages SET locationString = '%1' WHERE messageID = 'l';")
                .arg(testCase.stored));
        const auto messages = test::await(store->getChatMessagesExchangedWithProfileID("peer", Date(10), 50));
        ASSERT_EQ(messages.size(), 1u);
        const auto* location = dynamic_cast<const LocationMessage*>(messages[0].get());
        ASSERT_TRUE(location);
        EXPECT_EQ(location->location(), testCase.location);
    }
}

}  // namespace
}  // namespace tovrin
