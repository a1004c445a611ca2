#pragma once

#include <QJsonValue>
#include <memory>

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinEndpoint.h"
#include "API/TovrinRequest.h"
#include "Authentication/AppTestWorld.h"
#include "Authentication/SessionInfo.h"
#include "Authentication/SessionService.h"
#include "Authentication/UserSession.h"
#include "sandbox/Sandbox.h"
#include "sandbox/world/WorldSeed.h"
#include "support/TestSupport.h"

namespace tovrin::test {

// How long (milliseconds) the sandbox tests wait for something that should happen: sanitizer
// builds start many servers side by side. Waits end as soon as the thing happens.
inline constexpr int sandboxPatience = 180000;

// A web session that waits as long as the tests do.
inline net::URLSessionConfiguration patientSessionConfiguration() {
    net::URLSessionConfiguration configuration;
    configuration.timeoutIntervalForRequest = sandboxPatience / 1000.0;
    return configuration;
}

// What a sign-in answered.
struct SignedInMember {
    QString profileID;
    QString sessionToken;
    QString xmppToken;
};

// The application's container (`AppTestWorld`) pointed at a running sandbox: the client's own
// endpoints, sign-in and shared session against the sandbox's hosts, so signed-in calls carry the
// real session's token and renew it when the service refuses it. Signed out until a member signs
// in. The sandbox must outlive the world.
class SandboxTestWorld : public AppTestWorld {
public:
    explicit SandboxTestWorld(const sandbox::Sandbox& sandbox)
        : AppTestWorld(sessionConfiguration(), sandboxPatience) {
        setHostURL(sandbox.webURL().toString());
    }

    // A launch with a seeded member signed in through the client's sign-in.
    std::shared_ptr<UserSession> launchSignedIn(
        const QString& email = sandbox::WorldSeed::demoEmail,
        const QString& password = sandbox::WorldSeed::memberPassword) {
        auto session = launch();
        const Promise<SessionInfo> signedIn = signIn(email, password);
        EXPECT_TRUE(waitFor(signedIn, sandboxPatience) && signedIn.isFulfilled());
        return session;
    }

    // The client's sign-in over the launched session; a member signed in before signs out first,
    // as the client has them do.
    Promise<SessionInfo> signIn(const QString& email,
                                const QString& password = sandbox::WorldSeed::memberPassword) {
        if (const auto session = UserSession::sharedSession(); session && session->isSessionActive())
            session->logout();
        return injector.get<SessionService>()->loginWithEmail(email, password);
    }

    // A call while signed out, through the client's endpoint.
    Promise<QJsonValue> send(std::shared_ptr<const TovrinRequest> request) {
        return injector.get<TovrinEndpoint>()->JSONWithRequest(std::move(request));
    }

    // A call of the signed-in member, through the signed-in endpoint.
    Promise<QJsonValue> sendSignedIn(std::shared_ptr<const TovrinRequest> request) {
        return injector.get<AuthenticatedTovrinEndpoint>()->JSONWithRequest(std::move(request));
    }

    std::shared_ptr<UserSession> session() const { return UserSession::sharedSession(); }

private:
    static net::URLSessionConfiguration sessionConfiguration() {
        net::URLSessionConfiguration configuration = patientSessionConfiguration();
        configuration.additionalTrustedCAFile = sandbox::Sandbox::certificateAuthorityFile();
        return configuration;
    }
};

}  // namespace tovrin::test
