#include <gtest/gtest.h>

#include "Chat/CurrentConversationManager.h"
#include "Chat/LastSeenMessageInfoJSONMapper.h"
#include "Chat/LastSeenMessageInfoManager.h"
#include "Persistence/TemporaryStore.h"
#include "platform/foundation/JSON.h"

namespace tovrin {
namespace {

using test::await;

TEST(LastSeenMessageInfoJSONMapper, WritesMillisecondsWithTheirFractionAndReadsWholeOnes) {
    const LastSeenMessageInfoJSONMapper mapper;
    const QJsonObject json =
        mapper.JSONDictionaryWithLastSeenMessageInfo(LastSeenMessageInfo(Date(1.5002505), "m"));
    EXPECT_DOUBLE_EQ(json["sentDate"].toDouble(), 1500.2505);
    EXPECT_EQ(json["messageID"], "m");
    const auto info = mapper.lastSeenMessageInfoWithJSONDictionary(json);
    EXPECT_EQ(info->sentDate(), Date(1.5));
    EXPECT_EQ(info->messageID(), "m");
}

TEST(LastSeenMessageInfoJSONMapper, NullOrMissingMembersReadAsAbsent) {
    const LastSeenMessageInfoJSONMapper mapper;
    struct Case {
        const char* json;
        std::optional<Date> sentDate;
        std::optional<QString> messageID;
    };
    const Case cases[] = {
        {R"({"messageID": "m"})", std::nullopt, "m"},
        {R"({"sentDate": null, "messageID": "m"})", std::nullopt, "m"},
        {R"({"sentDate": 1500, "messageID": null})", Date(1.5), std::nullopt},
        {R"({"sentDate": 1500, "messageID": 7})", Date(1.5), std::nullopt},
    };
    for (const Case& testCase : cases) {
        const auto info =
            mapper.lastSeenMessageInfoWithJSONDictionary(JSON::parse(testCase.json)->toObject());
        EXPECT_EQ(info->sentDate(), testCase.sentDate) << testCase.json;
        EXPECT_EQ(info->messageID(), testCase.messageID) << testCase.json;
    }
}

TEST(LastSeenMessageInfoManager, KeepsTheMarkerInTheMembersStore) {
    test::TemporaryStore files;
    LastSeenMessageInfoManager manager(files.make());
    EXPECT_EQ(await(manager.retrieveLastSeenMessageInfo()), nullptr);
    manager.saveLastSeenMessageInfo(LastSeenMessageInfo(Date(2), "m2"));
    const auto info = await(manager.retrieveLastSeenMessageInfo());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->messageID(), "m2");
    EXPECT_EQ(info->sentDate(), Date(2));
}

class ChatScreen : public CurrentConversationManagerDelegate {
public:
    bool currentConversationManager(const CurrentConversationManager&, const QString& profileID) override {
        return profileID == "peer";
    }
};

TEST(CurrentConversationManager, AsksTheLatestChatScreenWhileItLives) {
    CurrentConversationManager manager;
    EXPECT_FALSE(manager.isChattingWith("peer"));
    auto screen = std::make_shared<ChatScreen>();
    manager.setDelegate(screen);
    EXPECT_TRUE(manager.isChattingWith("peer"));
    EXPECT_FALSE(manager.isChattingWith("other"));
    screen.reset();
    EXPECT_FALSE(manager.isChattingWith("peer"));
}

}  // namespace
}  // namespace tovrin
