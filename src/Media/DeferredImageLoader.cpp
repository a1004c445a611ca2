#include "Media/DeferredImageLoader.h"

#include "API/TovrinService.h"
#include "API/TovrinServiceError.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/imaging/ImageDecoding.h"
#include "platform/net/URLSession.h"

namespace tovrin {

DeferredImageLoader::DeferredImageLoader(std::shared_ptr<net::URLSession> urlSession,
                                         std::shared_ptr<NotificationCenter> notificationCenter,
                                         std::shared_ptr<OperationQueue> mainQueue)
    : urlSession_(std::move(urlSession)),
      notificationCenter_(std::move(notificationCenter)),
      mainQueue_(std::move(mainQueue)) {}

Promise<QImage> DeferredImageLoader::imageAtURL(const QUrl& url) {
    TVR_ASSERT(MainQueue::isMainThread(), "Images are loaded on the main thread");
    const auto deferred = Deferred<QImage>::make();
    if (url.isEmpty() || !url.isValid()) {
        deferred.resolver.reject(tovrinServiceError(TovrinServiceErrorMissingMediaHash));
    } else if (!tryAndResolveCachedImageAtURL(url, deferred.resolver)) {
        loadFromNetwork(url, deferred.resolver);
    }
    return deferred.promise;
}

bool DeferredImageLoader::tryAndResolveCachedImageAtURL(const QUrl& url, const Resolver<QImage>& resolver) {
    const std::shared_ptr<net::URLCache>& cache = urlSession_->configuration().URLCache;
    if (!cache) return false;
    const std::optional<net::CachedURLResponse> cached =
        cache->cachedResponseForRequest(net::URLRequest(url));
    if (!cached || cached->data.isEmpty()) return false;
    mainQueue_->addOperation([resolver, data = cached->data] { settle(resolver, data, std::nullopt); });
    return true;
}

// The continuations hold what they need, not the loader nor the session.
void DeferredImageLoader::loadFromNetwork(const QUrl& url, const Resolver<QImage>& resolver) {
    mainQueue_->addOperation(
        [center = notificationCenter_] { center->post(HTTPActivityDidBeginNotification); });
    urlSession_->dataTaskPromise(net::URLRequest(url))
        .thenOn(mainQueue_,
                [center = notificationCenter_, resolver](const net::DataTaskResponse& response) {
                    center->post(HTTPActivityDidEndNotification);
                    settle(resolver, response.data, std::nullopt);
                })
        .catchOn(mainQueue_, [center = notificationCenter_, resolver](const Error& error) {
            center->post(HTTPActivityDidEndNotification);
            settle(resolver, QByteArray(), error);
        });
}

void DeferredImageLoader::settle(const Resolver<QImage>& resolver, const QByteArray& data,
                                 const std::optional<Error>& networkError) {
    std::optional<Error> mediaServiceError;
    const QImage image = imageWithNetworkData(data, networkError, mediaServiceError);
    if (mediaServiceError) {
        resolver.reject(*mediaServiceError);
    } else {
        resolver.fulfill(image);
    }
}

QImage DeferredImageLoader::imageWithNetworkData(const QByteArray& data,
                                                 const std::optional<Error>& networkError,
                                                 std::optional<Error>& mediaServiceError) {
    mediaServiceError = processNetworkError(networkError);
    if (mediaServiceError) return {};
    return processedImageFromData(data, mediaServiceError);
}

std::optional<Error> DeferredImageLoader::processNetworkError(const std::optional<Error>& networkError) {
    if (!networkError) return std::nullopt;
    return tovrinServiceError(TovrinServiceErrorGeneric);
}

QImage DeferredImageLoader::processedImageFromData(const QByteArray& data,
                                                   std::optional<Error>& mediaServiceError) {
    QImage image = imaging::imageWithData(data);
    mediaServiceError =
        image.isNull() ? std::optional(tovrinServiceError(TovrinServiceErrorDataNotReadable)) : std::nullopt;
    return image;
}

}  // namespace tovrin
