#include <QJsonArray>
#include <QSet>
#include <QUrlQuery>

#include "Cascade/NearbyUserJSONMapper.h"
#include "sandbox/SandboxTestSupport.h"
#include "sandbox/service/ProfileMatchers.h"
#include "sandbox/world/Geohash.h"

namespace tovrin {
namespace {

using sandbox::Geohash;
using test::anyOf;
using test::SandboxTest;
using test::within;

class GridEndpointsTest : public SandboxTest {
protected:
    sandbox::SandboxOptions options() const override {
        sandbox::SandboxOptions options = SandboxTest::options();
        options.pageSize = 25;
        options.favoritesLimit = 2;
        return options;
    }

    // One page around the default position, read by the client's mapper.
    std::vector<std::shared_ptr<NearbyUser>> page(int pageNumber, URLQueryItems items = {}) {
        items.append({"pageNumber", QString::number(pageNumber)});
        const QString path = "/v3/locations/" + Geohash::encode(options().defaultPosition) + "/profiles";
        const QJsonObject answer = answerOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath(path, items)));
        EXPECT_EQ(answer.value("ttl").toInteger(), options().gridTTL);
        std::vector<std::shared_ptr<NearbyUser>> users;
        for (const QJsonValue& profile : answer.value("profiles").toArray())
            users.push_back(mapper.nearbyUserWithJSONDictionary(profile.toObject()));
        return users;
    }

    QJsonObject fullProfile(const QString& profileID) {
        return answerOf(sendSignedIn(
                            TovrinAPIRequest::GETRequestWithPath("/v3/profiles/" + profileID, std::nullopt)))
            .value("profiles")
            .toArray()
            .first()
            .toObject();
    }

    static QSet<QString> idsOf(const std::vector<std::shared_ptr<NearbyUser>>& users) {
        QSet<QString> ids;
        for (const auto& user : users) ids.insert(user->profileID());
        return ids;
    }

    NearbyUserJSONMapper mapper{std::make_shared<DeviceCurrentDateProvider>()};
};

TEST_F(GridEndpointsTest, TheGridPagesThroughEveryOtherMemberNearestFirst) {
    const test::SignedInMember demo = signInAsDemoMember();
    const auto first = page(1);
    const auto second = page(2);
    EXPECT_EQ(first.size(), 25u);
    EXPECT_EQ(second.size(), 14u);
    EXPECT_TRUE(page(3).empty());
    EXPECT_TRUE(page(options().maxCascadePages + 1).empty());

    QSet<QString> ids = idsOf(first) + idsOf(second);
    EXPECT_EQ(ids.size(), options().memberCount - 1);
    EXPECT_FALSE(ids.contains(demo.profileID));
    double previous = 0;
    for (const auto& user : first) {
        if (!user->distance()) continue;  // hidden by the member
        EXPECT_GE(*user->distance(), previous);
        previous = *user->distance();
    }
    // The members the sandbox runs live nearby and are always online.
    for (const QString answering : {"100002", "100003"}) {
        const auto found = std::find_if(first.begin(), first.end(),
                                        [&](const auto& user) { return user->profileID() == answering; });
        ASSERT_NE(found, first.end()) << answering.toStdString();
        EXPECT_TRUE((*found)->isOnline());
        EXPECT_TRUE((*found)->mediaHash());
    }
}

TEST_F(GridEndpointsTest, AMalformedPositionOrFilterIsRefused) {
    signInAsDemoMember();
    for (const char* path : {"/v3/locations/not-a-geohash!/profiles?pageNumber=1",
                             "/v3/locations/u33dc0cppjs7/profiles?pageNumber=0",
                             "/v3/locations/u33dc0cppjs7/profiles?pageNumber=1&ageMinimum=old"}) {
        const QUrl url(QString::fromLatin1(path));
        QList<QPair<QString, QString>> items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
        URLQueryItems queryItems;
        for (const auto& [name, value] : items) queryItems.append({name, value});
        EXPECT_EQ(errorCodeOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath(url.path(), queryItems))),
                  TovrinServiceErrorGeneric)
            << path;
    }
}

TEST_F(GridEndpointsTest, EveryFilterReturnsExactlyTheMembersItDescribes) {
    signInAsDemoMember();
    const QSet<QString> everyone = idsOf(page(1)) + idsOf(page(2));
    answerOf(sendSignedIn(
        TovrinAPIRequest::POSTRequestWithPath("/v3/me/favorites/100020", std::nullopt, std::nullopt)));
    QList<QJsonObject> profiles;
    for (const QString& id : everyone) profiles << fullProfile(id);

    struct Case {
        const char* name;
        URLQueryItems items;
        test::ProfileMatch describes;
        bool ageMayBeHidden = false;
    };
    const Case cases[] = {
        {"photos only",
         {{"photoOnly", "true"}},
         [](const QJsonObject& p) { return !p.value("profileImageMediaHash").isNull(); }},
        {"favourites",
         {{"favorite", "true"}},
         [](const QJsonObject& p) { return p.value("isFavorite").toBool(); }},
        {"online now",
         {{"online", "true"}},
         [](const QJsonObject& p) {
             return Date::now().millisecondsSince1970() - p.value("seen").toDouble() <= 600000;
         }},
        {"height", {{"heightMinimum", "170"}, {"heightMaximum", "190"}}, within("height", 170, 190)},
        {"weight", {{"weightMaximum", "80000"}}, within("weight", 0, 80000)},
        {"age", {{"ageMinimum", "25"}, {"ageMaximum", "40"}}, within("age", 25, 40), true},
        {"tribes", {{"tovrinTribesIds", "1,3,5"}}, anyOf("tovrinTribes", {1, 3, 5})},
        {"body types", {{"bodyTypeIds", "2,4"}}, anyOf("bodyType", {2, 4})},
        {"body type not specified", {{"bodyTypeIds", "-1"}}, anyOf("bodyType", {-1})},
        {"body type 2 or not specified", {{"bodyTypeIds", "2,-1"}}, anyOf("bodyType", {2, -1})},
        {"tribes not specified", {{"tovrinTribesIds", "-1"}}, anyOf("tovrinTribes", {-1})},
        {"ethnicities", {{"ethnicityIds", "7"}}, anyOf("ethnicity", {7})},
        {"looking for", {{"lookingForIds", "3"}}, anyOf("lookingFor", {3})},
        {"relationship statuses", {{"relationshipStatusIds", "1,2"}}, anyOf("relationshipStatus", {1, 2})},
        {"two at once",
         {{"photoOnly", "true"}, {"heightMinimum", "180"}},
         [](const QJsonObject& p) {
             return !p.value("profileImageMediaHash").isNull() && p.value("height").toDouble() >= 180;
         }},
    };
    for (const Case& c : cases) {
        const QSet<QString> found = idsOf(page(1, c.items)) + idsOf(page(2, c.items));
        int expected = 0;
        for (const QJsonObject& profile : profiles) {
            const QString id = profile.value("profileId").toVariant().toString();
            if (c.ageMayBeHidden && profile.value("age").isNull()) continue;
            const bool described = c.describes(profile);
            expected += described ? 1 : 0;
            EXPECT_EQ(found.contains(id), described) << c.name << " " << id.toStdString();
        }
        EXPECT_GT(expected, 0) << c.name;
    }
}

TEST_F(GridEndpointsTest, FavouritesAreAddedRemovedAndLimited) {
    signInAsDemoMember();
    auto favorite = [&](const QString& id) {
        return sendSignedIn(
            TovrinAPIRequest::POSTRequestWithPath("/v3/me/favorites/" + id, std::nullopt, std::nullopt));
    };
    auto favorites = [&] {
        QStringList ids;
        for (const QJsonValue& id :
             answerOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/me/favorites", std::nullopt)))
                 .value("favorites")
                 .toArray()) {
            EXPECT_TRUE(id.isDouble());
            ids << id.toVariant().toString();
        }
        return ids;
    };
    EXPECT_TRUE(answerOf(favorite("100010")).isEmpty());
    answerOf(favorite("100011"));
    EXPECT_EQ(favorites(), QStringList({"100010", "100011"}));
    EXPECT_EQ(errorCodeOf(favorite("100012")), TovrinServiceErrorFavoritesLimitReached);
    EXPECT_EQ(errorCodeOf(favorite("999999")), TovrinServiceErrorGeneric);

    answerOf(sendSignedIn(
        TovrinAPIRequest::DELETERequestWithPath("/v3/me/favorites/100010", std::nullopt, std::nullopt)));
    EXPECT_EQ(favorites(), QStringList({"100011"}));
    const auto grid = page(1);
    for (const auto& user : grid) EXPECT_EQ(user->isFavorite(), user->profileID() == "100011");
}

}  // namespace
}  // namespace tovrin
