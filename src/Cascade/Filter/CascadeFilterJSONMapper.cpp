#include "Cascade/Filter/CascadeFilterJSONMapper.h"

namespace tovrin {

QJsonObject CascadeFilterJSONMapper::JSONDictionaryWithCascadeFilter(
    const CascadeFilter& cascadeFilter) const {
    return {
        {QStringLiteral("onlineNow"), cascadeFilter.onlineNow()},
        {QStringLiteral("myType"), cascadeFilter.myType()},
        {QStringLiteral("favorite"), cascadeFilter.favorite()},
    };
}

std::shared_ptr<CascadeFilter> CascadeFilterJSONMapper::cascadeFilterWithJSONDictionary(
    const QJsonObject& dictionary) const {
    return std::make_shared<CascadeFilter>(dictionary.value(QStringLiteral("onlineNow")).toBool(false),
                                           dictionary.value(QStringLiteral("myType")).toBool(false),
                                           dictionary.value(QStringLiteral("favorite")).toBool(false));
}

}  // namespace tovrin
