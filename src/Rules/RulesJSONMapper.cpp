#include "Rules/RulesJSONMapper.h"

#include "Categories/Collection+NilTolerance.h"
#include "Categories/Date+Milliseconds.h"

namespace tovrin {

namespace {

quint32 maxCascadePagesFromApp(const QJsonValue& app) {
    const QJsonValue pages = app.toObject().value(QStringLiteral("maxCascadePages"));
    const double value = pages.toDouble(0);
    if (!(value > 0)) return 0;
    return value >= double(std::numeric_limits<quint32>::max()) ? std::numeric_limits<quint32>::max()
                                                                : quint32(value);
}

}  // namespace

std::shared_ptr<ConfigurationRules> RulesJSONMapper::configurationRulesWithJSONDictionary(
    const QJsonObject& dictionary) const {
    std::optional<Date> serverTime;
    const auto time = objectOrNilForKey(dictionary, QStringLiteral("serverTime"));
    if (time && time->isDouble()) serverTime = tvr_dateWithMillisecondsSince1970(time->toDouble());
    const AppRules app(maxCascadePagesFromApp(dictionary.value(QStringLiteral("app"))));
    return std::make_shared<ConfigurationRules>(serverTime, app);
}

QJsonObject RulesJSONMapper::JSONDictionaryWithConfigurationRules(const ConfigurationRules& rules) const {
    const auto serverTime = rules.serverTime();
    return {
        {QStringLiteral("serverTime"),
         serverTime ? QJsonValue(tvr_millisecondsSince1970(*serverTime)) : QJsonValue()},
        {QStringLiteral("app"),
         QJsonObject{{QStringLiteral("maxCascadePages"), qint64(rules.app().maxCascadePages())}}},
    };
}

}  // namespace tovrin
