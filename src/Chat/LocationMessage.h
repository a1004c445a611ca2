#pragma once

#include <optional>

#include "Chat/ArchivableChatMessage.h"
#include "platform/foundation/Coordinate.h"

namespace tovrin {

class LocationMessage : public ArchivableChatMessage {
public:
    LocationMessage(QString messageID, QString senderProfileID, QString targetProfileID, Date sentDate,
                    quint32 status, std::optional<Coordinate> location, bool didReceiveFromXMPP = false)
        : ArchivableChatMessage(std::move(messageID), std::move(senderProfileID), std::move(targetProfileID),
                                sentDate, status, didReceiveFromXMPP),
          location_(location) {}

    const std::optional<Coordinate>& location() const { return location_; }

private:
    std::optional<Coordinate> location_;
};

}  // namespace tovrin
