#include <QJsonArray>

#include "API/BootstrapService.h"
#include "Cascade/NearbyUserJSONMapper.h"
#include "sandbox/SandboxTestSupport.h"
#include "sandbox/chat/ChatTestSupport.h"
#include "sandbox/world/Geohash.h"

namespace tovrin {
namespace {

using test::ChatConnection;
using test::SandboxTest;

using EndToEndTest = SandboxTest;

// The road a member takes: sign in, the bootstrap, a grid page, a profile, a favourite, chat with
// a member the sandbox runs, the conversation list and the archive.
TEST_F(EndToEndTest, TheDemoMemberChatsWithAnAnsweringMemberAndFindsTheConversationEverywhere) {
    const test::SignedInMember demo = signInAsDemoMember();

    const Promise<FullBootstrapInfo> bootstrap = world->session()->fetchBootstrapInfo();
    ASSERT_TRUE(test::waitFor(bootstrap, test::sandboxPatience));
    ASSERT_TRUE(bootstrap.isFulfilled());
    ASSERT_EQ(bootstrap.value()->tovrinServicesInfo().chatServerInfo().host(), sandbox->chatHost());

    const QString gridPath =
        "/v3/locations/" + sandbox::Geohash::encode(options().defaultPosition) + "/profiles";
    const QJsonArray grid = answerOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath(
                                         gridPath, URLQueryItems{{"pageNumber", "1"}})))
                                .value("profiles")
                                .toArray();
    const NearbyUserJSONMapper mapper(std::make_shared<DeviceCurrentDateProvider>());
    QString answeringID;
    for (const QJsonValue& profile : grid) {
        const auto user = mapper.nearbyUserWithJSONDictionary(profile.toObject());
        if (user->profileID() == "100002") answeringID = user->profileID();
    }
    ASSERT_EQ(answeringID, "100002");
    ASSERT_EQ(answerOf(sendSignedIn(
                           TovrinAPIRequest::GETRequestWithPath("/v3/profiles/" + answeringID, std::nullopt)))
                  .value("profiles")
                  .toArray()
                  .size(),
              1);
    answerOf(sendSignedIn(TovrinAPIRequest::POSTRequestWithPath("/v3/me/favorites/" + answeringID,
                                                                std::nullopt, std::nullopt)));

    ChatConnection connection(*sandbox, demo.profileID);
    ASSERT_TRUE(connection.signIn(demo.xmppToken));
    EXPECT_TRUE(connection.stream->isSecure());
    const QString sent = connection.send(answeringID, "text", "Hello there");
    const xmpp::XMLElement answer = connection.waitForChatMessage(answeringID, "text");
    ASSERT_FALSE(answer.isNull());
    const QJsonObject answerBody = test::chatBodyOf(answer);
    EXPECT_EQ(answerBody.value("sourceProfileId"), answeringID);
    EXPECT_EQ(answerBody.value("targetProfileId"), demo.profileID);
    EXPECT_EQ(answerBody.value("sourceDisplayName"), "TEMPORARY_VALUE");
    EXPECT_EQ(answerBody.value("messageId"), xmpp::XMPPMessage(answer).elementID());
    EXPECT_TRUE(xmpp::hasMarkableChatMarker(xmpp::XMPPMessage(answer)));
    // The answering member marked the message displayed.
    EXPECT_FALSE(connection
                     .waitForMessage([&](const xmpp::XMPPMessage& message) {
                         return xmpp::hasDisplayedChatMarker(message) && xmpp::chatMarkerID(message) == sent;
                     })
                     .isNull());

    auto conversations = [&] {
        return answerOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/me/conversations",
                                                                          URLQueryItems{{"quantity", "50"}})))
            .value("conversations")
            .toArray();
    };
    const QJsonArray items = conversations();
    ASSERT_EQ(items.size(), 1);
    const QJsonObject item = items[0].toObject();
    EXPECT_EQ(mapper.nearbyUserWithJSONDictionary(item.value("profile").toObject())->profileID(),
              answeringID);
    EXPECT_EQ(item.value("unread"), 1);
    EXPECT_EQ(item.value("unreadPhoto"), false);
    const QJsonArray lastMessages = item.value("lastMessages").toArray();
    ASSERT_EQ(lastMessages.size(), 2);
    EXPECT_EQ(lastMessages[0].toObject().value("messageId"), xmpp::XMPPMessage(answer).elementID());
    EXPECT_EQ(lastMessages[1].toObject().value("messageId"), sent);
    EXPECT_EQ(lastMessages[1].toObject().value("body"), "Hello there");
    EXPECT_EQ(lastMessages[1].toObject().value("sourceProfileId"), demo.profileID);

    connection.markDisplayed(answeringID, xmpp::XMPPMessage(answer).elementID());
    EXPECT_TRUE(test::runUntil([&] { return conversations()[0].toObject().value("unread") == 0; },
                               test::sandboxPatience));

    QStringList archived;
    for (const xmpp::XMPPMessage& message : connection.archive(answeringID)) {
        archived << (message.isMessageWithBody() ? message.elementID()
                                                 : "marker " + xmpp::chatMarkerID(message));
    }
    EXPECT_TRUE(archived.contains(sent));
    EXPECT_TRUE(archived.contains(xmpp::XMPPMessage(answer).elementID()));
    EXPECT_TRUE(archived.contains("marker " + sent));
}

}  // namespace
}  // namespace tovrin
