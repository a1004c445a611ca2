#include <QJsonArray>

#include "platform/foundation/Date.h"
#include "sandbox/SandboxTestSupport.h"

namespace tovrin {
namespace {

using NoticeEndpointsTest = test::SandboxTest;

TEST_F(NoticeEndpointsTest, NoticesAreHandedOutOnceAndAnnouncementsUntilTheyExpire) {
    const test::SignedInMember demo = signInAsDemoMember();
    admin("POST", "/admin/members/" + demo.profileID + "/system-messages",
          QJsonObject{{"type", "ProfileImageRejected"}, {"message", "Rejected"}, {"mediaHash", "abc"}});
    auto systemMessages = [&] {
        return answerOf(
                   sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/systemMessages", std::nullopt)))
            .value("systemMessages")
            .toArray();
    };
    const QJsonArray notices = systemMessages();
    ASSERT_EQ(notices.size(), 1);
    const QJsonObject notice = notices[0].toObject();
    EXPECT_EQ(notice.value("type"), "ProfileImageRejected");
    EXPECT_EQ(notice.value("mediaHash"), "abc");
    EXPECT_FALSE(notice.value("messageId").toString().isEmpty());
    EXPECT_TRUE(systemMessages().isEmpty());

    const QJsonObject announcement{{"title", "Maintenance"},
                                   {"body", "Tonight at ten."},
                                   {"actionTitle", "Read more"},
                                   {"url", "https://example.org/maintenance"},
                                   {"expiresIn", 3600}};
    const QString broadcastID =
        admin("POST", "/admin/broadcasts", announcement).second.value("messageId").toString();
    admin("POST", "/admin/broadcasts", QJsonObject{{"title", "Over"}, {"expiresIn", -1}});
    auto broadcasts = [&] {
        return answerOf(
                   sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/broadcastMessages", std::nullopt)))
            .value("broadcastMessages")
            .toArray();
    };
    const QJsonArray live = broadcasts();
    ASSERT_EQ(live.size(), 1);
    const QJsonObject broadcast = live[0].toObject();
    EXPECT_EQ(broadcast.value("messageId"), broadcastID);
    EXPECT_EQ(broadcast.value("title"), "Maintenance");
    EXPECT_EQ(broadcast.value("body"), "Tonight at ten.");
    EXPECT_EQ(broadcast.value("actionTitle"), "Read more");
    EXPECT_TRUE(broadcast.value("dismissTitle").isNull());
    EXPECT_EQ(broadcast.value("url"), "https://example.org/maintenance");
    EXPECT_GT(broadcast.value("expirationDate").toDouble(), Date::now().millisecondsSince1970());
    // Every fetch hands them out again: the client remembers what it has shown.
    EXPECT_EQ(broadcasts().size(), 1);
}

}  // namespace
}  // namespace tovrin
