#pragma once

#include <QImage>
#include <QJsonValue>
#include <QRectF>
#include <QString>
#include <memory>

#include "Throttling/ThrottledService.h"
#include "platform/di/Inject.h"
#include "platform/foundation/URLQueryItem.h"

namespace tovrin {

class AuthenticatedTovrinEndpoint;
class TovrinWebAPIThrottler;

// The member's photo uploads to the upload host, and the registration of chat photos among the
// member's server-side preferences. Every call, of whatever kind, counts under the one throttling
// key of this class. An answer without a string "mediaHash" fails with 9, and a photo that cannot be
// made into a JPEG fails with 9 before anything is sent: an empty hash must never travel on.
class UploadImageService : public ThrottledService, public std::enable_shared_from_this<UploadImageService> {
public:
    using ThrottledService::ThrottledService;

    using Dependencies = Inject<AuthenticatedTovrinEndpoint, TovrinWebAPIThrottler>;

    // "type" = "chat"; once the upload answered, the photo is registered as a chat photo without
    // waiting for it (its failure is ignored). The registration goes out also when the caller let go
    // of the service meanwhile, so the service must be held by a shared pointer.
    Promise<QString> uploadChatImage(const QImage& image);
    // "type" = "profile" and "thumbCoords" (the square's maximum y, minimum x, maximum x and minimum
    // y, rounded half away from zero); no registration.
    Promise<QString> uploadProfileImage(const QImage& image, const QRectF& thumbnailCoordinates);

    Promise<QString> uploadAndArchiveImageWith(const QImage& image, const URLQueryItems& otherParameters);
    // POST "/v3/me/pics" with the photo as JPEG at quality 0.5.
    Promise<QString> uploadImageWith(const QImage& image, const URLQueryItems& otherParameters);
    // POST "/v3/me/prefs/chat-pix/<hash>" with no body. A hash that cannot be one segment of the
    // path (empty, "." or "..") fails with 1 and sends nothing.
    Promise<QJsonValue> uploadArchiveImageWithMediaHash(const QString& mediaHash);

    static QString thumbnailCoordinatesText(const QRectF& thumbnailCoordinates);
};

}  // namespace tovrin
