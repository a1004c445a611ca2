#pragma once

#include <gtest/gtest.h>

#include <QThreadPool>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "API/WebClientTestSupport.h"
#include "AppModule.h"
#include "Authentication/AuthStorage.h"
#include "Authentication/UserSession.h"
#include "Cascade/Filter/CascadeFilterJSONMapper.h"
#include "Cascade/Filter/FilterJSONMapper.h"
#include "Cascade/NearbyUserJSONMapper.h"
#include "Categories/Promise+InProgress.h"
#include "Chat/LastSeenMessageInfoJSONMapper.h"
#include "Helpers/ServerCurrentDateProvider.h"
#include "Persistence/TovrinPersistence.h"
#include "Persistence/databasewrapper/Database.h"
#include "RemoteNotifications/RemoteNotificationRegistrar.h"
#include "Rules/RulesJSONMapper.h"
#include "fixtures/keychain/InMemoryKeychain.h"
#include "platform/di/Injector.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/system/Application.h"
#include "platform/system/Device.h"
#include "support/FakeClock.h"
#include "support/TestSupport.h"

namespace tovrin::test {

// A URL session that counts the requests still waiting for an answer, and can fail chosen
// requests with a URL-loading error before they are sent (for errors a real session never makes).
class CountingURLSession : public net::URLSession {
public:
    using URLSession::URLSession;

    Promise<net::DataTaskResponse> dataTaskPromise(const net::URLRequest& request) override {
        if (failBeforeSending) {
            if (const std::optional<Error> error = failBeforeSending(request))
                return Promise<net::DataTaskResponse>::rejected(*error);
        }
        ++*inFlight_;
        ++started_;
        const auto promise = URLSession::dataTaskPromise(request);
        performWhenFinished(promise, [inFlight = inFlight_] { --*inFlight; });
        return promise;
    }

    int tasksInFlight() const { return *inFlight_; }
    int tasksStarted() const { return started_; }

    std::function<std::optional<Error>(const net::URLRequest&)> failBeforeSending;

private:
    std::shared_ptr<int> inFlight_ = std::make_shared<int>(0);
    int started_ = 0;
};

// Hands the platform's push-registration replies to the registrar, as the application delegate does.
class RegistrarForwardingDelegate : public ApplicationDelegate {
public:
    explicit RegistrarForwardingDelegate(std::shared_ptr<RemoteNotificationRegistrar> registrar)
        : registrar_(std::move(registrar)) {}
    void didRegisterForRemoteNotificationsWithDeviceToken(Application&, const QByteArray& token) override {
        registrar_->didRegisterForRemoteNotificationsWithDeviceToken(token);
    }
    void didFailToRegisterForRemoteNotificationsWithError(Application&, const Error& error) override {
        registrar_->didFailToRegisterForRemoteNotificationsWithError(error);
    }

private:
    std::shared_ptr<RemoteNotificationRegistrar> registrar_;
};

// The application's container over a temporary home with an in-memory keychain, recording
// listeners, a settable network status, a server clock on a fake device clock and an application of
// its own for push registration. The shared user session made over it is cleared at the end, once
// every request has been answered and every store's queued work has run; a world whose server goes
// before it calls `finish()` first.
class AppTestWorld {
public:
    // `patience`: how long (milliseconds) `settle` waits for the last answers.
    explicit AppTestWorld(const net::URLSessionConfiguration& configuration = webSessionConfiguration(),
                          int patience = 10000)
        : urlSession(std::make_shared<CountingURLSession>(configuration, reachability)), patience_(patience) {
        AppModule().configure(injector);
        injector.bindInstance<Keychain>(keychain);
        injector.bindInstance<net::URLSession>(urlSession);
        injector.bindInstance<DeprecatedClientListener>(listeners);
        injector.bindInstance<BannedUserListener>(listeners);
        injector.bindInstance<CertificateMismatchListener>(listeners);
        injector.bindInstance(
            std::make_shared<Device>("iPhone", "iOS", "8.1", home.path() + "/VendorIdentifier"));
        injector.bindInstance(std::make_shared<ServerCurrentDateProvider>(clock));
        injector.bindInstance(application);
        applicationDelegate =
            std::make_shared<RegistrarForwardingDelegate>(injector.get<RemoteNotificationRegistrar>());
        application->setDelegate(applicationDelegate);
        injector.bindFactory<TovrinPersistence>(
            [this](Injector& injector, const Arguments&) {
                auto store = injector.construct<TovrinPersistence>();
                stores_.push_back(store);
                return store;
            },
            Scope::PerMember);
    }

    virtual ~AppTestWorld() { finish(); }

    AppTestWorld(const AppTestWorld&) = delete;
    AppTestWorld& operator=(const AppTestWorld&) = delete;

    // A store's queued work keeps it alive and ends by posting to the main queue: nothing of it may
    // outlive the world.
    void finish() {
        if (finished_) return;
        finished_ = true;
        UserSession::clearSession();
        settleAll();
        EXPECT_TRUE(runUntil([&] {
            return std::all_of(stores_.begin(), stores_.end(),
                               [](const auto& store) { return store.expired(); });
        }));
        drainMainQueue();
    }

    // The configured "TovrinHostURL", for what is built from now on.
    void setHostURL(const QString& host) {
        QVariantMap info = Bundle::main()->infoDictionary();
        info.insert(QStringLiteral("TovrinHostURL"), host);
        injector.bindInstance(std::make_shared<Bundle>(info));
    }

    // What an earlier run left: stored credentials and, if given, a stored profile id.
    void remember(const QString& email, const QString& password, const std::optional<QString>& profileID) {
        injector.get<AuthStorage>()->storeLoginCredentials(LoginCredentials(email, password));
        if (profileID)
            injector.get<UserDefaults>()->setObject(*profileID, UserSessionProfileIDUserDefaultsKey);
    }

    // A launch: the shared session made, configured and set up.
    std::shared_ptr<UserSession> launch() {
        auto session = UserSession::initializeSharedSessionWithInjector(injector, notificationCenter);
        session->setupSessionResources();
        return session;
    }

    // `settle` until no answer starts another request (a load waiting for the bootstrap, say).
    void settleAll() {
        int started = 0;
        do {
            started = urlSession->tasksStarted();
            settle();
        } while (started != urlSession->tasksStarted() || urlSession->tasksInFlight() > 0);
    }

    // Runs the event loop until no request waits for its answer and what the answers started ran.
    void settle() {
        EXPECT_TRUE(runUntil([&] { return urlSession->tasksInFlight() == 0; }, patience_));
        // Answers are decoded on the thread pool, then handed back to the main queue.
        EXPECT_TRUE(QThreadPool::globalInstance()->waitForDone(patience_));
        drainMainQueueUntilIdle();
    }

    static net::URLSessionConfiguration webSessionConfiguration() {
        net::URLSessionConfiguration configuration;
        configuration.timeoutIntervalForRequest = 30;
        return configuration;
    }

    TemporaryHome home;
    std::shared_ptr<InMemoryKeychain> keychain = std::make_shared<InMemoryKeychain>();
    std::shared_ptr<RecordingListeners> listeners = std::make_shared<RecordingListeners>();
    std::shared_ptr<FakeReachability> reachability = std::make_shared<FakeReachability>();
    std::shared_ptr<CountingURLSession> urlSession;
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::shared_ptr<NotificationCenter> notificationCenter = std::make_shared<NotificationCenter>();
    std::shared_ptr<Application> application = std::make_shared<Application>(notificationCenter);
    std::shared_ptr<RegistrarForwardingDelegate> applicationDelegate;
    Injector injector;

private:
    int patience_;
    std::vector<std::weak_ptr<TovrinPersistence>> stores_;
    bool finished_ = false;
};

}  // namespace tovrin::test
