#include "sandbox/world/ProfileJSON.h"

#include <QJsonArray>
#include <cmath>

#include "sandbox/world/Geohash.h"

namespace tovrin::sandbox {

namespace {

template <class T>
QJsonValue valueOrNull(const std::optional<T>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue textOrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonArray codes(const QList<int>& values) {
    QJsonArray array;
    for (int value : values) array.append(value);
    return array;
}

QJsonObject socialNetworks(const QMap<QString, QString>& networks) {
    QJsonObject object;
    for (auto network = networks.cbegin(); network != networks.cend(); ++network) {
        object.insert(network.key(), QJsonObject{{"userId", network.value()}});
    }
    return object;
}

}  // namespace

QJsonObject ProfileJSON::nearbyUser(const Member& member, const Member& viewer, Date now) {
    const bool isOwn = member.profileID == viewer.profileID;
    // The members the sandbox runs are always there.
    const Date lastSeen = member.isAnswering ? now : member.lastSeen;
    const QJsonValue age =
        member.showAge || isOwn ? QJsonValue(member.age(now)) : QJsonValue(QJsonValue::Null);
    const QJsonValue distance =
        member.showDistance && !isOwn
            ? QJsonValue(std::round(Geohash::distance(viewer.position, member.position)))
            : QJsonValue(QJsonValue::Null);
    return {
        {"profileId", member.profileID.toLongLong()},
        {"displayName", member.displayName},
        {"profileImageMediaHash", textOrNull(member.mediaHash)},
        {"age", age},
        {"seen", std::round(lastSeen.millisecondsSince1970())},
        {"distance", distance},
        {"isFavorite", viewer.favorites.contains(member.profileID)},
    };
}

QJsonObject ProfileJSON::fullProfile(const Member& member, const Member& viewer, Date now) {
    QJsonObject profile = nearbyUser(member, viewer, now);
    profile.insert("aboutMe", textOrNull(member.aboutMe));
    profile.insert("showAge", member.showAge);
    profile.insert("showDistance", member.showDistance);
    profile.insert("height", valueOrNull(member.heightInCm));
    profile.insert("weight", valueOrNull(member.weightInGrams));
    profile.insert("bodyType", valueOrNull(member.bodyType));
    profile.insert("ethnicity", valueOrNull(member.ethnicity));
    profile.insert("relationshipStatus", valueOrNull(member.relationshipStatus));
    profile.insert("lookingFor", codes(member.lookingFor));
    profile.insert("tovrinTribes", codes(member.tribes));
    profile.insert("socialNetworks", socialNetworks(member.socialNetworks));
    return profile;
}

}  // namespace tovrin::sandbox
