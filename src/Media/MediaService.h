#pragma once

#include <QImage>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

#include "InjectorKeys.h"
#include "platform/di/Inject.h"
#include "platform/foundation/MemoryCache.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class AuthenticatedURLService;
class DeferredImageLoader;
class Screen;
class UserDefaults;

// Photos by media hash from the media host, in three renditions: the grid thumbnail (kept in a
// memory cache bounded by cost), the large profile photo and the chat photo. The media host comes
// from the bootstrap answer of the member signed in at each call; the last one received is kept in
// the user defaults, so photos still load while the bootstrap call fails. Callable from any thread:
// work off the main thread moves there first. One per process.
class MediaService : public std::enable_shared_from_this<MediaService> {
public:
    // The signed-in URL service of the current session.
    using URLServiceProvider = std::function<std::shared_ptr<AuthenticatedURLService>()>;
    using ImageCache = MemoryCache<QImage>;

    static constexpr qint64 ThumbnailCacheTotalCostLimit = 10485760;
    static inline const QString CachedMediaHostURLKey = QStringLiteral("cachedMediaHostURL");

    MediaService(URLServiceProvider urlService, std::shared_ptr<DeferredImageLoader> deferredImageLoader,
                 std::shared_ptr<UserDefaults> userDefaults, std::shared_ptr<Screen> mainScreen);
    virtual ~MediaService() = default;

    using Dependencies = Inject<Provider<AuthenticatedURLService>, DeferredImageLoader, UserDefaults,
                                Named<Screen, InjectorKeyMainScreen>>;

    // On the main thread, a thumbnail already in the memory cache fulfils the promise before it is
    // returned.
    virtual Promise<QImage> thumbnailImageForMediaHash(const std::optional<QString>& mediaHash);
    virtual Promise<QImage> profileImageForMediaHash(const std::optional<QString>& mediaHash);
    virtual Promise<QImage> chatImageForMediaHash(const std::optional<QString>& mediaHash);

    // 320-pixel thumbnails for screens at least 1080 pixels wide, 187-pixel ones otherwise.
    QString preferredThumbnailPathString() const;

    // A missing hash, or one that cannot be a path segment ("", ".", ".."), is rejected with 14. The image
    // comes from the cache when one is given and holds it; otherwise it is loaded from the media host, under
    // the rendition path and the hash, and a loaded image enters the cache given.
    Promise<QImage> promiseForImageWithMediaHash(const std::optional<QString>& mediaHash,
                                                 const QString& cdnPathString,
                                                 const std::shared_ptr<ImageCache>& cache);

    const std::shared_ptr<ImageCache>& thumbnailCache() const { return thumbnailCache_; }

    // The address of a rendition of a photo; empty when the host address has no host or the hash
    // cannot be a path segment.
    static QUrl imageURL(const QUrl& hostURL, const QString& cdnPathString, const QString& mediaHash);
    // What a thumbnail costs in the memory cache: 4 per point of its size.
    static qint64 thumbnailCost(const QImage& image);

private:
    // Settles as the work's promise, which is made on the main thread, later.
    static Promise<QImage> onMainThread(std::function<Promise<QImage>()> work);
    Promise<QUrl> mediaHostURL();

    URLServiceProvider urlService_;
    std::shared_ptr<DeferredImageLoader> deferredImageLoader_;
    std::shared_ptr<ImageCache> thumbnailCache_;
    std::shared_ptr<UserDefaults> userDefaults_;
    std::shared_ptr<Screen> mainScreen_;
};

}  // namespace tovrin
