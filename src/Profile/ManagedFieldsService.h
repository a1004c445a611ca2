#pragma once

#include <QJsonValue>
#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "Profile/ManagedField.h"
#include "Throttling/ThrottledService.h"
#include "platform/di/Inject.h"

namespace tovrin {

class TovrinEndpoint;
class TovrinWebAPIThrottler;

// The option lists by key ("bodyType", …), each in display order.
using ManagedFieldsDictionary = std::map<QString, std::vector<ManagedField>>;

// An option code as the service sends it: a number, its whole part when that fits a code. Anything
// else (null, a text, a fraction beyond the range) is no code.
std::optional<qint32> managedFieldCodeWithJSONValue(const QJsonValue& value);

// Fetches the option lists. Sent without the member's session: the lists load at launch, before
// anyone has signed in.
class ManagedFieldsService : public ThrottledService {
public:
    using ThrottledService::ThrottledService;

    using Dependencies = Inject<TovrinEndpoint, TovrinWebAPIThrottler>;

    // GET "/v3/managed-fields": the lists of the answer's "fields", exactly those it names. An
    // answer whose "fields" is missing or no object fails with 9, so that one bad answer cannot
    // empty every list; in a list, an entry that is no object is skipped, a missing or unreadable
    // "fieldId" is code 0 and a missing "name" no text.
    Promise<ManagedFieldsDictionary> fetchManagedFieldDefinitions();

    static std::optional<ManagedFieldsDictionary> managedFieldsDictionaryWithJSON(const QJsonValue& answer);
};

}  // namespace tovrin
