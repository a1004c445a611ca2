#include "Profile/ManagedFieldsService.h"

#include <gtest/gtest.h>

#include "API/TovrinServiceError.h"
#include "Authentication/SessionTestWorld.h"
#include "Profile/ManagedFieldsManager.h"
#include "Profile/ProfileTestSupport.h"

namespace tovrin {
namespace {

using test::ScriptedResponse;
using test::SessionTestWorld;

const ManagedFieldsDictionary serviceLists{
    {kManagedFieldsBodyTypeKey, {{1, "Lean"}, {7, "Curvy"}}},
    {kManagedFieldsTribesKey, {{3, "Daddy"}}},
};

// The lists load at launch, signed out or not, and never carry the member's session.
TEST(ManagedFieldsManagerAtLaunch, TheServicesListsReplaceTheBuiltInOnesWithoutTheSession) {
    for (const bool remembered : {false, true}) {
        SCOPED_TRACE(remembered ? "a remembered member" : "signed out");
        SessionTestWorld world;
        world.route("GET /v3/managed-fields",
                    ScriptedResponse::json(200, SessionTestWorld::managedFieldsAnswer(serviceLists)));
        if (remembered) world.remember("ann@example.com", "secret", "7");

        const auto session = world.launch();
        const auto manager = session->managedFieldsManager();
        ASSERT_NE(manager, nullptr);
        EXPECT_EQ(manager, world.injector.get<ManagedFieldsManager>());
        EXPECT_EQ(session->isSessionActive(), remembered);

        ASSERT_TRUE(test::runUntil([&] { return manager->managedFieldsDictionary() == serviceLists; }));
        EXPECT_EQ(manager->bodyTypeForCode(7), ManagedField(7, "Curvy"));
        EXPECT_EQ(manager->bodyTypeForCode(4), ManagedField(4, "Other"));
        EXPECT_FALSE(manager->allEthnicities());
        const auto requests = world.requestsTo("GET /v3/managed-fields");
        ASSERT_EQ(requests.size(), 1);
        EXPECT_EQ(requests[0].header("Authorization"), std::nullopt);
        EXPECT_FALSE(requests[0].hasQuery);
        EXPECT_TRUE(requests[0].body.isEmpty());
    }
}

TEST(ManagedFieldsManager, AFailedOrMalformedAnswerKeepsTheBuiltInLists) {
    struct Case {
        const char* name;
        ScriptedResponse response;
        qint64 code;
    };
    const Case cases[] = {
        {"server error", ScriptedResponse::empty(500), TovrinServiceErrorServerError},
        {"no connection", ScriptedResponse::drop(), TovrinServiceErrorGeneric},
        {"not JSON", ScriptedResponse::json(200, "<html>"), TovrinServiceErrorDataNotReadable},
        {"no fields", ScriptedResponse::json(200, "{}"), TovrinServiceErrorDataNotReadable},
        {"null fields", ScriptedResponse::json(200, R"({"fields": null})"),
         TovrinServiceErrorDataNotReadable},
        {"fields not an object", ScriptedResponse::json(200, R"({"fields": [{"bodyType": []}]})"),
         TovrinServiceErrorDataNotReadable},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        SessionTestWorld world;
        world.route("GET /v3/managed-fields", testCase.response);
        const auto service = world.injector.get<ManagedFieldsService>();
        const auto manager = std::make_shared<ManagedFieldsManager>(service);

        const auto fetched = service->fetchManagedFieldDefinitions();
        const auto setUp = manager->setupManagedFieldsDictionary();
        ASSERT_TRUE(test::waitFor(fetched));
        ASSERT_TRUE(test::waitFor(setUp));

        EXPECT_EQ(fetched.error(), tovrinServiceError(testCase.code));
        EXPECT_TRUE(setUp.isFulfilled());
        EXPECT_EQ(manager->managedFieldsDictionary(), ManagedFieldsManager::builtInManagedFieldsDictionary());
        EXPECT_EQ(manager->bodyTypeForCode(4), ManagedField(4, "Muscular"));
    }
}

TEST(ManagedFieldsManagerAtLaunch, OneLaunchFetchesTheListsOnce) {
    SessionTestWorld world;
    const auto session = world.launch();
    world.settle();
    // Configuring the shared session again keeps the lists it has.
    UserSession::initializeSharedSessionWithInjector(world.injector, world.notificationCenter);
    session->startSessionWithProfileID("7", SessionCredentials("token-0", "xmpp-0"));
    world.settle();

    EXPECT_EQ(world.requestsTo("GET /v3/managed-fields").size(), 1);
    EXPECT_EQ(session->managedFieldsManager()->managedFieldsDictionary(),
              ManagedFieldsManager::builtInManagedFieldsDictionary());
}

}  // namespace
}  // namespace tovrin
