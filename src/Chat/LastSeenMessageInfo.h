#pragma once

#include <QString>
#include <optional>

#include "platform/foundation/Date.h"

namespace tovrin {

// The newest message the member has seen in the inbox list.
class LastSeenMessageInfo {
public:
    LastSeenMessageInfo(std::optional<Date> sentDate, std::optional<QString> messageID)
        : sentDate_(sentDate), messageID_(std::move(messageID)) {}

    std::optional<Date> sentDate() const { return sentDate_; }
    const std::optional<QString>& messageID() const { return messageID_; }

private:
    std::optional<Date> sentDate_;
    std::optional<QString> messageID_;
};

}  // namespace tovrin
