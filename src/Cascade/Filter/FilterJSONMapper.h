#pragma once

#include <QJsonObject>
#include <memory>

#include "Cascade/Filter/Filter.h"

namespace tovrin {

// The stored "Filter" object: {"name": "My Type", "photoOnly": {"enabled"}, "age", "weight" and
// "height": {"enabled", "min", "max"}, "tovrinTribes", "bodyType", "ethnicity", "lookingFor" and
// "relationshipStatus": {"enabled", "ids"}}. Stateless; safe on any thread.
class FilterJSONMapper {
public:
    virtual ~FilterJSONMapper() = default;

    QJsonObject JSONDictionaryWithFilter(const Filter& filter) const;
    // Always a complete filter: a missing option reads as switched off, open and empty.
    std::shared_ptr<Filter> filterWithJSONDictionary(const QJsonObject& dictionary) const;

    QJsonObject dictionaryFromToggleFilter(const ToggleFilterOption& option) const;
    QJsonObject dictionaryFromMinMaxFilter(const MinMaxFilterOption& option) const;
    QJsonObject dictionaryFromOptionsFilter(const OptionsFilterOption& option) const;
    ToggleFilterOption toggleFilterFromDictionary(const QJsonValue& dictionary) const;
    MinMaxFilterOption minMaxFilterFromDictionary(const QJsonValue& dictionary) const;
    OptionsFilterOption optionsFilterFromDictionary(const QJsonValue& dictionary) const;
};

}  // namespace tovrin
