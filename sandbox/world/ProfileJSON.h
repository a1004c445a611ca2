#pragma once

#include <QJsonObject>

#include "platform/foundation/Date.h"
#include "sandbox/world/Member.h"

namespace tovrin::sandbox {

// The JSON forms in which the service shows a member to a viewer (who may be the member).
class ProfileJSON {
public:
    // The grid's record: "profileId" (a number), "displayName", "profileImageMediaHash", "age",
    // "seen" (milliseconds since 1970), "distance" (metres from the viewer) and "isFavorite". Age
    // and distance are null when the member hides them from others; the members the sandbox runs
    // are seen now.
    static QJsonObject nearbyUser(const Member& member, const Member& viewer, Date now);
    // The grid's record with the extended attributes: "aboutMe", "showAge", "showDistance",
    // "height" (cm), "weight" (g), "bodyType", "ethnicity", "relationshipStatus", "lookingFor",
    // "tovrinTribes" and "socialNetworks" ({network: {"userId"}}).
    static QJsonObject fullProfile(const Member& member, const Member& viewer, Date now);
};

}  // namespace tovrin::sandbox
