#include "API/AuthenticatedTovrinEndpoint.h"

#include "API/AuthenticatedTovrinService.h"
#include "API/AuthenticatedURLService.h"
#include "API/HTTPHeaderFurnisher.h"
#include "API/URLService.h"
#include "Authentication/SessionGeneration.h"

namespace tovrin {

AuthenticatedTovrinEndpoint::AuthenticatedTovrinEndpoint(
    std::shared_ptr<URLService> urlService, std::shared_ptr<AuthenticatedTovrinService> tovrinService,
    std::shared_ptr<HTTPHeaderFurnisher> httpHeaderFurnisher,
    std::shared_ptr<AuthenticatedURLService> authenticatedURLService,
    std::shared_ptr<SessionGeneration> sessionGeneration)
    : TovrinEndpoint(std::move(urlService), std::move(tovrinService), std::move(httpHeaderFurnisher)),
      authenticatedURLService_(std::move(authenticatedURLService)),
      sessionGeneration_(std::move(sessionGeneration)) {}

Promise<QUrl> AuthenticatedTovrinEndpoint::urlPromiseForServiceType(TovrinRequestType serviceType) {
    Promise<QUrl> baseURL;
    if (serviceType == TovrinRequestTypeAPI) {
        baseURL = authenticatedURLService_->URLForAPI();
    } else if (serviceType == TovrinRequestTypeUpload) {
        baseURL = authenticatedURLService_->URLForUpload();
    } else {
        TVR_FATAL("Unhandled TovrinRequestType");
    }
    return sessionGeneration_->guard(baseURL);
}

}  // namespace tovrin
