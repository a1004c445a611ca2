#pragma once

#include <QJsonObject>
#include <memory>

#include "Cascade/Filter/CascadeFilter.h"

namespace tovrin {

// The stored "CascadeFilter" object {"onlineNow", "myType", "favorite"}: three booleans, a missing
// one reading as false. Stateless; safe on any thread.
class CascadeFilterJSONMapper {
public:
    virtual ~CascadeFilterJSONMapper() = default;

    QJsonObject JSONDictionaryWithCascadeFilter(const CascadeFilter& cascadeFilter) const;
    std::shared_ptr<CascadeFilter> cascadeFilterWithJSONDictionary(const QJsonObject& dictionary) const;
};

}  // namespace tovrin
