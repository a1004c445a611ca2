#include "Media/MediaService.h"

#include "API/AuthenticatedURLService.h"
#include "API/TovrinServiceError.h"
#include "Media/DeferredImageLoader.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/URLPathSegment.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/imaging/ImageDrawing.h"
#include "platform/system/Screen.h"

namespace tovrin {

namespace {

const QString LargeThumbnailPath = QStringLiteral("images/thumb/320x320");
const QString SmallThumbnailPath = QStringLiteral("images/thumb/187x187");
const QString ProfileImagePath = QStringLiteral("images/profile/1024x1024");
const QString ChatImagePath = QStringLiteral("tovrin/chat");
constexpr double LargeThumbnailMinimumNativeWidth = 1080;

}  // namespace

MediaService::MediaService(URLServiceProvider urlService,
                           std::shared_ptr<DeferredImageLoader> deferredImageLoader,
                           std::shared_ptr<UserDefaults> userDefaults, std::shared_ptr<Screen> mainScreen)
    : urlService_(std::move(urlService)),
      deferredImageLoader_(std::move(deferredImageLoader)),
      thumbnailCache_(std::make_shared<ImageCache>()),
      userDefaults_(std::move(userDefaults)),
      mainScreen_(std::move(mainScreen)) {
    thumbnailCache_->setTotalCostLimit(ThumbnailCacheTotalCostLimit);
}

// The screen is read on the main thread too.
Promise<QImage> MediaService::thumbnailImageForMediaHash(const std::optional<QString>& mediaHash) {
    if (!MainQueue::isMainThread()) {
        return onMainThread(
            [self = shared_from_this(), mediaHash] { return self->thumbnailImageForMediaHash(mediaHash); });
    }
    return promiseForImageWithMediaHash(mediaHash, preferredThumbnailPathString(), thumbnailCache_);
}

Promise<QImage> MediaService::profileImageForMediaHash(const std::optional<QString>& mediaHash) {
    return promiseForImageWithMediaHash(mediaHash, ProfileImagePath, nullptr);
}

Promise<QImage> MediaService::chatImageForMediaHash(const std::optional<QString>& mediaHash) {
    return promiseForImageWithMediaHash(mediaHash, ChatImagePath, nullptr);
}

QString MediaService::preferredThumbnailPathString() const {
    return mainScreen_->nativeWidth() >= LargeThumbnailMinimumNativeWidth ? LargeThumbnailPath
                                                                          : SmallThumbnailPath;
}

Promise<QImage> MediaService::promiseForImageWithMediaHash(const std::optional<QString>& mediaHash,
                                                           const QString& cdnPathString,
                                                           const std::shared_ptr<ImageCache>& cache) {
    if (!MainQueue::isMainThread()) {
        return onMainThread([self = shared_from_this(), mediaHash, cdnPathString, cache] {
            return self->promiseForImageWithMediaHash(mediaHash, cdnPathString, cache);
        });
    }
    if (!mediaHash || !URLPathSegment(*mediaHash)) {
        return Promise<QImage>::rejected(tovrinServiceError(TovrinServiceErrorMissingMediaHash));
    }
    if (cache) {
        if (const std::optional<QImage> image = cache->objectForKey(*mediaHash)) {
            return Promise<QImage>::resolved(*image);
        }
    }
    const Promise<QImage> image =
        mediaHostURL().then([loader = deferredImageLoader_, mediaHash, cdnPathString](const QUrl& hostURL) {
            return loader->imageAtURL(imageURL(hostURL, cdnPathString, *mediaHash));
        });
    if (cache) {
        image.then([cache, mediaHash = *mediaHash](const QImage& loaded) {
            cache->setObject(loaded, mediaHash, thumbnailCost(loaded));
        });
    }
    return image;
}

Promise<QImage> MediaService::onMainThread(std::function<Promise<QImage>()> work) {
    const auto deferred = Deferred<QImage>::make();
    MainQueue::async([work = std::move(work), resolver = deferred.resolver] { resolver.resolve(work()); });
    return deferred.promise;
}

// A host address without a host is no address: it neither replaces the kept one nor loads.
Promise<QUrl> MediaService::mediaHostURL() {
    const std::shared_ptr<AuthenticatedURLService> urlService = urlService_();
    return urlService->URLForMedia()
        .then([defaults = userDefaults_](const QUrl& hostURL) {
            if (!hostURL.host().isEmpty()) defaults->setURL(hostURL, CachedMediaHostURLKey);
            return hostURL;
        })
        .catchError([defaults = userDefaults_](const Error& error) {
            const QUrl cachedURL = defaults->URLForKey(CachedMediaHostURLKey);
            if (cachedURL.host().isEmpty()) return Promise<QUrl>::rejected(error);
            return Promise<QUrl>::resolved(cachedURL);
        });
}

// The hash is one path segment: a "/", "?", "#" or "%" in it is escaped, never read as part of the
// address.
QUrl MediaService::imageURL(const QUrl& hostURL, const QString& cdnPathString, const QString& mediaHash) {
    if (hostURL.host().isEmpty()) return {};
    QString renditionPath = hostURL.path(QUrl::FullyEncoded);
    if (!renditionPath.endsWith('/')) renditionPath += '/';
    const std::optional<QString> path = URLPathByAppendingSegment(renditionPath + cdnPathString, mediaHash);
    if (!path) return {};
    QUrl url(hostURL);
    url.setPath(*path, QUrl::TolerantMode);
    return url;
}

qint64 MediaService::thumbnailCost(const QImage& image) {
    const QSizeF size = imaging::imageSize(image);
    return qint64(float(size.width()) * float(size.height()) * 4.0f);
}

}  // namespace tovrin
