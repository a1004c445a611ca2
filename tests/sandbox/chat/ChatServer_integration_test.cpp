#include <QImage>
#include <QJsonArray>

#include "API/TovrinUploadRequest.h"
#include "sandbox/SandboxTestSupport.h"
#include "sandbox/chat/ChatTestSupport.h"

namespace tovrin {
namespace {

using test::ChatConnection;
using test::SandboxTest;

// What members exchange on the sandbox's chat server, and what the service makes of it.
class ChatServerTest : public SandboxTest {
protected:
    QJsonArray conversations(URLQueryItems items = {{"quantity", "50"}}) {
        return answerOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/me/conversations", items)))
            .value("conversations")
            .toArray();
    }

    static QJsonObject conversationWith(const QJsonArray& items, const QString& peerID) {
        for (const QJsonValue& item : items) {
            const QJsonObject object = item.toObject();
            if (object.value("profile").toObject().value("profileId").toVariant().toString() == peerID)
                return object;
        }
        return {};
    }

    static QStringList lastMessageIDs(const QJsonObject& conversation) {
        QStringList ids;
        for (const QJsonValue& message : conversation.value("lastMessages").toArray())
            ids << message.toObject().value("messageId").toString();
        return ids;
    }

    // Waits until the service has seen what the member's connection sent.
    bool waitForConversation(const QString& peerID, const std::function<bool(const QJsonObject&)>& holds) {
        return test::runUntil([&] { return holds(conversationWith(conversations(), peerID)); },
                              test::sandboxPatience);
    }
};

TEST_F(ChatServerTest, PhotosAndPositionsAreAnsweredInKind) {
    const test::SignedInMember demo = signInAsDemoMember();
    ChatConnection connection(*sandbox, demo.profileID);
    ASSERT_TRUE(connection.signIn(demo.xmppToken));

    connection.send("100002", "image", R"({"imageHash":"0123456789abcdef"})");
    const xmpp::XMLElement photo = connection.waitForChatMessage("100002", "image");
    ASSERT_FALSE(photo.isNull());
    const QString hash = QJsonDocument::fromJson(test::chatBodyOf(photo).value("body").toString().toUtf8())
                             .object()
                             .value("imageHash")
                             .toString();
    const auto [status, data] = [&] {
        Promise<net::DataTaskResponse> response = rawSession->dataTaskPromise(
            net::URLRequest(sandbox->mediaURL().resolved(QUrl("/tovrin/chat/" + hash))));
        test::waitFor(response, test::sandboxPatience);
        return std::pair(response.value()->response.statusCode(), response.value()->data);
    }();
    EXPECT_EQ(status, 200);
    EXPECT_FALSE(QImage::fromData(data).isNull());

    connection.send("100002", "map", R"({"lat":52.5,"lon":13.4})");
    const xmpp::XMLElement position = connection.waitForChatMessage("100002", "map");
    ASSERT_FALSE(position.isNull());
    const QJsonObject where =
        QJsonDocument::fromJson(test::chatBodyOf(position).value("body").toString().toUtf8()).object();
    EXPECT_NEAR(where.value("lat").toDouble(), options().defaultPosition.latitude, 0.01);
    EXPECT_NEAR(where.value("lon").toDouble(), options().defaultPosition.longitude, 0.02);
    EXPECT_TRUE(waitForConversation(
        "100002", [](const QJsonObject& item) { return item.value("unreadPhoto") == true; }));
}

TEST_F(ChatServerTest, AMemberWhoWasAwayFindsTheMessagesUnreadAndReadsThem) {
    const test::SignedInMember demo = signInAsDemoMember();
    ChatConnection demoConnection(*sandbox, demo.profileID);
    ASSERT_TRUE(demoConnection.signIn(demo.xmppToken));
    // The peer has never signed in: its chat account is made when the first message comes.
    const QString first = demoConnection.send("100010", "text", "Are you around?");
    const QString second = demoConnection.send("100010", "image", R"({"imageHash":"0123456789abcdef"})");
    EXPECT_TRUE(waitForConversation(
        "100010", [&](const QJsonObject& item) { return lastMessageIDs(item).size() == 2; }));

    const test::SignedInMember peer = signIn("member100010@tovrin.test");
    const QJsonObject item = conversationWith(conversations(), demo.profileID);
    EXPECT_EQ(item.value("unread"), 2);
    EXPECT_EQ(item.value("unreadPhoto"), true);
    EXPECT_EQ(lastMessageIDs(item), QStringList({second, first}));
    EXPECT_EQ(item.value("lastMessages").toArray()[0].toObject().value("type"), "image");

    ChatConnection peerConnection(*sandbox, peer.profileID);
    ASSERT_TRUE(peerConnection.signIn(peer.xmppToken));
    ASSERT_FALSE(peerConnection.waitForChatMessage(demo.profileID, "image").isNull());
    peerConnection.markDisplayed(demo.profileID, second);
    EXPECT_TRUE(waitForConversation(demo.profileID,
                                    [](const QJsonObject& item) { return item.value("unread") == 0; }));
}

TEST_F(ChatServerTest, DeletedMessagesLeaveOnlyTheDeletingMembersList) {
    const test::SignedInMember demo = signInAsDemoMember();
    ChatConnection connection(*sandbox, demo.profileID);
    ASSERT_TRUE(connection.signIn(demo.xmppToken));
    const QString kept = connection.send("100010", "text", "one");
    const QString deleted = connection.send("100010", "text", "two");
    ASSERT_TRUE(waitForConversation(
        "100010", [&](const QJsonObject& item) { return lastMessageIDs(item).size() == 2; }));
    connection.deleteMessages("100010", {deleted});
    EXPECT_TRUE(waitForConversation(
        "100010", [&](const QJsonObject& item) { return lastMessageIDs(item) == QStringList{kept}; }));
    signIn("member100010@tovrin.test");
    EXPECT_EQ(lastMessageIDs(conversationWith(conversations(), demo.profileID)),
              QStringList({deleted, kept}));
}

TEST_F(ChatServerTest, TheConversationListPagesByItsNewestMessages) {
    const test::SignedInMember demo = signInAsDemoMember();
    ChatConnection connection(*sandbox, demo.profileID);
    ASSERT_TRUE(connection.signIn(demo.xmppToken));
    for (const QString peer : {"100010", "100011", "100012"}) {
        connection.send(peer, "text", "Hi " + peer);
        ASSERT_TRUE(waitForConversation(peer, [](const QJsonObject& item) { return !item.isEmpty(); }));
    }
    auto peers = [&](URLQueryItems items) {
        QStringList ids;
        for (const QJsonValue& item : conversations(items))
            ids << item.toObject().value("profile").toObject().value("profileId").toVariant().toString();
        return ids;
    };
    EXPECT_EQ(peers({{"quantity", "50"}}), QStringList({"100012", "100011", "100010"}));
    EXPECT_EQ(peers({{"quantity", "2"}}), QStringList({"100012", "100011"}));
    const QJsonObject middle = conversationWith(conversations(), "100011");
    const QString middleTime =
        QString::number(middle.value("lastMessages").toArray()[0].toObject().value("timestamp").toInteger());
    EXPECT_EQ(peers({{"quantity", "50"}, {"olderThan", middleTime}}), QStringList({"100010"}));
    EXPECT_EQ(peers({{"quantity", "50"}, {"newerThan", middleTime}}), QStringList({"100012"}));
    EXPECT_EQ(
        errorCodeOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/me/conversations", std::nullopt))),
        TovrinServiceErrorGeneric);
}

TEST_F(ChatServerTest, ABlockTellsTheBlockedMemberAndClearsTheBlockersConversation) {
    const test::SignedInMember peer = signIn("member100010@tovrin.test");
    ChatConnection peerConnection(*sandbox, peer.profileID);
    ASSERT_TRUE(peerConnection.signIn(peer.xmppToken));
    const test::SignedInMember demo = signInAsDemoMember();
    ChatConnection demoConnection(*sandbox, demo.profileID);
    ASSERT_TRUE(demoConnection.signIn(demo.xmppToken));
    const QString last = demoConnection.send(peer.profileID, "text", "Bye");
    ASSERT_FALSE(peerConnection.waitForChatMessage(demo.profileID, "text").isNull());

    answerOf(sendSignedIn(TovrinAPIRequest::POSTRequestWithPath("/v3/me/blocks/" + peer.profileID,
                                                                std::nullopt, std::nullopt)));
    const xmpp::XMLElement block = peerConnection.waitForChatMessage(demo.profileID, "block");
    ASSERT_FALSE(block.isNull());
    EXPECT_FALSE(xmpp::XMPPMessage(block).elementID().isEmpty());
    const xmpp::XMLElement cleared = demoConnection.waitForMessage([&](const xmpp::XMPPMessage& message) {
        return xmpp::hasAcknowledgedChatMarker(message) && message.from()->user() == peer.profileID;
    });
    ASSERT_FALSE(cleared.isNull());
    EXPECT_EQ(xmpp::chatMarkerID(xmpp::XMPPMessage(cleared)), last);
    EXPECT_TRUE(conversationWith(conversations(), peer.profileID).isEmpty());
}

TEST_F(ChatServerTest, ADeletedMembersConversationsAreClearedForItsPeers) {
    const test::SignedInMember demo = signInAsDemoMember();
    ChatConnection demoConnection(*sandbox, demo.profileID);
    ASSERT_TRUE(demoConnection.signIn(demo.xmppToken));
    const QString last = demoConnection.send("100010", "text", "Still there?");
    ASSERT_TRUE(waitForConversation("100010", [](const QJsonObject& item) { return !item.isEmpty(); }));

    signIn("member100010@tovrin.test");
    answerOf(
        sendSignedIn(TovrinAPIRequest::DELETERequestWithPath("/v3/me/profile", std::nullopt, std::nullopt)));
    const xmpp::XMLElement cleared = demoConnection.waitForMessage([&](const xmpp::XMPPMessage& message) {
        return xmpp::hasAcknowledgedChatMarker(message) && message.from()->user() == "100010";
    });
    ASSERT_FALSE(cleared.isNull());
    EXPECT_EQ(xmpp::chatMarkerID(xmpp::XMPPMessage(cleared)), last);
    signInAsDemoMember();
    EXPECT_TRUE(conversations().isEmpty());
}

TEST_F(ChatServerTest, TheAdminInterfaceMakesAnyMemberSendAMessage) {
    const test::SignedInMember demo = signInAsDemoMember();
    ChatConnection connection(*sandbox, demo.profileID);
    ASSERT_TRUE(connection.signIn(demo.xmppToken));
    const auto fromAnswering = admin("POST", "/admin/members/100003/messages",
                                     QJsonObject{{"to", demo.profileID}, {"type", "text"}, {"text", "Ping"}});
    EXPECT_EQ(fromAnswering.first, 200);
    const xmpp::XMLElement text = connection.waitForChatMessage("100003", "text");
    ASSERT_FALSE(text.isNull());
    EXPECT_EQ(test::chatBodyOf(text).value("body"), "Ping");
    EXPECT_EQ(xmpp::XMPPMessage(text).elementID(), fromAnswering.second.value("messageId").toString());

    EXPECT_EQ(admin("POST", "/admin/members/100015/messages",
                    QJsonObject{{"to", demo.profileID}, {"type", "image"}})
                  .first,
              200);
    EXPECT_FALSE(connection.waitForChatMessage("100015", "image").isNull());
    EXPECT_TRUE(waitForConversation(
        "100015", [](const QJsonObject& item) { return item.value("unreadPhoto") == true; }));
    EXPECT_EQ(admin("POST", "/admin/members/100015/messages", QJsonObject{{"to", "999999"}}).first, 400);
}

TEST_F(ChatServerTest, ChatDisconnectEndsTheMembersChatSessionsAsTheServerWould) {
    const test::SignedInMember demo = signInAsDemoMember();
    ChatConnection phone(*sandbox, demo.profileID);
    ASSERT_TRUE(phone.signIn(demo.xmppToken));
    EXPECT_EQ(admin("POST", "/admin/members/" + demo.profileID + "/chat-disconnect").first, 200);
    ASSERT_TRUE(phone.events->waitFor("disconnected", 1, test::sandboxPatience));
    // Forced, not asked for: the stream reports why.
    EXPECT_TRUE(phone.events->disconnectError.has_value());
    EXPECT_EQ(phone.events->count("toldToDisconnect"), 0);
    // Only the chat sessions end: the token still signs in.
    ChatConnection again(*sandbox, demo.profileID);
    EXPECT_TRUE(again.signIn(demo.xmppToken));
    EXPECT_EQ(admin("POST", "/admin/members/999999/chat-disconnect").first, 404);
}

TEST_F(ChatServerTest, ABannedMemberLosesTheChatAndEveryRequest) {
    const test::SignedInMember demo = signInAsDemoMember();
    ChatConnection connection(*sandbox, demo.profileID);
    ASSERT_TRUE(connection.signIn(demo.xmppToken));
    ASSERT_EQ(admin("POST", "/admin/members/" + demo.profileID + "/ban").first, 200);
    EXPECT_TRUE(connection.events->waitFor("disconnected", 1, test::sandboxPatience));
    ChatConnection again(*sandbox, demo.profileID);
    EXPECT_FALSE(again.signIn(demo.xmppToken));
    EXPECT_EQ(
        errorCodeOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/me/favorites", std::nullopt))),
        TovrinServiceErrorUserBanned);
}

}  // namespace
}  // namespace tovrin
