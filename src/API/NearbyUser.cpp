#include "API/NearbyUser.h"

namespace tovrin {

NearbyUser::NearbyUser(QString profileID, std::optional<QString> displayName,
                       std::optional<QString> mediaHash, std::optional<qint64> age,
                       std::optional<Date> lastSeen, std::optional<double> distance, bool isFavorite,
                       bool isOnline)
    : profileID_(std::move(profileID)),
      displayName_(displayName.value_or(QStringLiteral(""))),
      mediaHash_(std::move(mediaHash)),
      age_(age),
      lastSeen_(lastSeen),
      distance_(distance),
      favorite_(isFavorite),
      online_(isOnline) {}

std::shared_ptr<NearbyUser> NearbyUser::copyWithMediaHash(std::optional<QString> mediaHash) const {
    return std::make_shared<NearbyUser>(profileID_, displayName_, std::move(mediaHash), age_, lastSeen_,
                                        distance_, favorite_, online_);
}

}  // namespace tovrin
