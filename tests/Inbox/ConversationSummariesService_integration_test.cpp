#include "Inbox/ConversationSummariesService.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "API/AuthenticatedTovrinEndpoint.h"
#include "Authentication/SessionTestWorld.h"
#include "Cascade/NearbyUserJSONMapper.h"
#include "Categories/Date+Milliseconds.h"
#include "Chat/DirectedMessageCategorizer.h"
#include "Chat/ImageMediaHashMessage.h"
#include "Chat/LocationMessage.h"
#include "Chat/TextMessage.h"
#include "Inbox/ConversationSummaryServiceItemJSONMapper.h"
#include "Inbox/InboxTestSupport.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "support/FakeClock.h"

namespace tovrin {
namespace {

using test::conversationsRequest;

using test::ScriptedResponse;
using test::SessionTestWorld;
using Items = QList<QPair<QString, QString>>;

// One line per message, so a whole list compares at once: kind, id, status and what it carries.
QString describe(const ChatMessage& message) {
    const QString head = QStringLiteral("%1 %2").arg(message.messageID()).arg(message.status());
    if (DirectedMessageCategorizer::isTextMessage(&message))
        return "text " + head + " " + static_cast<const TextMessage&>(message).text().value_or("(none)");
    if (DirectedMessageCategorizer::isLocationMessage(&message)) {
        const auto& location = static_cast<const LocationMessage&>(message).location();
        return "map " + head + " " +
               (location ? QStringLiteral("%1,%2").arg(location->latitude).arg(location->longitude)
                         : "(none)");
    }
    if (DirectedMessageCategorizer::isImageHashMessage(&message)) {
        const QString hash = static_cast<const ImageMediaHashMessage&>(message).imageMediaHash();
        return "image " + head + " " + (hash.isEmpty() ? "(none)" : hash);
    }
    return "other " + head;
}

QJsonObject message(const QString& type, const QString& id, const QJsonValue& source,
                    const QJsonValue& body) {
    QJsonObject object{
        {"type", type}, {"messageId", id}, {"targetProfileId", "7"}, {"timestamp", 1500000000000.0}};
    if (!source.isUndefined()) object.insert("sourceProfileId", source);
    if (!body.isUndefined()) object.insert("body", body);
    return object;
}

const QJsonObject peer{{"profileId", "42"}, {"displayName", "Ben"}};

QJsonObject itemWith(const QJsonObject& members) {
    QJsonObject item{{"profile", peer}};
    for (auto it = members.begin(); it != members.end(); ++it) item.insert(it.key(), it.value());
    return item;
}

class ConversationSummaryServiceItemJSONMapperTest : public testing::Test {
protected:
    ConversationSummaryServiceItemJSONMapper mapper{
        std::make_shared<NearbyUserJSONMapper>(std::make_shared<test::FakeClock>())};
};

TEST_F(ConversationSummaryServiceItemJSONMapperTest, ItemsReadEveryMemberWithoutEverFailingThePage) {
    struct Case {
        const char* name;
        QJsonObject item;
        bool present;
        quint32 unread;
        bool unreadPhoto;
        QStringList messages;
    };
    const Case cases[] = {
        {"the peer's message is received, the member's sent, one without sender sent",
         itemWith(
             {{"unread", 3},
              {"unreadPhoto", true},
              {"lastMessages", QJsonArray{message("text", "a", "42", "hi"), message("text", "b", "7", "yo"),
                                          message("text", "c", QJsonValue::Undefined, "?")}}}),
         true,
         3,
         true,
         {"text a 2 hi", "text b 0 yo", "text c 0 ?"}},
        {"absent members", itemWith({}), true, 0, false, {}},
        {"null members",
         itemWith({{"unread", QJsonValue::Null},
                   {"unreadPhoto", QJsonValue::Null},
                   {"lastMessages", QJsonValue::Null}}),
         true,
         0,
         false,
         {}},
        {"members of other types",
         itemWith({{"unread", "3"}, {"unreadPhoto", 1}, {"lastMessages", QJsonObject{{"type", "text"}}}}),
         true,
         0,
         false,
         {}},
        {"a negative count", itemWith({{"unread", -2}}), true, 0, false, {}},
        {"a fractional count", itemWith({{"unread", 2.7}}), true, 2, false, {}},
        {"null members of a message",
         itemWith({{"lastMessages", QJsonArray{QJsonObject{{"type", "text"},
                                                           {"messageId", QJsonValue::Null},
                                                           {"sourceProfileId", QJsonValue::Null},
                                                           {"body", QJsonValue::Null},
                                                           {"timestamp", QJsonValue::Null}}}}}),
         true,
         0,
         false,
         {"text  0 (none)"}},
        {"an unknown kind and an element that is no object are left out",
         itemWith({{"lastMessages",
                    QJsonArray{message("block", "x", "42", ""), 5, message("text", "a", "42", "hi")}}}),
         true,
         0,
         false,
         {"text a 2 hi"}},
        {"no profile", QJsonObject{{"unread", 1}}, false, 0, false, {}},
        {"a profile without id",
         QJsonObject{{"profile", QJsonObject{{"displayName", "Ben"}}}},
         false,
         0,
         false,
         {}},
        {"a profile that is no object", QJsonObject{{"profile", "42"}}, false, 0, false, {}},
        {"a position",
         itemWith({{"lastMessages", QJsonArray{message("map", "m", "42", R"({"lat":52.5,"lon":13.4})")}}}),
         true,
         0,
         false,
         {"map m 2 52.5,13.4"}},
        {"positions that are no position",
         itemWith(
             {{"lastMessages",
               QJsonArray{message("map", "1", "42", "not json"),
                          message("map", "2", "42", QJsonValue::Undefined),
                          message("map", "3", "42", R"({"lat":"52.5","lon":13.4})"),
                          message("map", "4", "42", R"({"lat":95,"lon":13.4})"),
                          message("map", "5", "42", R"({"lat":52.5})"), message("map", "6", "42", "[1,2]"),
                          message("map", "7", "42", QJsonObject{{"lat", 1}, {"lon", 2}})}}}),
         true,
         0,
         false,
         {"map 1 2 (none)", "map 2 2 (none)", "map 3 2 (none)", "map 4 2 (none)", "map 5 2 (none)",
          "map 6 2 (none)", "map 7 2 (none)"}},
        {"photos",
         itemWith({{"lastMessages", QJsonArray{message("image", "1", "7", R"({"imageHash":"abc"})"),
                                               message("image", "2", "7", "{"),
                                               message("image", "3", "7", R"({"imageHash":5})"),
                                               message("image", "4", "7", QJsonValue::Undefined)}}}),
         true,
         0,
         false,
         {"image 1 0 abc", "image 2 0 (none)", "image 3 0 (none)", "image 4 0 (none)"}},
        {"an empty list", itemWith({{"lastMessages", QJsonArray()}}), true, 0, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto item = mapper.conversationSummaryServiceItemWithJSONDictionary(c.item);
        ASSERT_EQ(item != nullptr, c.present);
        if (!item) continue;
        EXPECT_EQ(item->nearbyUser()->profileID(), "42");
        EXPECT_EQ(item->unread(), c.unread);
        EXPECT_EQ(item->unreadPhoto(), c.unreadPhoto);
        QStringList messages;
        for (const auto& read : item->lastMessages()) {
            messages << describe(*read);
            EXPECT_FALSE(static_cast<const ArchivableChatMessage&>(*read).didReceiveFromXMPP());
        }
        EXPECT_EQ(messages, c.messages);
    }
}

TEST_F(ConversationSummaryServiceItemJSONMapperTest, TheTimestampIsWholeMilliseconds) {
    const QJsonObject timed{{"type", "text"}, {"timestamp", 1500000000123.9}};
    EXPECT_EQ(mapper.chatMessageFromJSONDictionary(timed, "42")->sentDate(),
              tvr_dateWithMillisecondsSince1970(1500000000123.0));
    EXPECT_EQ(mapper.chatMessageFromJSONDictionary({{"type", "text"}, {"timestamp", "1"}}, "42")->sentDate(),
              Date(0));
}

class ConversationSummariesServiceTest : public testing::Test {
protected:
    ConversationSummariesServiceTest() { world.launchSignedIn("7", "token-0"); }

    std::shared_ptr<ConversationSummariesService> service() {
        return world.injector.get<ConversationSummariesService>();
    }

    Promise<std::vector<std::shared_ptr<ConversationSummaryServiceItem>>> fetch(
        std::optional<Date> olderThan, std::optional<Date> newerThan) {
        auto promise = service()->retrieveConversationSummaryItemsOlderThan(olderThan, newerThan, 50);
        EXPECT_TRUE(test::waitFor(promise));
        return promise;
    }

    SessionTestWorld world;
};

TEST_F(ConversationSummariesServiceTest, TheQueryCarriesTheQuantityAndTheBoundsRoundedInOrder) {
    const auto at = [](double milliseconds) { return tvr_dateWithMillisecondsSince1970(milliseconds); };
    struct Case {
        const char* name;
        std::optional<Date> olderThan;
        std::optional<Date> newerThan;
        Items expected;
    };
    const Case cases[] = {
        {"no date", std::nullopt, std::nullopt, {{"quantity", "50"}}},
        {".4 down", at(1600000000000.4), std::nullopt, {{"quantity", "50"}, {"olderThan", "1600000000000"}}},
        {".5 up", std::nullopt, at(1600000000000.5), {{"quantity", "50"}, {"newerThan", "1600000000001"}}},
        {"both, .6 up",
         at(1600000000000.6),
         at(1500000000001.5),
         {{"quantity", "50"}, {"olderThan", "1600000000001"}, {"newerThan", "1500000000002"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qsizetype before = world.requestsTo(conversationsRequest).size();
        EXPECT_TRUE(fetch(c.olderThan, c.newerThan).isFulfilled());
        const auto sent = world.requestsTo(conversationsRequest);
        ASSERT_EQ(sent.size(), before + 1);
        EXPECT_EQ(sent.last().queryItems(), c.expected);
    }
}

TEST_F(ConversationSummariesServiceTest, TheAnswersItemsComeInOrderWithoutThoseItCannotUse) {
    const QJsonArray conversations{
        itemWith({{"unread", 1}}), QJsonObject{{"unread", 2}}, 7,
        QJsonObject{{"profile", QJsonObject{{"profileId", "43"}}}, {"unreadPhoto", true}}};
    world.route(
        conversationsRequest,
        std::vector{ScriptedResponse::json(200, QJsonDocument(QJsonObject{{"conversations", conversations}})
                                                    .toJson(QJsonDocument::Compact)),
                    ScriptedResponse::json(200, "{}")});
    const auto page = fetch(std::nullopt, std::nullopt);
    ASSERT_TRUE(page.isFulfilled());
    ASSERT_EQ(page.value()->size(), 2u);
    EXPECT_EQ((*page.value())[0]->nearbyUser()->profileID(), "42");
    EXPECT_EQ((*page.value())[1]->nearbyUser()->profileID(), "43");
    EXPECT_TRUE((*page.value())[1]->unreadPhoto());

    const auto empty = fetch(std::nullopt, std::nullopt);
    ASSERT_TRUE(empty.isFulfilled());
    EXPECT_TRUE(empty.value()->empty());
}

TEST_F(ConversationSummariesServiceTest, AFailedCallPassesTheServiceErrorOn) {
    world.route(conversationsRequest, SessionTestWorld::errorResponse(500, 0));
    const auto failed = fetch(std::nullopt, std::nullopt);
    ASSERT_TRUE(failed.isRejected());
    EXPECT_EQ(failed.error()->domain(), TovrinServiceErrorDomain);
    EXPECT_EQ(failed.error()->code(), TovrinServiceErrorServerError);
}

}  // namespace
}  // namespace tovrin
