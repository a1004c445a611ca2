#include "Profile/SocialNetwork.h"

namespace tovrin {

SocialNetworkType socialNetworkTypeForWireName(const QString& name) {
    if (name == QLatin1String("twitter")) return SocialNetworkTypeTwitter;
    if (name == QLatin1String("facebook")) return SocialNetworkTypeFacebook;
    if (name == QLatin1String("instagram")) return SocialNetworkTypeInstagram;
    return SocialNetworkTypeUnknown;
}

QString wireNameForSocialNetworkType(SocialNetworkType type) {
    switch (type) {
        case SocialNetworkTypeTwitter:
            return QStringLiteral("twitter");
        case SocialNetworkTypeFacebook:
            return QStringLiteral("facebook");
        case SocialNetworkTypeInstagram:
            return QStringLiteral("instagram");
        case SocialNetworkTypeUnknown:
            break;
    }
    return QStringLiteral("unknown");
}

size_t SocialNetwork::hash() const {
    const size_t userIDHash = userID_ ? qHash(*userID_) : 0;
    return 31u * userIDHash + size_t(type_);
}

}  // namespace tovrin
