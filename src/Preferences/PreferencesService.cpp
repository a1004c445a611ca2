#include "Preferences/PreferencesService.h"

#include <QJsonObject>

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinAPIRequest.h"
#include "Preferences/PreferencesJSONMapper.h"
#include "Throttling/TovrinWebAPIThrottler.h"

namespace tovrin {

PreferencesService::PreferencesService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint,
                                       std::shared_ptr<Throttler> throttler,
                                       std::shared_ptr<PreferencesJSONMapper> preferencesJSONMapper)
    : ThrottledService(std::move(tovrinEndpoint), std::move(throttler)),
      preferencesJSONMapper_(std::move(preferencesJSONMapper)) {}

Promise<Preferences> PreferencesService::retrievePreferences() {
    return JSONWithRequest(TovrinAPIRequest::GETRequestWithPath(QStringLiteral("/v3/me/prefs"), std::nullopt))
        .then([mapper = preferencesJSONMapper_](const QJsonValue& answer) {
            return mapper->preferencesWithJSONDictionary(answer.toObject());
        });
}

}  // namespace tovrin
