#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

#include "platform/net/HTTPURLResponse.h"
#include "platform/net/URLRequest.h"

class QAbstractNetworkCache;
class QNetworkDiskCache;

namespace tovrin::net {

// An answer kept by a URL cache, with its body.
struct CachedURLResponse {
    HTTPURLResponse response;
    QByteArray data;
};

// The answers to GET requests, kept on disk in a folder of their own, keyed by address. A session
// configured with it stores the 200 answers it receives there and, when its policy says so, answers
// from it. An answer with an empty body is kept but never served to a session: the next request for
// the address goes to the network. Main thread only.
class URLCache {
public:
    // The folder is created when missing; it and everything in it are made owner-only. Beyond the
    // capacity (bytes), the oldest answers go.
    URLCache(const QString& directory, qint64 diskCapacity);
    ~URLCache();
    URLCache(const URLCache&) = delete;
    URLCache& operator=(const URLCache&) = delete;

    std::optional<CachedURLResponse> cachedResponseForRequest(const URLRequest& request) const;
    void storeCachedResponse(const CachedURLResponse& cachedResponse, const URLRequest& request);
    void removeCachedResponseForRequest(const URLRequest& request);
    void removeAllCachedResponses();

    QString directory() const;
    qint64 diskCapacity() const;
    qint64 currentDiskUsage() const;

private:
    friend class URLSession;
    // A cache object for one network manager, which owns it; it works on this cache's storage.
    // Answers of any age are served when asked, or only those still fresh by their headers.
    QAbstractNetworkCache* makeNetworkCache(bool servesAnswersOfAnyAge) const;

    std::shared_ptr<QNetworkDiskCache> disk_;
};

}  // namespace tovrin::net
