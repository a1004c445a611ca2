#include "Profile/ManagedFieldsService.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cmath>
#include <limits>

#include "API/TovrinAPIRequest.h"
#include "API/TovrinEndpoint.h"
#include "API/TovrinServiceError.h"
#include "Categories/Collection+NilTolerance.h"
#include "Throttling/TovrinWebAPIThrottler.h"

namespace tovrin {

std::optional<qint32> managedFieldCodeWithJSONValue(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const double whole = std::trunc(value.toDouble());
    if (!(whole >= double(std::numeric_limits<qint32>::min()) &&
          whole <= double(std::numeric_limits<qint32>::max())))
        return std::nullopt;
    return qint32(whole);
}

std::optional<ManagedFieldsDictionary> ManagedFieldsService::managedFieldsDictionaryWithJSON(
    const QJsonValue& answer) {
    const std::optional<QJsonValue> fields = objectOrNilForKey(answer.toObject(), QStringLiteral("fields"));
    if (!fields || !fields->isObject()) return std::nullopt;
    ManagedFieldsDictionary dictionary;
    const QJsonObject lists = fields->toObject();
    for (auto list = lists.begin(); list != lists.end(); ++list) {
        // A list that is not one is as good as not named: its codes read as "Other".
        if (!list.value().isArray()) continue;
        std::vector<ManagedField>& options = dictionary[list.key()];
        for (const QJsonValue& entry : list.value().toArray()) {
            if (!entry.isObject()) continue;
            const QJsonObject option = entry.toObject();
            std::optional<QString> name;
            if (const auto value = objectOrNilForKey(option, QStringLiteral("name"));
                value && value->isString())
                name = value->toString();
            options.emplace_back(
                managedFieldCodeWithJSONValue(option.value(QStringLiteral("fieldId"))).value_or(0),
                std::move(name));
        }
    }
    return dictionary;
}

Promise<ManagedFieldsDictionary> ManagedFieldsService::fetchManagedFieldDefinitions() {
    return JSONWithRequest(
               TovrinAPIRequest::GETRequestWithPath(QStringLiteral("/v3/managed-fields"), std::nullopt))
        .then([](const QJsonValue& answer) {
            if (auto dictionary = managedFieldsDictionaryWithJSON(answer))
                return Promise<ManagedFieldsDictionary>::resolved(std::move(*dictionary));
            return Promise<ManagedFieldsDictionary>::rejected(
                tovrinServiceError(TovrinServiceErrorDataNotReadable));
        });
}

}  // namespace tovrin
