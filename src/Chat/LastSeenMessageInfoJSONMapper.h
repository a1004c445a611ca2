#pragma once

#include <QJsonObject>
#include <memory>

#include "Chat/LastSeenMessageInfo.h"

namespace tovrin {

// The stored form {"sentDate": milliseconds since 1970 with any fraction, or null without a date,
// "messageID"}. Stateless.
class LastSeenMessageInfoJSONMapper {
public:
    virtual ~LastSeenMessageInfoJSONMapper() = default;

    QJsonObject JSONDictionaryWithLastSeenMessageInfo(const LastSeenMessageInfo& info) const;
    // The date is cut to the whole millisecond; a missing or null date reads as none, and a null
    // or non-text id as no id.
    std::shared_ptr<LastSeenMessageInfo> lastSeenMessageInfoWithJSONDictionary(
        const QJsonObject& dictionary) const;
};

}  // namespace tovrin
