#pragma once

#include "API/TovrinEndpoint.h"
#include "platform/di/Inject.h"

namespace tovrin {

class AuthenticatedTovrinService;
class AuthenticatedURLService;
class SessionGeneration;

// The endpoint of every call of a signed-in member: API and upload requests on the addresses of
// the member's bootstrap answer, sent through the signed-in client. A request still waiting for the
// bootstrap answer when another session begins fails with 10 and is not sent.
class AuthenticatedTovrinEndpoint : public TovrinEndpoint {
public:
    AuthenticatedTovrinEndpoint(std::shared_ptr<URLService> urlService,
                                std::shared_ptr<AuthenticatedTovrinService> tovrinService,
                                std::shared_ptr<HTTPHeaderFurnisher> httpHeaderFurnisher,
                                std::shared_ptr<AuthenticatedURLService> authenticatedURLService,
                                std::shared_ptr<SessionGeneration> sessionGeneration);

    using Dependencies = Inject<URLService, AuthenticatedTovrinService, HTTPHeaderFurnisher,
                                AuthenticatedURLService, SessionGeneration>;

protected:
    Promise<QUrl> urlPromiseForServiceType(TovrinRequestType serviceType) override;

private:
    std::shared_ptr<AuthenticatedURLService> authenticatedURLService_;
    std::shared_ptr<SessionGeneration> sessionGeneration_;
};

}  // namespace tovrin
