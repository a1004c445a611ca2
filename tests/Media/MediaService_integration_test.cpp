#include "Media/MediaService.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>
#include <QTcpServer>
#include <atomic>

#include "API/TovrinService.h"
#include "API/TovrinServiceError.h"
#include "Authentication/SessionTestWorld.h"
#include "InjectorKeys.h"
#include "Media/DeferredImageLoader.h"
#include "platform/system/Screen.h"

namespace tovrin {
namespace {

using test::LoopbackHTTPServer;
using test::ScriptedResponse;
using test::SessionTestWorld;

QByteArray pngData(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return data;
}

ScriptedResponse photo(int width = 20, int height = 10) {
    ScriptedResponse response = ScriptedResponse::empty(200);
    response.headers = {{"Content-Type", "image/png"}};
    response.body = pngData(width, height);
    return response;
}

ScriptedResponse page(int status, const QByteArray& body) {
    ScriptedResponse response = ScriptedResponse::empty(status);
    response.headers = {{"Content-Type", "text/html"}};
    response.body = body;
    return response;
}

class MediaServiceTest : public testing::Test {
protected:
    MediaServiceTest() {
        world.injector.bindInstance(world.notificationCenter);
        world.injector.bindInstance<net::URLSession>(InjectorKeyImageLoadingURLSession, imageSession);
        world.route("GET /v3/bootstrap", ScriptedResponse::json(200, bootstrapNaming(world.server.url())));
        activity.push_back(world.notificationCenter->addObserver(
            HTTPActivityDidBeginNotification, nullptr,
            [this](const Notification&) { events.push_back("begin"); }));
        activity.push_back(
            world.notificationCenter->addObserver(HTTPActivityDidEndNotification, nullptr,
                                                  [this](const Notification&) { events.push_back("end"); }));
        screen->setBounds(QRectF(0, 0, 375, 667));
        screen->setScale(2);
    }

    ~MediaServiceTest() override {
        EXPECT_TRUE(test::runUntil([&] { return imageSession->tasksInFlight() == 0; }));
        screen->setBounds(originalScreen.bounds());
        screen->setScale(originalScreen.scale());
    }

    net::URLSessionConfiguration imageSessionConfiguration() const {
        net::URLSessionConfiguration configuration;
        configuration.requestCachePolicy = net::URLRequestCachePolicy::ReturnCacheDataElseLoad;
        configuration.URLCache = cache;
        return configuration;
    }

    // A bootstrap answer whose media host is the address given.
    QByteArray bootstrapNaming(const QUrl& mediaHost) const {
        QJsonObject answer = QJsonDocument::fromJson(world.bootstrapAnswer()).object();
        QJsonObject services = answer["services"].toObject();
        services["media"] = QJsonArray{QJsonObject{
            {"protocol", mediaHost.scheme()}, {"host", mediaHost.host()}, {"port", mediaHost.port()}}};
        answer["services"] = services;
        return QJsonDocument(answer).toJson(QJsonDocument::Compact);
    }

    std::shared_ptr<MediaService> signedInMediaService() {
        world.launchSignedIn();
        // The launch's own web activity (the option lists) is not the photos'.
        events.clear();
        return world.injector.get<MediaService>();
    }

    // The settled promise.
    static Promise<QImage> settled(const Promise<QImage>& promise) {
        EXPECT_TRUE(test::waitFor(promise));
        return promise;
    }
    static std::optional<qint64> errorCode(const Promise<QImage>& promise) {
        const auto error = settled(promise).error();
        if (!error) return std::nullopt;
        EXPECT_EQ(error->domain(), TovrinServiceErrorDomain);
        return error->code();
    }

    qsizetype requestsTo(const QString& path) const { return world.requestsTo("GET " + path).size(); }
    std::optional<net::CachedURLResponse> cachedAnswer(const QString& path) const {
        return cache->cachedResponseForRequest(net::URLRequest(world.server.url(path)));
    }

    SessionTestWorld world;
    std::shared_ptr<net::URLCache> cache = std::make_shared<net::URLCache>(
        world.home.path() + "/Library/Caches/ImageLoadingSession", 10 * 1024 * 1024);
    std::shared_ptr<test::CountingURLSession> imageSession =
        std::make_shared<test::CountingURLSession>(imageSessionConfiguration(), world.reachability);
    std::shared_ptr<Screen> screen = Screen::main();
    const Screen originalScreen = *screen;
    std::vector<QString> events;
    std::vector<NotificationToken> activity;
};

TEST_F(MediaServiceTest, ThePhotoAddressIsTheMediaHostThenTheRenditionPathThenTheHash) {
    struct Case {
        double nativeWidth;
        Promise<QImage> (MediaService::*operation)(const std::optional<QString>&);
        QString hash;
        QString path;
    };
    auto media = signedInMediaService();
    for (const auto& [nativeWidth, operation, hash, path] : std::vector<Case>{
             {1080, &MediaService::thumbnailImageForMediaHash, "h1", "/images/thumb/320x320/h1"},
             {1079, &MediaService::thumbnailImageForMediaHash, "h2", "/images/thumb/187x187/h2"},
             {750, &MediaService::profileImageForMediaHash, "h3", "/images/profile/1024x1024/h3"},
             {750, &MediaService::chatImageForMediaHash, "h4", "/tovrin/chat/h4"}}) {
        SCOPED_TRACE(path.toStdString());
        screen->setBounds(QRectF(0, 0, nativeWidth, 600));
        screen->setScale(1);
        world.route("GET " + path, photo(20, 10));

        const auto image = settled(((*media).*operation)(hash));

        ASSERT_TRUE(image.isFulfilled());
        EXPECT_EQ(image.value()->size(), QSize(20, 10));
        EXPECT_EQ(requestsTo(path), 1);
    }
    EXPECT_EQ(world.injector.get<UserDefaults>()->URLForKey("cachedMediaHostURL"), world.server.url());
}

TEST_F(MediaServiceTest, ThumbnailsAre320PixelsFromANativeWidthOf1080) {
    auto media = signedInMediaService();
    for (const auto& [points, scale, path] :
         std::vector<std::tuple<double, double, QString>>{{360, 3, "images/thumb/320x320"},
                                                          {1080, 1, "images/thumb/320x320"},
                                                          {1079, 1, "images/thumb/187x187"},
                                                          {375, 2, "images/thumb/187x187"},
                                                          {414, 3, "images/thumb/320x320"}}) {
        screen->setBounds(QRectF(0, 0, points, 700));
        screen->setScale(scale);
        EXPECT_EQ(media->preferredThumbnailPathString(), path) << points << " × " << scale;
    }
}

TEST_F(MediaServiceTest, TheHashIsOneSegmentOfThePath) {
    struct Case {
        QString hash;
        QString url;  // empty: no address
    };
    const QUrl host("https://media.example:8443/base");
    for (const auto& [hash, url] :
         std::vector<Case>{{"a/b?c#d", "https://media.example:8443/base/tovrin/chat/a%2Fb%3Fc%23d"},
                           {"a/b", "https://media.example:8443/base/tovrin/chat/a%2Fb"},
                           {"%2e", "https://media.example:8443/base/tovrin/chat/%252e"},
                           {QString::fromUtf8("ü"), "https://media.example:8443/base/tovrin/chat/%C3%BC"},
                           {"..", ""},
                           {".", ""},
                           {"", ""}}) {
        SCOPED_TRACE(hash.toStdString());
        EXPECT_EQ(MediaService::imageURL(host, "tovrin/chat", hash).toString(QUrl::FullyEncoded), url);
    }
    EXPECT_EQ(MediaService::imageURL(QUrl("https://media.example/"), "images/profile/1024x1024", "f00d"),
              QUrl("https://media.example/images/profile/1024x1024/f00d"));
    EXPECT_TRUE(MediaService::imageURL(QUrl(), "tovrin/chat", "f00d").isEmpty());
}

// The hash reaches the media host as the one segment after the rendition path, never as a path of
// its own.
TEST_F(MediaServiceTest, EachHashIsFetchedUnderItsRenditionPathOnly) {
    auto media = signedInMediaService();
    for (const char* path : {"/tovrin/chat/a%2Fb", "/tovrin/chat/%252e", "/tovrin/chat/%C3%BC"}) {
        world.route(QStringLiteral("GET ") + path, photo(3, 3));
    }
    for (const QString& hash : {QString("a/b"), QString("%2e"), QString::fromUtf8("ü")}) {
        SCOPED_TRACE(hash.toStdString());
        EXPECT_TRUE(settled(media->chatImageForMediaHash(hash)).isFulfilled());
    }
    QStringList paths;
    for (const auto& request : world.requests()) {
        if (!request.path.startsWith("/v3/")) paths.append(request.path);
    }
    EXPECT_EQ(paths, QStringList({"/tovrin/chat/a%2Fb", "/tovrin/chat/%252e", "/tovrin/chat/%C3%BC"}));
}

TEST_F(MediaServiceTest, TheKeptMediaHostServesWhileTheBootstrapCallFails) {
    world.route("GET /v3/bootstrap", ScriptedResponse::json(500, "{}"));
    world.route("GET /images/profile/1024x1024/kept", photo());
    auto media = signedInMediaService();
    world.injector.get<UserDefaults>()->setURL(world.server.url(), "cachedMediaHostURL");

    EXPECT_TRUE(settled(media->profileImageForMediaHash("kept")).isFulfilled());
    EXPECT_EQ(requestsTo("/images/profile/1024x1024/kept"), 1);

    world.injector.get<UserDefaults>()->removeObjectForKey("cachedMediaHostURL");
    EXPECT_EQ(errorCode(media->profileImageForMediaHash("kept")), TovrinServiceErrorServerError);
}

TEST_F(MediaServiceTest, EachCallTakesTheMediaHostOfTheMemberSignedInThen) {
    LoopbackHTTPServer otherMediaHost;
    otherMediaHost.setHandler([](const test::RecordedRequest&) { return photo(7, 7); });
    world.route("GET /v3/bootstrap",
                std::vector{ScriptedResponse::json(200, bootstrapNaming(world.server.url())),
                            ScriptedResponse::json(200, bootstrapNaming(otherMediaHost.url()))});
    world.route("GET /tovrin/chat/c1", photo(5, 5));
    auto session = world.launch();
    auto media = world.injector.get<MediaService>();  // made while signed out
    world.injector.get<AuthStorage>()->storeLoginCredentials(LoginCredentials("ann@example.com", "secret"));
    session->startSessionWithProfileID("7", SessionCredentials("token-7", "xmpp-7"));

    EXPECT_EQ(settled(media->chatImageForMediaHash("c1")).value()->size(), QSize(5, 5));
    session->startSessionWithProfileID("8", SessionCredentials("token-8", "xmpp-8"));
    EXPECT_EQ(settled(media->chatImageForMediaHash("c1")).value()->size(), QSize(7, 7));

    ASSERT_EQ(otherMediaHost.requests().size(), 1);
    EXPECT_EQ(otherMediaHost.requests().first().path, "/tovrin/chat/c1");
    EXPECT_EQ(world.injector.get<UserDefaults>()->URLForKey("cachedMediaHostURL"), otherMediaHost.url());
}

TEST_F(MediaServiceTest, ACachedAnswerIsDecodedWithoutTheNetworkOrActivityNotifications) {
    world.route("GET /images/profile/1024x1024/p", photo(30, 40));
    auto media = signedInMediaService();
    auto first = media->profileImageForMediaHash("p");
    first.then([this](const QImage&) { events.push_back("fulfilled"); });
    settled(first);
    test::drainMainQueue();
    EXPECT_EQ(events, (std::vector<QString>{"begin", "end", "fulfilled"}));
    events.clear();

    const auto again = settled(media->profileImageForMediaHash("p"));

    EXPECT_EQ(again.value()->size(), QSize(30, 40));
    EXPECT_EQ(requestsTo("/images/profile/1024x1024/p"), 1);
    test::drainMainQueue();
    EXPECT_TRUE(events.empty());
}

TEST_F(MediaServiceTest, AnEmptyCachedAnswerCountsAsNotCached) {
    world.route("GET /tovrin/chat/e", photo());
    const net::URLRequest request(world.server.url("/tovrin/chat/e"));
    cache->storeCachedResponse({net::HTTPURLResponse(request.URL(), 200, {}), QByteArray()}, request);
    ASSERT_TRUE(cachedAnswer("/tovrin/chat/e").has_value());
    auto media = signedInMediaService();

    EXPECT_TRUE(settled(media->chatImageForMediaHash("e")).isFulfilled());
    EXPECT_EQ(requestsTo("/tovrin/chat/e"), 1);
    test::drainMainQueue();
    EXPECT_EQ(events, (std::vector<QString>{"begin", "end"}));
}

TEST_F(MediaServiceTest, OnlyADecodableBodyCountsWhateverTheStatus) {
    auto media = signedInMediaService();
    struct Case {
        QString hash;
        ScriptedResponse response;
        std::optional<qint64> error;
    };
    QByteArray truncated = pngData(20, 10);
    truncated.truncate(30);
    for (const auto& [hash, response, error] :
         std::vector<Case>{{"missing", page(404, "<html><body>Not Found</body></html>"), 9},
                           {"json", ScriptedResponse::json(200, "{}"), 9},
                           {"empty", ScriptedResponse::empty(200), 9},
                           {"truncated", page(200, truncated), 9},
                           {"failing", page(500, ""), 9},
                           {"odd",
                            [] {
                                ScriptedResponse odd = photo();
                                odd.status = 404;
                                return odd;
                            }(),
                            std::nullopt}}) {
        SCOPED_TRACE(hash.toStdString());
        world.route("GET /tovrin/chat/" + hash, response);
        EXPECT_EQ(errorCode(media->chatImageForMediaHash(hash)), error);
    }
}

TEST_F(MediaServiceTest, NoHashOrADotSegmentIsRejectedAtOnceWith14) {
    auto media = signedInMediaService();
    for (const std::optional<QString>& hash : {std::optional<QString>(), std::optional<QString>(""),
                                               std::optional<QString>("."), std::optional<QString>("..")}) {
        for (const auto& image :
             {media->thumbnailImageForMediaHash(hash), media->profileImageForMediaHash(hash),
              media->chatImageForMediaHash(hash)}) {
            ASSERT_TRUE(image.isRejected());
            EXPECT_EQ(image.error()->code(), TovrinServiceErrorMissingMediaHash);
        }
    }
    const auto loader = world.injector.get<DeferredImageLoader>();
    EXPECT_TRUE(loader->imageAtURL(QUrl()).isRejected());
    test::drainMainQueue();
    EXPECT_TRUE(world.requests().isEmpty());
    EXPECT_TRUE(events.empty());
}

TEST_F(MediaServiceTest, ATransferWithoutAConnectionFailsWith1) {
    world.route("GET /v3/bootstrap", ScriptedResponse::json(200, bootstrapNaming(test::closedPortURL())));
    world.reachability->setStatus(net::NetworkStatus::NotReachable);
    auto media = signedInMediaService();
    EXPECT_EQ(errorCode(media->profileImageForMediaHash("offline")), TovrinServiceErrorGeneric);
    test::drainMainQueue();
    EXPECT_EQ(events, (std::vector<QString>{"begin", "end"}));
}

TEST_F(MediaServiceTest, TheThumbnailCacheAnswersARepeatedRequestAtOnce) {
    world.route("GET /images/thumb/187x187/t", photo(100, 50));
    auto media = signedInMediaService();
    settled(media->thumbnailImageForMediaHash("t"));
    test::drainMainQueue();
    const qsizetype requestsBefore = world.requests().size();

    const auto again = media->thumbnailImageForMediaHash("t");

    ASSERT_TRUE(again.isFulfilled());
    EXPECT_EQ(again.value()->size(), QSize(100, 50));
    EXPECT_EQ(media->thumbnailCache()->totalCost(), 100 * 50 * 4);
    EXPECT_EQ(media->thumbnailCache()->totalCostLimit(), 10485760);
    test::drainMainQueue();
    EXPECT_EQ(world.requests().size(), requestsBefore);
}

TEST_F(MediaServiceTest, OverlappingRequestsEachTransferAndFailuresAreNotKept) {
    world.route("GET /images/thumb/187x187/twice", photo());
    world.route("GET /images/thumb/187x187/flaky", std::vector{page(404, "gone"), photo()});
    auto media = signedInMediaService();

    const auto first = media->thumbnailImageForMediaHash("twice");
    const auto second = media->thumbnailImageForMediaHash("twice");
    EXPECT_TRUE(settled(first).isFulfilled());
    EXPECT_TRUE(settled(second).isFulfilled());
    EXPECT_EQ(requestsTo("/images/thumb/187x187/twice"), 2);

    EXPECT_EQ(errorCode(media->thumbnailImageForMediaHash("flaky")), TovrinServiceErrorDataNotReadable);
    EXPECT_TRUE(settled(media->thumbnailImageForMediaHash("flaky")).isFulfilled());
    EXPECT_EQ(requestsTo("/images/thumb/187x187/flaky"), 2);
}

TEST_F(MediaServiceTest, ABackgroundQueueMayAskForPhotos) {
    world.route("GET /images/profile/1024x1024/bg", photo(8, 8));
    world.route("GET /images/thumb/187x187/bg", photo(4, 4));
    auto media = signedInMediaService();
    Promise<QImage> profileImage;
    Promise<QImage> thumbnail;
    std::atomic<bool> asked = false;
    OperationQueue background;
    background.addOperation([&] {
        profileImage = media->profileImageForMediaHash("bg");
        thumbnail = media->thumbnailImageForMediaHash("bg");
        asked = true;
    });
    ASSERT_TRUE(test::runUntil([&] { return asked.load(); }));
    EXPECT_EQ(settled(profileImage).value()->size(), QSize(8, 8));
    EXPECT_EQ(settled(thumbnail).value()->size(), QSize(4, 4));
}

}  // namespace
}  // namespace tovrin
