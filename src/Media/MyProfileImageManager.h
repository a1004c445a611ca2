#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "platform/di/Inject.h"

namespace tovrin {

class LocalPreferences;

// Decides the pending-moderation overlay on the member's own photo: the photo that was public when
// a new one was sent carries it until the service decides.
class MyProfileImageManager {
public:
    // Stands for "the profile had no photo".
    static inline const QString DefaultValue = QStringLiteral("DEFAULT_VALUE");

    explicit MyProfileImageManager(std::shared_ptr<LocalPreferences> localPreferences);

    using Dependencies = Inject<LocalPreferences>;

    void setImageHashPendingModeration(const std::optional<QString>& imageHash);
    void clearModeratedImageHash();
    bool shouldShowOverlayForImageHash(const std::optional<QString>& imageHash) const;

    const std::optional<QString>& currentImageHash() const { return currentImageHash_; }
    void setCurrentImageHash(const std::optional<QString>& imageHash) { currentImageHash_ = imageHash; }

private:
    std::optional<QString> currentImageHash_;
    std::shared_ptr<LocalPreferences> localPreferences_;
};

}  // namespace tovrin
