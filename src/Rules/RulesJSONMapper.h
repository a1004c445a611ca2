#pragma once

#include <QJsonObject>
#include <memory>

#include "Rules/ConfigurationRules.h"

namespace tovrin {

// The JSON form of the rules, the same in the bootstrap answer and in the local store:
// {"serverTime": milliseconds since 1970 or null, "app": {"maxCascadePages"}}. Stateless.
class RulesJSONMapper {
public:
    virtual ~RulesJSONMapper() = default;

    // Never fails: missing or mistyped members read as no time and no pages.
    std::shared_ptr<ConfigurationRules> configurationRulesWithJSONDictionary(
        const QJsonObject& dictionary) const;
    QJsonObject JSONDictionaryWithConfigurationRules(const ConfigurationRules& rules) const;
};

}  // namespace tovrin
