#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <optional>

namespace tovrin {

// The networks a member's handles belong to, with their names in the profile's JSON. The option
// list "socialNetworks" numbers them differently; its codes are never these.
enum SocialNetworkType : quint32 {
    SocialNetworkTypeUnknown = 0,
    SocialNetworkTypeTwitter = 1,
    SocialNetworkTypeFacebook = 2,
    SocialNetworkTypeInstagram = 3,
};

// "twitter", "facebook" and "instagram", exactly as written; any other name is unknown.
SocialNetworkType socialNetworkTypeForWireName(const QString& name);
QString wireNameForSocialNetworkType(SocialNetworkType type);

// One handle of a member on a social network. The user id is absent only when the service sent a
// network without one.
class SocialNetwork {
public:
    SocialNetwork(std::optional<QString> userID, SocialNetworkType type)
        : userID_(std::move(userID)), type_(type) {}

    const std::optional<QString>& userID() const { return userID_; }
    void setUserID(std::optional<QString> userID) { userID_ = std::move(userID); }
    SocialNetworkType type() const { return type_; }
    void setType(SocialNetworkType type) { type_ = type; }

    // Letter case counts.
    bool isEqualToSocialNetwork(const SocialNetwork& other) const {
        return userID_ == other.userID_ && type_ == other.type_;
    }
    size_t hash() const;

    friend bool operator==(const SocialNetwork& a, const SocialNetwork& b) {
        return a.isEqualToSocialNetwork(b);
    }

private:
    std::optional<QString> userID_;
    SocialNetworkType type_;
};

inline size_t qHash(const SocialNetwork& network, size_t seed = 0) {
    return network.hash() ^ seed;
}

}  // namespace tovrin

template <>
struct std::hash<tovrin::SocialNetwork> {
    size_t operator()(const tovrin::SocialNetwork& network) const noexcept { return network.hash(); }
};
