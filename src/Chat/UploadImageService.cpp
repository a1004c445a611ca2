#include "Chat/UploadImageService.h"

#include <QJsonObject>
#include <cmath>

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinServiceError.h"
#include "API/TovrinUploadRequest.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "platform/foundation/URLPathSegment.h"
#include "platform/imaging/ImageEncoding.h"

namespace tovrin {

namespace {

const QString picsPath = QStringLiteral("/v3/me/pics");
const QString chatPixPath = QStringLiteral("/v3/me/prefs/chat-pix");

}  // namespace

Promise<QString> UploadImageService::uploadChatImage(const QImage& image) {
    return uploadAndArchiveImageWith(image, {{QStringLiteral("type"), QStringLiteral("chat")}});
}

Promise<QString> UploadImageService::uploadProfileImage(const QImage& image,
                                                        const QRectF& thumbnailCoordinates) {
    return uploadImageWith(image,
                           {{QStringLiteral("type"), QStringLiteral("profile")},
                            {QStringLiteral("thumbCoords"), thumbnailCoordinatesText(thumbnailCoordinates)}});
}

// The editor hands single-precision values; the sums are made in that precision, as it sees them.
QString UploadImageService::thumbnailCoordinatesText(const QRectF& rectangle) {
    const float x = float(rectangle.x());
    const float y = float(rectangle.y());
    const float width = float(rectangle.width());
    const float height = float(rectangle.height());
    auto rounded = [](float value) { return qint64(std::lround(double(value))); };
    return QStringLiteral("%1,%2,%3,%4")
        .arg(rounded(y + height))
        .arg(rounded(x))
        .arg(rounded(x + width))
        .arg(rounded(y));
}

Promise<QString> UploadImageService::uploadAndArchiveImageWith(const QImage& image,
                                                               const URLQueryItems& otherParameters) {
    return uploadImageWith(image, otherParameters)
        .then([self = shared_from_this()](const QString& mediaHash) {
            self->uploadArchiveImageWithMediaHash(mediaHash);
            return mediaHash;
        });
}

Promise<QString> UploadImageService::uploadImageWith(const QImage& image,
                                                     const URLQueryItems& otherParameters) {
    const QByteArray jpeg = imaging::JPEGRepresentation(image, 0.5);
    if (jpeg.isEmpty())
        return Promise<QString>::rejected(tovrinServiceError(TovrinServiceErrorDataNotReadable));
    return JSONWithRequest(TovrinUploadRequest::POSTRequestWithPath(picsPath, otherParameters, jpeg,
                                                                    QStringLiteral("image/jpeg")))
        .then([](const QJsonValue& answer) {
            const QJsonValue mediaHash = answer.toObject().value(QStringLiteral("mediaHash"));
            if (!mediaHash.isString() || mediaHash.toString().isEmpty())
                return Promise<QString>::rejected(tovrinServiceError(TovrinServiceErrorDataNotReadable));
            return Promise<QString>::resolved(mediaHash.toString());
        });
}

Promise<QJsonValue> UploadImageService::uploadArchiveImageWithMediaHash(const QString& mediaHash) {
    const std::optional<QString> path = URLPathByAppendingSegment(chatPixPath, mediaHash);
    if (!path) return Promise<QJsonValue>::rejected(tovrinServiceError(TovrinServiceErrorGeneric));
    return JSONWithRequest(TovrinUploadRequest::POSTRequestWithPath(*path, std::nullopt, std::nullopt,
                                                                    QStringLiteral("application/json")));
}

}  // namespace tovrin
