#include "Profile/DeleteProfileService.h"

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinAPIRequest.h"
#include "Throttling/TovrinWebAPIThrottler.h"

namespace tovrin {

Promise<QJsonValue> DeleteProfileService::deleteProfile() {
    return JSONWithRequest(TovrinAPIRequest::DELETERequestWithPath(QStringLiteral("/v3/me/profile"),
                                                                   std::nullopt, std::nullopt));
}

}  // namespace tovrin
