#include "API/TovrinEndpoint.h"

#include "API/HTTPHeaderFurnisher.h"
#include "API/TovrinBinaryDataRequest.h"
#include "API/TovrinJSONRequest.h"
#include "API/TovrinService.h"
#include "API/URLService.h"

namespace tovrin {

TovrinEndpoint::TovrinEndpoint(std::shared_ptr<URLService> urlService,
                               std::shared_ptr<TovrinService> tovrinService,
                               std::shared_ptr<HTTPHeaderFurnisher> httpHeaderFurnisher)
    : urlService_(std::move(urlService)),
      tovrinService_(std::move(tovrinService)),
      httpHeaderFurnisher_(std::move(httpHeaderFurnisher)) {}

Promise<QJsonValue> TovrinEndpoint::JSONWithRequest(std::shared_ptr<const TovrinRequest> request) {
    return urlPromiseForServiceType(request->serviceType())
        .then([self = shared_from_this(), request](const QUrl& baseURL) {
            return self->tovrinService_->JSONWithURLRequest(self->URLRequestWithBaseURL(baseURL, *request));
        });
}

Promise<QUrl> TovrinEndpoint::urlPromiseForServiceType(TovrinRequestType serviceType) {
    TVR_ASSERT(serviceType == TovrinRequestTypeAPI, "Unhandled TovrinRequestType");
    return urlService_->URLForAPI();
}

net::URLRequest TovrinEndpoint::URLRequestWithBaseURL(const QUrl& baseURL,
                                                      const TovrinRequest& request) const {
    QUrl url = URLBySettingQueryItems(baseURL, request.queryItems());
    // Percent-encoded: a value placed in the path is one segment of it (URLPathSegment).
    url.setPath(request.path(), QUrl::TolerantMode);
    net::URLRequest urlRequest(url);
    urlRequest.setHTTPMethod(request.HTTPMethod());

    std::optional<QString> contentType;
    if (const auto* jsonRequest = dynamic_cast<const TovrinJSONRequest*>(&request)) {
        urlRequest.setHTTPBody(TovrinService::dataFromJSON(jsonRequest->jsonBody()));
        if (jsonRequest->jsonBody()) contentType = jsonContentTypeHeaderValue;
    } else if (const auto* dataRequest = dynamic_cast<const TovrinBinaryDataRequest*>(&request)) {
        urlRequest.setHTTPBody(dataRequest->data());
        contentType = dataRequest->contentType();
    }
    return httpHeaderFurnisher_->furnishURLRequest(urlRequest, contentType);
}

}  // namespace tovrin
