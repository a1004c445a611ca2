#include "Chat/UploadImageService.h"

#include <gtest/gtest.h>

#include <QImage>

#include "API/TovrinServiceError.h"
#include "Authentication/SessionTestWorld.h"
#include "Throttling/RandomValueGenerator.h"
#include "Throttling/TovrinWebAPIThrottler.h"

namespace tovrin {
namespace {

using test::RecordedRequest;
using test::ScriptedResponse;
using test::SessionTestWorld;

QImage photo() {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    return image;
}

// Against the loopback server, which the world's bootstrap names as the upload host too. The
// throttler runs on the world's clock, which stands still: a refusal lasts the whole test.
class UploadImageServiceTest : public testing::Test {
protected:
    UploadImageServiceTest() {
        world.injector.bindInstance(
            std::make_shared<TovrinWebAPIThrottler>(world.clock, std::make_shared<RandomValueGenerator>()));
        world.launchSignedIn();
        service = world.injector.get<UploadImageService>();
    }

    template <class T>
    static Promise<T> settled(const Promise<T>& promise) {
        EXPECT_TRUE(test::waitFor(promise));
        return promise;
    }
    template <class T>
    static qint64 codeOf(const Promise<T>& promise) {
        return promise.isRejected() ? promise.error()->code() : 0;
    }

    QList<RecordedRequest> sent() {
        world.settleAll();
        QList<RecordedRequest> found;
        for (const RecordedRequest& request : world.requests()) {
            if (request.path != "/v3/bootstrap") found.append(request);
        }
        return found;
    }

    SessionTestWorld world;
    std::shared_ptr<UploadImageService> service;
};

TEST_F(UploadImageServiceTest, AChatPhotoIsUploadedAsJPEGThenRegisteredAsAChatPhoto) {
    world.route("POST /v3/me/pics", ScriptedResponse::json(200, R"({"mediaHash":"h1/x"})"));

    const auto uploaded = settled(service->uploadChatImage(photo()));

    ASSERT_TRUE(uploaded.isFulfilled()) << codeOf(uploaded);
    EXPECT_EQ(*uploaded.value(), "h1/x");
    const QList<RecordedRequest> requests = sent();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].path, "/v3/me/pics");
    EXPECT_EQ(requests[0].queryItems(), (QList<QPair<QString, QString>>{{"type", "chat"}}));
    EXPECT_EQ(requests[0].header("Content-Type"), "image/jpeg");
    EXPECT_EQ(QImage::fromData(requests[0].body, "JPG").size(), QSize(64, 48));
    // The hash is one segment of the registration's path, however it reads.
    EXPECT_EQ(requests[1].method, "POST");
    EXPECT_EQ(requests[1].path, "/v3/me/prefs/chat-pix/h1%2Fx");
    EXPECT_FALSE(requests[1].hasQuery);
    EXPECT_TRUE(requests[1].body.isEmpty());
    EXPECT_EQ(requests[1].header("Content-Type"), "application/json");
    EXPECT_TRUE(requests[1].header("Authorization").has_value());
}

TEST_F(UploadImageServiceTest, AProfilePhotoCarriesItsSquareAndIsNotRegistered) {
    world.route("POST /v3/me/pics", ScriptedResponse::json(200, R"({"mediaHash":"p1"})"));

    const auto uploaded = settled(service->uploadProfileImage(photo(), QRectF(10.4, 20.5, 100, 50)));

    ASSERT_TRUE(uploaded.isFulfilled()) << codeOf(uploaded);
    EXPECT_EQ(*uploaded.value(), "p1");
    const QList<RecordedRequest> requests = sent();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].path, "/v3/me/pics");
    EXPECT_EQ(requests[0].queryItems(),
              (QList<QPair<QString, QString>>{{"type", "profile"}, {"thumbCoords", "71,10,110,21"}}));
}

TEST_F(UploadImageServiceTest, ThumbnailCoordinatesAreMaximumYMinimumXMaximumXMinimumYRoundedHalfAway) {
    struct Case {
        QRectF rectangle;
        const char* text;
    };
    for (const Case& c :
         {Case{QRectF(10.4, 20.5, 100, 50), "71,10,110,21"}, Case{QRectF(0, 0, 320, 320), "320,0,320,0"},
          Case{QRectF(-0.5, 1.49, 2, 1), "2,-1,2,1"}}) {
        EXPECT_EQ(UploadImageService::thumbnailCoordinatesText(c.rectangle), c.text) << c.text;
    }
}

// Nothing is registered, and nobody is handed an empty hash.
TEST_F(UploadImageServiceTest, AnAnswerWithoutAStringMediaHashFailsWithNineAndRegistersNothing) {
    for (const char* answer :
         {R"({})", R"({"mediaHash":null})", R"({"mediaHash":42})", R"({"mediaHash":""})", R"(["h"])"}) {
        SCOPED_TRACE(answer);
        const qsizetype before = sent().size();
        world.route("POST /v3/me/pics", ScriptedResponse::json(200, answer));

        EXPECT_EQ(codeOf(settled(service->uploadChatImage(photo()))), TovrinServiceErrorDataNotReadable);

        const QList<RecordedRequest> requests = sent().mid(before);
        ASSERT_EQ(requests.size(), 1);
        EXPECT_EQ(requests[0].path, "/v3/me/pics");
    }
}

TEST_F(UploadImageServiceTest, APhotoThatIsNoJPEGFailsWithNineBeforeAnyRequest) {
    EXPECT_EQ(codeOf(settled(service->uploadChatImage(QImage()))), TovrinServiceErrorDataNotReadable);
    EXPECT_EQ(codeOf(settled(service->uploadProfileImage(QImage(), QRectF(0, 0, 1, 1)))),
              TovrinServiceErrorDataNotReadable);
    EXPECT_TRUE(sent().isEmpty());
}

TEST_F(UploadImageServiceTest, AFailedUploadPassesItsErrorOnAndRegistersNothing) {
    struct Case {
        const char* name;
        ScriptedResponse response;
        qint64 code;
    };
    for (const Case& c :
         {Case{"server error", ScriptedResponse::json(500, "{}"), TovrinServiceErrorServerError},
          Case{"no JSON", ScriptedResponse::json(200, "not json"), TovrinServiceErrorDataNotReadable}}) {
        SCOPED_TRACE(c.name);
        const qsizetype before = sent().size();
        world.route("POST /v3/me/pics", c.response);
        EXPECT_EQ(codeOf(settled(service->uploadChatImage(photo()))), c.code);
        EXPECT_EQ(sent().size(), before + 1);
    }
}

TEST_F(UploadImageServiceTest, TheThreeKindsShareOneThrottlingCount) {
    world.route("POST /v3/me/pics", ScriptedResponse::json(500, "{}"));
    world.route("POST /v3/me/prefs/chat-pix/h", ScriptedResponse::json(500, "{}"));
    EXPECT_EQ(codeOf(settled(service->uploadChatImage(photo()))), TovrinServiceErrorServerError);
    EXPECT_EQ(codeOf(settled(service->uploadProfileImage(photo(), QRectF(0, 0, 1, 1)))),
              TovrinServiceErrorServerError);
    EXPECT_EQ(codeOf(settled(service->uploadArchiveImageWithMediaHash("h"))), TovrinServiceErrorServerError);
    const qsizetype before = sent().size();

    world.route("POST /v3/me/pics", ScriptedResponse::json(200, R"({"mediaHash":"h"})"));
    EXPECT_EQ(codeOf(settled(service->uploadChatImage(photo()))), TovrinServiceErrorThrottled);
    EXPECT_EQ(codeOf(settled(service->uploadArchiveImageWithMediaHash("h"))), TovrinServiceErrorThrottled);
    EXPECT_EQ(sent().size(), before);
}

TEST_F(UploadImageServiceTest, AHashThatCannotBeOnePathSegmentIsNotSent) {
    for (const QString& hash : {QString(), QStringLiteral("."), QStringLiteral("..")}) {
        EXPECT_EQ(codeOf(settled(service->uploadArchiveImageWithMediaHash(hash))), TovrinServiceErrorGeneric);
    }
    EXPECT_TRUE(sent().isEmpty());
}

}  // namespace
}  // namespace tovrin
