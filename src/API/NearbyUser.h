#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "platform/foundation/Date.h"

namespace tovrin {

// Posted on the main thread with the updated user under `NearbyUserInfoKey`.
inline const QString NearbyUserDidUpdateNotification = QStringLiteral("NearbyUserDidUpdateNotification");
inline const QString NearbyUserInfoKey = QStringLiteral("NearbyUserInfoKey");

// Another member (or the member's own tile) as every list shows it. Two records stand for the same
// member when their profile ids are equal; the record has no equality of its own. Only its
// initializer writes it in practice: a changed user is a new record. Held by `shared_ptr`.
class NearbyUser {
public:
    NearbyUser(QString profileID, std::optional<QString> displayName, std::optional<QString> mediaHash,
               std::optional<qint64> age, std::optional<Date> lastSeen, std::optional<double> distance,
               bool isFavorite, bool isOnline);

    // The same member with another photo; the online flag is kept, not recomputed.
    std::shared_ptr<NearbyUser> copyWithMediaHash(std::optional<QString> mediaHash) const;

    const QString& profileID() const { return profileID_; }
    void setProfileID(QString profileID) { profileID_ = std::move(profileID); }
    // Never absent: a missing name is the empty text.
    const QString& displayName() const { return displayName_; }
    void setDisplayName(QString displayName) { displayName_ = std::move(displayName); }
    const std::optional<QString>& mediaHash() const { return mediaHash_; }
    void setMediaHash(std::optional<QString> mediaHash) { mediaHash_ = std::move(mediaHash); }
    std::optional<qint64> age() const { return age_; }  // whole years
    void setAge(std::optional<qint64> age) { age_ = age; }
    std::optional<Date> lastSeen() const { return lastSeen_; }
    void setLastSeen(std::optional<Date> lastSeen) { lastSeen_ = lastSeen; }
    std::optional<double> distance() const { return distance_; }  // metres
    void setDistance(std::optional<double> distance) { distance_ = distance; }
    bool isFavorite() const { return favorite_; }
    void setFavorite(bool favorite) { favorite_ = favorite; }
    // Fixed when the record is made, never recomputed.
    bool isOnline() const { return online_; }
    void setOnline(bool online) { online_ = online; }

private:
    QString profileID_;
    QString displayName_;
    std::optional<QString> mediaHash_;
    std::optional<qint64> age_;
    std::optional<Date> lastSeen_;
    std::optional<double> distance_;
    bool favorite_ = false;
    bool online_ = false;
};

}  // namespace tovrin
