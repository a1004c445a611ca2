#include "RemoteNotifications/DeviceRegistrationService.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinAPIRequest.h"
#include "Authentication/SessionTestWorld.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "platform/foundation/UUID.h"
#include "support/LogCapture.h"

namespace tovrin {
namespace {

using test::ScriptedResponse;
using test::SessionTestWorld;

const QByteArray DeviceToken = QByteArray::fromHex("00ab0fff10");

class DeviceRegistrationServiceTest : public testing::Test {
protected:
    SessionTestWorld world;
};

TEST_F(DeviceRegistrationServiceTest, TheSessionRegistersTheTokenAsLowerCaseHexAndRemovesItAtSignOut) {
    world.application->setRemoteNotificationDeviceToken(DeviceToken);
    auto session = world.launchSignedIn("7", "token-ann");
    ASSERT_TRUE(test::runUntil([&] { return !world.requestsTo("POST /v3/ios-push-tokens").isEmpty(); }));
    world.settle();

    const auto registrations = world.requestsTo("POST /v3/ios-push-tokens");
    ASSERT_EQ(registrations.size(), 1);
    EXPECT_EQ(registrations[0].header("Authorization"), "Tovrin3 token-ann");
    const QJsonObject body = QJsonDocument::fromJson(registrations[0].body).object();
    EXPECT_EQ(body.value("token"), "00ab0fff10");
    EXPECT_EQ(body.value("vendorProvidedIdentifier").toString(),
              world.injector.get<Device>()->identifierForVendor().value_or(""));
    EXPECT_TRUE(isUUIDString(body.value("vendorProvidedIdentifier").toString()));

    session->logout();
    ASSERT_TRUE(
        test::runUntil([&] { return !world.requestsTo("DELETE /v3/push-tokens/00ab0fff10").isEmpty(); }));
    world.settle();
    const auto removals = world.requestsTo("DELETE /v3/push-tokens/00ab0fff10");
    ASSERT_EQ(removals.size(), 1);
    EXPECT_EQ(removals[0].header("Authorization"), "Tovrin3 token-ann");
    EXPECT_FALSE(removals[0].header("Content-Type").has_value());
    EXPECT_TRUE(removals[0].body.isEmpty());
}

TEST_F(DeviceRegistrationServiceTest, WithoutAPushServiceNoTokenIsRegisteredOrRemoved) {
    auto session = world.launchSignedIn();
    session->logout();
    world.settle();

    EXPECT_TRUE(world.requestsTo("POST /v3/ios-push-tokens").isEmpty());
    EXPECT_TRUE(world.requests().isEmpty());
}

TEST_F(DeviceRegistrationServiceTest, AFailedRequestWritesOneLogLineAndIsNotRepeated) {
    world.launchSignedIn();
    world.route("POST /v3/ios-push-tokens", ScriptedResponse::empty(500));
    world.route("DELETE /v3/push-tokens/00ab0fff10", ScriptedResponse::empty(404));
    test::LogCapture log("Couldn't");
    auto service = world.injector.get<DeviceRegistrationService>();

    service->registerDeviceToken(DeviceToken);
    service->unregisterDeviceToken(DeviceToken);
    ASSERT_TRUE(test::runUntil([&] { return log.lines().size() == 2; }));
    world.settle();

    QStringList lines = log.lines();
    lines.sort();  // the two requests may end in either order
    EXPECT_TRUE(lines[0].startsWith("Couldn't register device push token with tovrin server. Error = "));
    EXPECT_TRUE(lines[1].startsWith("Couldn't unregister device push token with tovrin server. Error = "));
    EXPECT_EQ(world.requestsTo("POST /v3/ios-push-tokens").size(), 1);
    EXPECT_EQ(world.requestsTo("DELETE /v3/push-tokens/00ab0fff10").size(), 1);
}

// The service answers the removal with no body at all; that is a success, not unreadable data.
TEST_F(DeviceRegistrationServiceTest, AnEmptySuccessfulAnswerToTheRemovalFulfils) {
    world.launchSignedIn();
    auto endpoint = world.injector.get<AuthenticatedTovrinEndpoint>();
    for (const ScriptedResponse& response : {ScriptedResponse::empty(204), ScriptedResponse::empty(200)}) {
        SCOPED_TRACE(response.status);
        world.route("DELETE /v3/push-tokens/00ab0fff10", response);
        const auto removed = endpoint->JSONWithRequest(TovrinAPIRequest::DELETERequestWithPath(
            "/v3/push-tokens/00ab0fff10", std::nullopt, std::nullopt));
        ASSERT_TRUE(test::waitFor(removed));
        ASSERT_TRUE(removed.isFulfilled());
        EXPECT_TRUE(removed.value()->isUndefined());
    }
    EXPECT_EQ(world.requestsTo("DELETE /v3/push-tokens/00ab0fff10").size(), 2);

    // An empty token names no token: nothing is sent.
    const qsizetype sent = world.requests().size();
    world.injector.get<DeviceRegistrationService>()->unregisterDeviceToken(QByteArray());
    world.settle();
    EXPECT_EQ(world.requests().size(), sent);
}

TEST_F(DeviceRegistrationServiceTest, ADeviceWithoutAVendorIdentifierSendsTheTokenAlone) {
    world.launchSignedIn();
    QFile blocker(world.home.path() + "/not-a-folder");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const auto device =
        std::make_shared<Device>("iPhone", "iOS", "8.1", blocker.fileName() + "/VendorIdentifier");
    ASSERT_FALSE(device->identifierForVendor().has_value());
    auto service =
        std::make_shared<DeviceRegistrationService>(world.injector.get<AuthenticatedTovrinEndpoint>(),
                                                    world.injector.get<TovrinWebAPIThrottler>(), device);

    service->registerDeviceToken(DeviceToken);
    ASSERT_TRUE(world.waitForRequests(2));
    world.settle();

    const auto registrations = world.requestsTo("POST /v3/ios-push-tokens");
    ASSERT_EQ(registrations.size(), 1);
    EXPECT_EQ(registrations[0].body, R"({"token":"00ab0fff10"})");
}

}  // namespace
}  // namespace tovrin
