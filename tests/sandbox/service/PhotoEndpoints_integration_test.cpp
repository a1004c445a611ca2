#include <QImage>
#include <QJsonArray>
#include <QPainter>

#include "API/TovrinUploadRequest.h"
#include "platform/imaging/ImageEncoding.h"
#include "sandbox/SandboxTestSupport.h"
#include "sandbox/media/PhotoPainter.h"
#include "sandbox/service/ServiceContext.h"
#include "sandbox/world/World.h"

namespace tovrin {
namespace {

using test::SandboxTest;

// A photo as the client sends it: JPEG at quality 0.5.
QByteArray jpeg(const QImage& image) {
    return imaging::JPEGRepresentation(image, 0.5);
}

// A drawn photo with a red square at (500, 100), 200 points wide.
QImage photoWithRedSquare() {
    QImage image = sandbox::PhotoPainter::snapshot(7, {800, 600});
    QPainter(&image).fillRect(QRect(500, 100, 200, 200), Qt::red);
    return image;
}

QImage blankPhoto() {
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(QColor(128, 128, 128));
    return image;
}

class PhotoEndpointsTest : public SandboxTest {
protected:
    sandbox::SandboxOptions options() const override {
        sandbox::SandboxOptions options = SandboxTest::options();
        options.dailyProfilePhotoLimit = 3;
        return options;
    }

    Promise<QJsonValue> upload(const QImage& image, URLQueryItems items) {
        return sendSignedIn(
            TovrinUploadRequest::POSTRequestWithPath("/v3/me/pics", items, jpeg(image), "image/jpeg"));
    }

    // "thumbCoords" as the client writes it: maximum y, minimum x, maximum x, minimum y.
    Promise<QJsonValue> uploadProfilePhoto(const QImage& image, const QRect& square) {
        const QString coordinates = QStringLiteral("%1,%2,%3,%4")
                                        .arg(square.y() + square.height())
                                        .arg(square.x())
                                        .arg(square.x() + square.width())
                                        .arg(square.y());
        return upload(image, {{"type", "profile"}, {"thumbCoords", coordinates}});
    }

    // The rendition's status and image.
    std::pair<int, QImage> rendition(const QString& path, const QString& hash) {
        const QUrl url = sandbox->mediaURL().resolved(QUrl("/" + path + "/" + hash));
        Promise<net::DataTaskResponse> response = rawSession->dataTaskPromise(net::URLRequest(url));
        EXPECT_TRUE(test::waitFor(response, test::sandboxPatience));
        if (!response.isFulfilled()) return {0, {}};
        return {response.value()->response.statusCode(), QImage::fromData(response.value()->data)};
    }

    QJsonArray systemMessages() {
        return answerOf(
                   sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/systemMessages", std::nullopt)))
            .value("systemMessages")
            .toArray();
    }

    QJsonObject memberState(const QString& profileID) {
        return admin("GET", "/admin/members/" + profileID).second;
    }
};

TEST_F(PhotoEndpointsTest, AChatPhotoIsUploadedToTheUploadHostAndServedInEveryRendition) {
    const test::SignedInMember demo = signInAsDemoMember();
    const QString hash =
        answerOf(upload(photoWithRedSquare(), {{"type", "chat"}})).value("mediaHash").toString();
    ASSERT_FALSE(hash.isEmpty());
    struct Case {
        const char* path;
        QSize size;
    };
    for (const Case& c : {Case{"images/thumb/320x320", {320, 320}}, Case{"images/thumb/187x187", {187, 187}},
                          Case{"images/profile/1024x1024", {800, 600}}, Case{"tovrin/chat", {800, 600}}}) {
        const auto [status, image] = rendition(c.path, hash);
        EXPECT_EQ(status, 200) << c.path;
        EXPECT_EQ(image.size(), c.size) << c.path;
    }
    const auto [missingStatus, missingImage] = rendition("images/thumb/320x320", "unknown");
    EXPECT_EQ(missingStatus, 404);
    EXPECT_TRUE(missingImage.isNull());

    // The chat-photo registration: upload host, no body, "application/json".
    EXPECT_TRUE(
        answerOf(sendSignedIn(TovrinUploadRequest::POSTRequestWithPath(
                     "/v3/me/prefs/chat-pix/" + hash, std::nullopt, std::nullopt, "application/json")))
            .isEmpty());
    const QJsonObject chatPix =
        answerOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/me/prefs", std::nullopt)))
            .value("chatPix")
            .toObject();
    QStringList listed;
    for (const QJsonValue& entry : chatPix) listed << entry.toObject().value("mediaHash").toString();
    // Behind the member's seeded chat photos.
    EXPECT_EQ(listed.size(), sandbox->context()->world->member(demo.profileID)->chatPhotos.size());
    EXPECT_TRUE(listed.contains(hash));
    EXPECT_EQ(errorCodeOf(sendSignedIn(TovrinUploadRequest::POSTRequestWithPath(
                  "/v3/me/prefs/chat-pix/unknown", std::nullopt, std::nullopt, "application/json"))),
              TovrinServiceErrorGeneric);
}

TEST_F(PhotoEndpointsTest, UploadsThatAreNotAPhotoOfAKnownKindAreRefused) {
    signInAsDemoMember();
    const QByteArray photo = jpeg(photoWithRedSquare());
    struct Case {
        const char* name;
        std::shared_ptr<TovrinRequest> request;
    };
    const Case cases[] = {
        {"no type",
         TovrinUploadRequest::POSTRequestWithPath("/v3/me/pics", std::nullopt, photo, "image/jpeg")},
        {"another type", TovrinUploadRequest::POSTRequestWithPath(
                             "/v3/me/pics", URLQueryItems{{"type", "cover"}}, photo, "image/jpeg")},
        {"not a JPEG", TovrinUploadRequest::POSTRequestWithPath(
                           "/v3/me/pics", URLQueryItems{{"type", "chat"}}, "not a photo", "image/jpeg")},
        {"another content type", TovrinUploadRequest::POSTRequestWithPath(
                                     "/v3/me/pics", URLQueryItems{{"type", "chat"}}, photo, "image/png")},
        // Uploads belong to the upload host; the web host does not know them.
        {"on the web host",
         TovrinAPIRequest::POSTRequestWithPath("/v3/me/pics", URLQueryItems{{"type", "chat"}}, std::nullopt)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(errorCodeOf(sendSignedIn(c.request)), TovrinServiceErrorGeneric) << c.name;
}

TEST_F(PhotoEndpointsTest, AProfilePhotoShowsItsSquareAndAwaitsTheModeratorsDecision) {
    const test::SignedInMember demo = signInAsDemoMember();
    const QString before = memberState(demo.profileID).value("mediaHash").toString();
    const QString approved = answerOf(uploadProfilePhoto(photoWithRedSquare(), QRect(500, 100, 200, 200)))
                                 .value("mediaHash")
                                 .toString();
    const QString rejected =
        answerOf(uploadProfilePhoto(photoWithRedSquare().mirrored(), QRect(0, 0, 300, 300)))
            .value("mediaHash")
            .toString();
    const QImage thumbnail = rendition("images/thumb/187x187", approved).second;
    EXPECT_GT(qRed(thumbnail.pixel(93, 93)), 200);
    EXPECT_LT(qGreen(thumbnail.pixel(93, 93)), 60);
    EXPECT_EQ(memberState(demo.profileID).value("photosAwaitingModeration").toArray().size(), 2);
    EXPECT_EQ(memberState(demo.profileID).value("mediaHash"), before);

    EXPECT_EQ(admin("POST", "/admin/photos/" + approved + "/approve").first, 200);
    EXPECT_EQ(admin("POST", "/admin/photos/" + rejected + "/reject").first, 200);
    EXPECT_EQ(admin("POST", "/admin/photos/" + rejected + "/reject").first, 404);
    const QJsonArray notices = systemMessages();
    ASSERT_EQ(notices.size(), 2);
    EXPECT_EQ(notices[0].toObject().value("type"), "ProfileImageAvailable");
    EXPECT_EQ(notices[0].toObject().value("mediaHash"), approved);
    EXPECT_EQ(notices[1].toObject().value("type"), "ProfileImageRejected");
    EXPECT_EQ(notices[1].toObject().value("mediaHash"), rejected);
    EXPECT_EQ(memberState(demo.profileID).value("mediaHash"), approved);
}

TEST_F(PhotoEndpointsTest, ADailyLimitHoldsForProfilePhotosOnly) {
    signInAsDemoMember();
    for (int count = 0; count < options().dailyProfilePhotoLimit; ++count)
        answerOf(uploadProfilePhoto(photoWithRedSquare(), QRect(0, 0, 100, 100)));
    EXPECT_EQ(errorCodeOf(uploadProfilePhoto(photoWithRedSquare(), QRect(0, 0, 100, 100))),
              TovrinServiceErrorDailyPhotoUploadLimitReached);
    answerOf(upload(photoWithRedSquare(), {{"type", "chat"}}));
}

class AutomaticModerationTest : public PhotoEndpointsTest {
protected:
    sandbox::SandboxOptions options() const override {
        sandbox::SandboxOptions options = PhotoEndpointsTest::options();
        options.moderationDelay = 0;
        return options;
    }
};

TEST_F(AutomaticModerationTest, ABlankPhotoIsRejectedAndAnyOtherApproved) {
    const test::SignedInMember demo = signInAsDemoMember();
    const QString blank =
        answerOf(uploadProfilePhoto(blankPhoto(), QRect(0, 0, 480, 480))).value("mediaHash").toString();
    const QString portrait =
        answerOf(uploadProfilePhoto(sandbox::PhotoPainter::portrait(3), QRect(0, 0, 720, 720)))
            .value("mediaHash")
            .toString();
    ASSERT_TRUE(test::runUntil(
        [&] { return memberState(demo.profileID).value("pendingSystemMessages").toArray().size() == 2; },
        test::sandboxPatience));
    QMap<QString, QString> decisions;
    for (const QJsonValue& notice : systemMessages())
        decisions.insert(notice.toObject().value("mediaHash").toString(),
                         notice.toObject().value("type").toString());
    EXPECT_EQ(decisions.value(blank), "ProfileImageRejected");
    EXPECT_EQ(decisions.value(portrait), "ProfileImageAvailable");
}

}  // namespace
}  // namespace tovrin
