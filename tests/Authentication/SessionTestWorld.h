#pragma once

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>

#include "API/AuthenticatedBootstrapManager.h"
#include "API/WebClientTestSupport.h"
#include "AppModule.h"
#include "Authentication/AppTestWorld.h"
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
#include "Profile/ManagedFieldsManager.h"
#include "RemoteNotifications/RemoteNotificationRegistrar.h"
#include "Rules/RulesJSONMapper.h"
#include "fixtures/http/LoopbackHTTPServer.h"
#include "fixtures/keychain/InMemoryKeychain.h"
#include "platform/di/Injector.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/net/URLError.h"
#include "platform/system/Application.h"
#include "platform/system/Device.h"
#include "support/FakeClock.h"
#include "support/TestSupport.h"

namespace tovrin::test {

// The application's container (`AppTestWorld`) pointed at a loopback web service: routes by method
// and path, a bootstrap answer by default.
class SessionTestWorld : public AppTestWorld {
public:
    using Handler = std::function<ScriptedResponse(const RecordedRequest&)>;

    // `host` is the configured "TovrinHostURL"; the loopback server's address when empty.
    explicit SessionTestWorld(const QString& host = QString()) {
        setHostURL(host.isEmpty() ? server.url().toString() : host);
        server.setHandler([this](const RecordedRequest& request) { return respond(request); });
    }

    // The requests still waiting are answered before the server goes.
    ~SessionTestWorld() override { finish(); }

    SessionTestWorld(const SessionTestWorld&) = delete;
    SessionTestWorld& operator=(const SessionTestWorld&) = delete;

    // "POST /v3/sessions" and the like; every other request but the bootstrap, the option lists and
    // the favourites (an empty list) is answered 200 "{}".
    void route(const QString& methodAndPath, Handler handler) { routes_[methodAndPath] = std::move(handler); }
    void route(const QString& methodAndPath, ScriptedResponse response) {
        route(methodAndPath, [response](const RecordedRequest&) { return response; });
    }
    // Answers in turn, the last one for every further request.
    void route(const QString& methodAndPath, std::vector<ScriptedResponse> responses) {
        auto next = std::make_shared<size_t>(0);
        route(methodAndPath, [responses, next](const RecordedRequest&) {
            return responses[std::min((*next)++, responses.size() - 1)];
        });
    }

    QList<RecordedRequest> requestsTo(const QString& methodAndPath) const {
        QList<RecordedRequest> found;
        const QList<RecordedRequest> all = server.requests();
        for (qsizetype index = 0; index < all.size(); ++index) {
            if (nameOf(all[index]) == methodAndPath && !sentForTheWorld_.contains(index))
                found.append(all[index]);
        }
        return found;
    }
    // What the test's own steps sent, in order: every request but the launch's fetch of the option
    // lists and each session start's load of the favourites, which the world answers by itself
    // unless the test routes them.
    QList<RecordedRequest> requests() const {
        QList<RecordedRequest> found;
        const QList<RecordedRequest> all = server.requests();
        for (qsizetype index = 0; index < all.size(); ++index) {
            if (!answeredByTheWorld(all[index]) && !sentForTheWorld_.contains(index))
                found.append(all[index]);
        }
        return found;
    }
    bool waitForRequests(qsizetype count, int timeoutMilliseconds = 10000) const {
        return runUntil([&] { return requests().size() >= count; }, timeoutMilliseconds);
    }
    static QString nameOf(const RecordedRequest& request) {
        return QString::fromLatin1(request.method) + ' ' + request.path;
    }

    // A launch: the shared session made, configured and set up. The launch's fetch of the option
    // lists, when the world answers it, is over first (the web client's activity has ended), so that
    // its request, its activity and what the listeners hear of it never mix with the test's steps.
    std::shared_ptr<UserSession> launch() {
        const std::shared_ptr<UserSession> before = UserSession::sharedSession();
        const auto listsBefore = before ? before->managedFieldsManager() : nullptr;
        int activitiesEnded = 0;
        const NotificationToken ended = injector.get<NotificationCenter>()->addObserver(
            HTTPActivityDidEndNotification, nullptr, [&](const Notification&) { ++activitiesEnded; });
        auto session = UserSession::initializeSharedSessionWithInjector(injector, notificationCenter);
        const bool listsFetched = session->managedFieldsManager() != listsBefore;
        if (listsFetched && !routes_.contains(OptionListsRequest)) {
            EXPECT_TRUE(runUntil([&] { return activitiesEnded > 0; }));
            drainMainQueue();
        }
        session->setupSessionResources();
        return session;
    }

    // A launch, then a member signed in with the tokens given. The session's load of the favourites,
    // when the world answers it, is over first, with the bootstrap it waited for; that bootstrap is
    // the world's, and the session's next signed-in request asks for its own, as if it were the first.
    std::shared_ptr<UserSession> launchSignedIn(const QString& profileID = "7",
                                                const QString& sessionToken = "token-0") {
        auto session = launch();
        injector.get<AuthStorage>()->storeLoginCredentials(LoginCredentials("ann@example.com", "secret"));
        const qsizetype before = server.requests().size();
        session->startSessionWithProfileID(profileID, SessionCredentials(sessionToken, "xmpp-0"));
        if (!routes_.contains(FavoritesRequest)) {
            settleAll();
            const QList<RecordedRequest> all = server.requests();
            for (qsizetype index = before; index < all.size(); ++index) {
                if (all[index].method == "GET" && all[index].path.endsWith("/v3/bootstrap"))
                    sentForTheWorld_.insert(index);
            }
            if (const auto bootstrap = session->bootstrapManager())
                bootstrap->invalidateCurrentBootstrapPromise();
        }
        return session;
    }

    static ScriptedResponse sessionResponse(const QJsonValue& profileID, const QString& sessionToken,
                                            const QString& xmppToken = "xmpp-1") {
        const QJsonObject body{
            {"profileId", profileID}, {"sessionId", sessionToken}, {"xmppToken", xmppToken}};
        return ScriptedResponse::json(200, QJsonDocument(body).toJson(QJsonDocument::Compact));
    }
    static ScriptedResponse errorResponse(int status, int code) {
        return ScriptedResponse::json(status,
                                      QStringLiteral(R"({"code":%1,"message":""})").arg(code).toUtf8());
    }

    // The option lists as the service sends them: by default the built-in ones.
    static QByteArray managedFieldsAnswer(
        const ManagedFieldsDictionary& lists = ManagedFieldsManager::builtInManagedFieldsDictionary()) {
        QJsonObject fields;
        for (const auto& [key, options] : lists) {
            QJsonArray entries;
            for (const ManagedField& option : options) {
                QJsonObject entry{{"fieldId", option.code()}};
                if (option.localizedStringRepresentation())
                    entry.insert("name", *option.localizedStringRepresentation());
                entries.append(entry);
            }
            fields.insert(key, entries);
        }
        return QJsonDocument(QJsonObject{{"fields", fields}}).toJson(QJsonDocument::Compact);
    }

    // A bootstrap answer naming this server as the upload host and, optionally, the server time.
    QByteArray bootstrapAnswer(std::optional<double> serverTimeMilliseconds = std::nullopt,
                               int maxCascadePages = 5) const {
        QJsonObject configuration{{"app", QJsonObject{{"maxCascadePages", maxCascadePages}}}};
        if (serverTimeMilliseconds) configuration.insert("serverTime", *serverTimeMilliseconds);
        const QJsonObject services{
            {"chat", QJsonArray{QJsonObject{{"protocol", "xmpp"},
                                            {"host", "chat.tovrin.example"},
                                            {"port", 5222},
                                            {"domain", "tovrin.example"}},
                                QJsonObject{{"host", "second.example"}}}},
            {"media",
             QJsonArray{QJsonObject{{"protocol", "https"}, {"host", "media.tovrin.example"}, {"port", 443}},
                        QJsonObject{{"protocol", "http"}, {"host", "second.example"}, {"port", 80}}}},
            {"upload", QJsonArray{QJsonObject{
                           {"protocol", "http"}, {"host", "127.0.0.1"}, {"port", server.url().port()}}}},
            {"web",
             QJsonArray{QJsonObject{{"protocol", "https"}, {"host", "www.tovrin.example"}, {"port", 443}}}},
        };
        return QJsonDocument(QJsonObject{{"services", services}, {"configuration", configuration}})
            .toJson(QJsonDocument::Compact);
    }

    LoopbackHTTPServer server;

private:
    bool answeredByTheWorld(const RecordedRequest& request) const {
        const QString name = nameOf(request);
        return (name == OptionListsRequest || name == FavoritesRequest) && !routes_.contains(name);
    }

    ScriptedResponse respond(const RecordedRequest& request) {
        if (nameOf(request) == "GET /v3/bootstrap" && !routes_.contains("GET /v3/bootstrap")) {
            return ScriptedResponse::json(200, bootstrapAnswer());
        }
        if (answeredByTheWorld(request)) {
            if (nameOf(request) == FavoritesRequest)
                return ScriptedResponse::json(200, R"({"favorites":[]})");
            return ScriptedResponse::json(200, managedFieldsAnswer());
        }
        const auto found = routes_.find(nameOf(request));
        return found != routes_.end() ? found->second(request) : ScriptedResponse::json(200, "{}");
    }

    static inline const QString OptionListsRequest = QStringLiteral("GET /v3/managed-fields");
    static inline const QString FavoritesRequest = QStringLiteral("GET /v3/me/favorites");

    std::map<QString, Handler> routes_;
    // Indexes into the server's requests.
    QSet<qsizetype> sentForTheWorld_;
};

}  // namespace tovrin::test
