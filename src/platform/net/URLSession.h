#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

#include "platform/net/HTTPURLResponse.h"
#include "platform/net/Reachability.h"
#include "platform/net/URLCache.h"
#include "platform/net/URLRequest.h"
#include "platform/promise/Promise.h"

namespace tovrin::net {

enum class URLRequestCachePolicy {
    // HTTP's own rules: a kept answer only while its headers say it is fresh.
    UseProtocolCachePolicy,
    // A cached answer when there is one, however old; the network otherwise.
    ReturnCacheDataElseLoad,
};

struct URLSessionConfiguration {
    // Seconds without any data, in either direction, after which a request fails as timed out.
    double timeoutIntervalForRequest = 60;
    // A PEM file of further certificate authorities to trust besides the system's; empty for none.
    QString additionalTrustedCAFile;
    URLRequestCachePolicy requestCachePolicy = URLRequestCachePolicy::UseProtocolCachePolicy;
    // Where answers are kept; none keeps nothing.
    std::shared_ptr<net::URLCache> URLCache;
};

// An HTTP answer of any status, with its body.
struct DataTaskResponse {
    HTTPURLResponse response;
    QByteArray data;
};

// HTTP(S) over Qt Network, shaped like the phone platform's URL session. Every request that gets
// an answer fulfils with it, whatever its status: redirects are not followed and authentication
// challenges are not answered, so a 302 or a 401 reaches the caller as it came. Only a request
// without an answer fails, with an error of `URLErrorDomain` (see `URLErrorMapping`). Used on the
// main thread; promises settle on the main queue.
class URLSession {
public:
    URLSession(URLSessionConfiguration configuration, std::shared_ptr<Reachability> reachability);
    virtual ~URLSession();
    URLSession(const URLSession&) = delete;
    URLSession& operator=(const URLSession&) = delete;

    virtual Promise<DataTaskResponse> dataTaskPromise(const URLRequest& request);

    const URLSessionConfiguration& configuration() const;

private:
    struct Private;
    std::unique_ptr<Private> d_;
};

}  // namespace tovrin::net
