#pragma once

#include <QJsonValue>
#include <QUrl>
#include <memory>

#include "API/TovrinRequest.h"
#include "platform/di/Inject.h"
#include "platform/net/URLRequest.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class HTTPHeaderFurnisher;
class TovrinService;
class URLService;

// Turns a request record into a URL request on the base address of its service type and sends it
// through its JSON web client. This one serves the calls made while no member is signed in: API
// requests only.
class TovrinEndpoint : public std::enable_shared_from_this<TovrinEndpoint> {
public:
    TovrinEndpoint(std::shared_ptr<URLService> urlService, std::shared_ptr<TovrinService> tovrinService,
                   std::shared_ptr<HTTPHeaderFurnisher> httpHeaderFurnisher);
    virtual ~TovrinEndpoint() = default;

    using Dependencies = Inject<URLService, TovrinService, HTTPHeaderFurnisher>;

    // The decoded JSON, or the base address's failure (nothing is sent then), or the client's.
    Promise<QJsonValue> JSONWithRequest(std::shared_ptr<const TovrinRequest> request);

protected:
    // Stops the process for a type this endpoint does not serve.
    virtual Promise<QUrl> urlPromiseForServiceType(TovrinRequestType serviceType);

private:
    // The record on the base address: its path replaces the base's, its query items the base's query
    // (no list removes it, an empty list leaves an empty one); then body and headers.
    net::URLRequest URLRequestWithBaseURL(const QUrl& baseURL, const TovrinRequest& request) const;

    std::shared_ptr<URLService> urlService_;
    std::shared_ptr<TovrinService> tovrinService_;
    std::shared_ptr<HTTPHeaderFurnisher> httpHeaderFurnisher_;
};

}  // namespace tovrin
