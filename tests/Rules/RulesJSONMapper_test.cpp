#include "Rules/RulesJSONMapper.h"

#include <gtest/gtest.h>

#include "platform/foundation/JSON.h"

namespace tovrin {
namespace {

QJsonObject object(const char* json) {
    return JSON::parse(json)->toObject();
}

TEST(RulesJSONMapper, ReadsTheServerTimeAndThePageLimitAndWritesThemBack) {
    const RulesJSONMapper mapper;
    const QJsonObject json = object(R"({"serverTime": 1500.25, "app": {"maxCascadePages": 5}, "other": 1})");
    const auto rules = mapper.configurationRulesWithJSONDictionary(json);
    EXPECT_EQ(rules->serverTime(), Date(1.50025));
    EXPECT_EQ(rules->app().maxCascadePages(), 5u);
    EXPECT_EQ(mapper.JSONDictionaryWithConfigurationRules(*rules),
              object(R"({"serverTime": 1500.25, "app": {"maxCascadePages": 5}})"));
}

TEST(RulesJSONMapper, AnAbsentServerTimeStaysAbsentBothWays) {
    const RulesJSONMapper mapper;
    for (const char* json : {"{}", R"({"serverTime": null})", R"({"serverTime": "soon"})"}) {
        const auto rules = mapper.configurationRulesWithJSONDictionary(object(json));
        EXPECT_FALSE(rules->serverTime()) << json;
        EXPECT_EQ(rules->app().maxCascadePages(), 0u) << json;
        EXPECT_EQ(mapper.JSONDictionaryWithConfigurationRules(*rules),
                  object(R"({"serverTime": null, "app": {"maxCascadePages": 0}})"));
    }
}

TEST(RulesJSONMapper, AMistypedAppReadsAsNoPages) {
    const RulesJSONMapper mapper;
    for (const char* json : {R"({"app": null})", R"({"app": 3})", R"({"app": {"maxCascadePages": "5"}})",
                             R"({"app": {"maxCascadePages": -2}})"}) {
        EXPECT_EQ(mapper.configurationRulesWithJSONDictionary(object(json))->app().maxCascadePages(), 0u)
            << json;
    }
}

}  // namespace
}  // namespace tovrin
