#include "Cascade/Filter/FilterJSONMapper.h"

#include <QJsonArray>

#include "Categories/Collection+NilTolerance.h"

namespace tovrin {

namespace {

const QString kEnabled = QStringLiteral("enabled");
const QString kMin = QStringLiteral("min");
const QString kMax = QStringLiteral("max");
const QString kIDs = QStringLiteral("ids");

std::optional<double> bound(const QJsonObject& option, const QString& key) {
    const auto value = objectOrNilForKey(option, key);
    if (!value || !value->isDouble()) return std::nullopt;
    return value->toDouble();
}

}  // namespace

QJsonObject FilterJSONMapper::JSONDictionaryWithFilter(const Filter& filter) const {
    return {
        {QStringLiteral("name"), QStringLiteral("My Type")},
        {QStringLiteral("photoOnly"), dictionaryFromToggleFilter(filter.photosOnly())},
        {QStringLiteral("age"), dictionaryFromMinMaxFilter(filter.age())},
        {QStringLiteral("weight"), dictionaryFromMinMaxFilter(filter.weight())},
        {QStringLiteral("height"), dictionaryFromMinMaxFilter(filter.height())},
        {QStringLiteral("tovrinTribes"), dictionaryFromOptionsFilter(filter.tribes())},
        {QStringLiteral("bodyType"), dictionaryFromOptionsFilter(filter.bodyTypes())},
        {QStringLiteral("ethnicity"), dictionaryFromOptionsFilter(filter.ethnicities())},
        {QStringLiteral("lookingFor"), dictionaryFromOptionsFilter(filter.lookingFors())},
        {QStringLiteral("relationshipStatus"), dictionaryFromOptionsFilter(filter.relationshipStatuses())},
    };
}

std::shared_ptr<Filter> FilterJSONMapper::filterWithJSONDictionary(const QJsonObject& dictionary) const {
    return std::make_shared<Filter>(
        toggleFilterFromDictionary(dictionary.value(QStringLiteral("photoOnly"))),
        minMaxFilterFromDictionary(dictionary.value(QStringLiteral("age"))),
        minMaxFilterFromDictionary(dictionary.value(QStringLiteral("weight"))),
        minMaxFilterFromDictionary(dictionary.value(QStringLiteral("height"))),
        optionsFilterFromDictionary(dictionary.value(QStringLiteral("tovrinTribes"))),
        optionsFilterFromDictionary(dictionary.value(QStringLiteral("bodyType"))),
        optionsFilterFromDictionary(dictionary.value(QStringLiteral("ethnicity"))),
        optionsFilterFromDictionary(dictionary.value(QStringLiteral("lookingFor"))),
        optionsFilterFromDictionary(dictionary.value(QStringLiteral("relationshipStatus"))));
}

QJsonObject FilterJSONMapper::dictionaryFromToggleFilter(const ToggleFilterOption& option) const {
    return {{kEnabled, option.isEnabled()}};
}

QJsonObject FilterJSONMapper::dictionaryFromMinMaxFilter(const MinMaxFilterOption& option) const {
    return {{kEnabled, option.isEnabled()},
            {kMin, objectOrNSNull(option.min())},
            {kMax, objectOrNSNull(option.max())}};
}

QJsonObject FilterJSONMapper::dictionaryFromOptionsFilter(const OptionsFilterOption& option) const {
    QJsonArray ids;
    for (qint64 code : option.options()) ids.append(code);
    return {{kEnabled, option.isEnabled()}, {kIDs, ids}};
}

ToggleFilterOption FilterJSONMapper::toggleFilterFromDictionary(const QJsonValue& dictionary) const {
    return ToggleFilterOption(dictionary.toObject().value(kEnabled).toBool(false));
}

MinMaxFilterOption FilterJSONMapper::minMaxFilterFromDictionary(const QJsonValue& dictionary) const {
    const QJsonObject option = dictionary.toObject();
    return MinMaxFilterOption(option.value(kEnabled).toBool(false), bound(option, kMin), bound(option, kMax));
}

OptionsFilterOption FilterJSONMapper::optionsFilterFromDictionary(const QJsonValue& dictionary) const {
    const QJsonObject option = dictionary.toObject();
    std::vector<qint64> codes;
    for (const QJsonValue& code : option.value(kIDs).toArray()) {
        if (code.isDouble()) codes.push_back(code.toInteger());
    }
    return OptionsFilterOption(option.value(kEnabled).toBool(false), std::move(codes));
}

}  // namespace tovrin
