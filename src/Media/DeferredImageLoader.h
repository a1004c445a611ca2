#pragma once

#include <QByteArray>
#include <QImage>
#include <QUrl>
#include <memory>
#include <optional>

#include "InjectorKeys.h"
#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class NotificationCenter;
class OperationQueue;

namespace net {
class URLSession;
}

// Loads and decodes one picture over the image session: from the session's cache when it holds a
// non-empty answer for the address, from the network otherwise, with the HTTP-activity
// notifications around each network transfer. Only a decodable body counts: every transport
// failure is 1 and anything that does not decode is 9, whatever the status. Main thread only;
// promises settle on the main queue.
class DeferredImageLoader {
public:
    DeferredImageLoader(std::shared_ptr<net::URLSession> urlSession,
                        std::shared_ptr<NotificationCenter> notificationCenter,
                        std::shared_ptr<OperationQueue> mainQueue);

    using Dependencies =
        Inject<Named<net::URLSession, InjectorKeyImageLoadingURLSession>, NotificationCenter, OperationQueue>;

    // An absent address is rejected with 14 at once; everything else settles in a later turn.
    Promise<QImage> imageAtURL(const QUrl& url);
    // Whether the session's cache held a non-empty answer for the address; the resolver is then
    // settled from it later, on the main queue.
    bool tryAndResolveCachedImageAtURL(const QUrl& url, const Resolver<QImage>& resolver);

    // The picture, or a null image with the service error in `mediaServiceError`.
    static QImage imageWithNetworkData(const QByteArray& data, const std::optional<Error>& networkError,
                                       std::optional<Error>& mediaServiceError);
    static std::optional<Error> processNetworkError(const std::optional<Error>& networkError);
    static QImage processedImageFromData(const QByteArray& data, std::optional<Error>& mediaServiceError);

private:
    void loadFromNetwork(const QUrl& url, const Resolver<QImage>& resolver);
    static void settle(const Resolver<QImage>& resolver, const QByteArray& data,
                       const std::optional<Error>& networkError);

    std::shared_ptr<net::URLSession> urlSession_;
    std::shared_ptr<NotificationCenter> notificationCenter_;
    std::shared_ptr<OperationQueue> mainQueue_;
};

}  // namespace tovrin
