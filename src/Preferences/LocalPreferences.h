#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "platform/di/Inject.h"

namespace tovrin {

class UserDefaults;

// The settings that belong to the device rather than the member's account.
class LocalPreferences {
public:
    static inline const QString LocalPreferencesUnitSystem = QStringLiteral("unitSystem");
    static inline const QString LocalPreferencesFavoritesCascadeFilteredByOnlineNow =
        QStringLiteral("favoritesCascadeFilteredByOnlineNow");
    static inline const QString ImageHashPendingModeration = QStringLiteral("imageHashPendingModeration");

    explicit LocalPreferences(std::shared_ptr<UserDefaults> userDefaults);

    using Dependencies = Inject<UserDefaults>;

    // 0 imperial (also when never set), 1 metric.
    quint64 unitSystem() const;
    void setUnitSystem(quint64 unitSystem);
    bool isFavoritesCascadeFilteredByOnlineNow() const;
    void setFavoritesCascadeFilteredByOnlineNow(bool filtered);
    std::optional<QString> imageHashPendingModeration() const;
    // Nothing removes the entry.
    void setImageHashPendingModeration(const std::optional<QString>& hash);

    // At sign-out: the member's flags go; the unit system stays with the device.
    void reset();

private:
    std::shared_ptr<UserDefaults> userDefaults_;
};

}  // namespace tovrin
