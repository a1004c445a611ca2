#include "platform/net/URLCache.h"

#include <QDir>
#include <QNetworkDiskCache>
#include <QNetworkRequest>

#include "platform/foundation/FileManager.h"

namespace tovrin::net {

namespace {

int statusCode(const QNetworkCacheMetaData& metaData) {
    return metaData.attributes().value(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

bool hasEmptyBody(QNetworkDiskCache& cache, const QUrl& url) {
    const std::unique_ptr<QIODevice> body(cache.data(url));
    return !body || body->atEnd();
}

// What a network manager sees of the cache: only 200 answers go in (an error page kept there would
// be served instead of the photo for good), and an empty body never comes out.
class SessionNetworkCache : public QAbstractNetworkCache {
public:
    SessionNetworkCache(std::shared_ptr<QNetworkDiskCache> disk, bool servesAnswersOfAnyAge)
        : disk_(std::move(disk)), servesAnswersOfAnyAge_(servesAnswersOfAnyAge) {}

    QNetworkCacheMetaData metaData(const QUrl& url) override {
        QNetworkCacheMetaData metaData = disk_->metaData(url);
        if (!metaData.isValid() || hasEmptyBody(*disk_, url)) return {};
        // The network manager serves only fresh answers, whatever the request prefers.
        if (servesAnswersOfAnyAge_) metaData.setExpirationDate(QDateTime::currentDateTimeUtc().addYears(1));
        return metaData;
    }
    void updateMetaData(const QNetworkCacheMetaData& metaData) override { disk_->updateMetaData(metaData); }
    QIODevice* data(const QUrl& url) override { return disk_->data(url); }
    bool remove(const QUrl& url) override { return disk_->remove(url); }
    qint64 cacheSize() const override { return disk_->cacheSize(); }
    QIODevice* prepare(const QNetworkCacheMetaData& metaData) override {
        if (statusCode(metaData) != 200) return nullptr;
        return disk_->prepare(metaData);
    }
    void insert(QIODevice* device) override { disk_->insert(device); }
    void clear() override { disk_->clear(); }

private:
    std::shared_ptr<QNetworkDiskCache> disk_;
    bool servesAnswersOfAnyAge_;
};

}  // namespace

URLCache::URLCache(const QString& directory, qint64 diskCapacity)
    : disk_(std::make_shared<QNetworkDiskCache>()) {
    // Photos of other members: an answer kept by an older version may still be open to others.
    const FileManager& files = FileManager::defaultManager();
    files.createDirectory(directory, true);
    files.restrictToOwner(directory);
    disk_->setCacheDirectory(directory);
    disk_->setMaximumCacheSize(diskCapacity);
}

URLCache::~URLCache() = default;

std::optional<CachedURLResponse> URLCache::cachedResponseForRequest(const URLRequest& request) const {
    const QNetworkCacheMetaData metaData = disk_->metaData(request.URL());
    if (!metaData.isValid()) return std::nullopt;
    const std::unique_ptr<QIODevice> body(disk_->data(request.URL()));
    if (!body) return std::nullopt;
    HTTPHeaderFields fields;
    for (const auto& [name, value] : metaData.rawHeaders()) {
        fields.append({QString::fromLatin1(name), QString::fromLatin1(value)});
    }
    return CachedURLResponse{HTTPURLResponse(metaData.url(), statusCode(metaData), fields), body->readAll()};
}

void URLCache::storeCachedResponse(const CachedURLResponse& cachedResponse, const URLRequest& request) {
    QNetworkCacheMetaData metaData;
    metaData.setUrl(request.URL());
    QNetworkCacheMetaData::RawHeaderList headers;
    for (const auto& [name, value] : cachedResponse.response.allHeaderFields()) {
        headers.append({name.toLatin1(), value.toLatin1()});
    }
    metaData.setRawHeaders(headers);
    metaData.setAttributes(
        {{QNetworkRequest::HttpStatusCodeAttribute, cachedResponse.response.statusCode()}});
    metaData.setSaveToDisk(true);
    QIODevice* device = disk_->prepare(metaData);
    if (!device) return;
    device->write(cachedResponse.data);
    disk_->insert(device);
}

void URLCache::removeCachedResponseForRequest(const URLRequest& request) {
    disk_->remove(request.URL());
}

void URLCache::removeAllCachedResponses() {
    disk_->clear();
}

QString URLCache::directory() const {
    return QDir::cleanPath(disk_->cacheDirectory());
}

qint64 URLCache::diskCapacity() const {
    return disk_->maximumCacheSize();
}

qint64 URLCache::currentDiskUsage() const {
    return disk_->cacheSize();
}

QAbstractNetworkCache* URLCache::makeNetworkCache(bool servesAnswersOfAnyAge) const {
    return new SessionNetworkCache(disk_, servesAnswersOfAnyAge);
}

}  // namespace tovrin::net
