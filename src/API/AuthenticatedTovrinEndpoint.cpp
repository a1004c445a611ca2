#include "API/AuthenticatedTovrinEndpoint.h"

#include "API/AuthenticatedTovrinService.h"
#include "API/AuthenticatedURLService.h"
#include "API/HTTPHeaderFurnisher.h"
#include "API/TovrinServiceError.h"
#include "API/URLService.h"
#include "Authentication/UserSession.h"

namespace tovrin {

AuthenticatedTovrinEndpoint::AuthenticatedTovrinEndpoint(
    std::shared_ptr<URLService> urlService, std::shared_ptr<AuthenticatedTovrinService> tovrinService,
    std::shared_ptr<HTTPHeaderFurnisher> httpHeaderFurnisher,
    std::shared_ptr<AuthenticatedURLService> authenticatedURLService)
    : TovrinEndpoint(std::move(urlService), std::move(tovrinService), std::move(httpHeaderFurnisher)),
      authenticatedURLService_(std::move(authenticatedURLService)) {}

Promise<QUrl> AuthenticatedTovrinEndpoint::urlPromiseForServiceType(TovrinRequestType serviceType) {
    Promise<QUrl> baseURL;
    if (serviceType == TovrinRequestTypeAPI) {
        baseURL = authenticatedURLService_->URLForAPI();
    } else if (serviceType == TovrinRequestTypeUpload) {
        baseURL = authenticatedURLService_->URLForUpload();
    } else {
        TVR_FATAL("Unhandled TovrinRequestType");
    }
    return baseURL.then([generation = UserSession::currentSessionGeneration()](const QUrl& url) {
        if (generation != UserSession::currentSessionGeneration()) {
            return Promise<QUrl>::rejected(tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
        }
        return Promise<QUrl>::resolved(url);
    });
}

}  // namespace tovrin
