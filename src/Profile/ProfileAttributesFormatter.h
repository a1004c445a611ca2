#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "API/NearbyUser.h"
#include "Profile/ExtendedProfileAttributes.h"

namespace tovrin {

class UnitConverter;

// The texts a profile's attributes show: about-me, height and weight in the member's units, and
// the chosen options. A missing value reads as the default value (nothing, when none is given);
// every text is worked out anew from the current attributes.
class ProfileAttributesFormatter {
public:
    ProfileAttributesFormatter(std::shared_ptr<const ExtendedProfileAttributes> profileAttributes,
                               std::shared_ptr<NearbyUser> nearbyUser, std::optional<QString> defaultValue,
                               std::shared_ptr<UnitConverter> unitConverter);

    const std::shared_ptr<const ExtendedProfileAttributes>& profileAttributes() const {
        return profileAttributes_;
    }
    void setProfileAttributes(std::shared_ptr<const ExtendedProfileAttributes> attributes) {
        profileAttributes_ = std::move(attributes);
    }
    // Kept for the screens; no text reads it.
    const std::shared_ptr<NearbyUser>& nearbyUser() const { return nearbyUser_; }
    void setNearbyUser(std::shared_ptr<NearbyUser> user) { nearbyUser_ = std::move(user); }
    const std::optional<QString>& defaultValue() const { return defaultValue_; }
    void setDefaultValue(std::optional<QString> value) { defaultValue_ = std::move(value); }
    const std::shared_ptr<UnitConverter>& unitConverter() const { return unitConverter_; }
    void setUnitConverter(std::shared_ptr<UnitConverter> converter) { unitConverter_ = std::move(converter); }

    // Trimmed of white space and line breaks; nothing when that leaves nothing (never the default).
    std::optional<QString> aboutMe() const;
    std::optional<QString> height() const;
    std::optional<QString> weight() const;
    std::optional<QString> bodyType() const;
    std::optional<QString> ethnicity() const;
    std::optional<QString> relationshipStatus() const;
    std::optional<QString> lookingFor() const;
    std::optional<QString> tribes() const;

    // The texts joined with ", "; the default value when that joins to nothing.
    std::optional<QString> stringForArrayOfManagedFields(
        const std::optional<std::vector<ManagedField>>& fields) const;
    std::optional<QString> valueOrDefault(const std::optional<QString>& value) const {
        return value ? value : defaultValue_;
    }

private:
    std::optional<QString> textOfField(const std::optional<ManagedField>& field) const;

    std::shared_ptr<const ExtendedProfileAttributes> profileAttributes_;
    std::shared_ptr<NearbyUser> nearbyUser_;
    std::optional<QString> defaultValue_;
    std::shared_ptr<UnitConverter> unitConverter_;
};

}  // namespace tovrin
