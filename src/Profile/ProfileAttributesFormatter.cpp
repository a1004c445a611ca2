#include "Profile/ProfileAttributesFormatter.h"

#include "Units/UnitConverter.h"

namespace tovrin {

ProfileAttributesFormatter::ProfileAttributesFormatter(
    std::shared_ptr<const ExtendedProfileAttributes> profileAttributes,
    std::shared_ptr<NearbyUser> nearbyUser, std::optional<QString> defaultValue,
    std::shared_ptr<UnitConverter> unitConverter)
    : profileAttributes_(std::move(profileAttributes)),
      nearbyUser_(std::move(nearbyUser)),
      defaultValue_(std::move(defaultValue)),
      unitConverter_(std::move(unitConverter)) {}

std::optional<QString> ProfileAttributesFormatter::aboutMe() const {
    if (!profileAttributes_ || !profileAttributes_->aboutMe()) return std::nullopt;
    const QString trimmed = profileAttributes_->aboutMe()->trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    return trimmed;
}

// The number goes through single precision on its way to the converter, as the screens have always
// shown it.
std::optional<QString> ProfileAttributesFormatter::height() const {
    if (!profileAttributes_ || !profileAttributes_->heightInCm()) return defaultValue_;
    if (!unitConverter_) return std::nullopt;
    return unitConverter_->heightStringFromCentimeters(double(float(*profileAttributes_->heightInCm())));
}

std::optional<QString> ProfileAttributesFormatter::weight() const {
    if (!profileAttributes_ || !profileAttributes_->weightInGrams()) return defaultValue_;
    if (!unitConverter_) return std::nullopt;
    return unitConverter_->weightStringFromGrams(double(float(*profileAttributes_->weightInGrams())));
}

std::optional<QString> ProfileAttributesFormatter::bodyType() const {
    return valueOrDefault(profileAttributes_ ? textOfField(profileAttributes_->bodyType()) : std::nullopt);
}

std::optional<QString> ProfileAttributesFormatter::ethnicity() const {
    return valueOrDefault(profileAttributes_ ? textOfField(profileAttributes_->ethnicity()) : std::nullopt);
}

std::optional<QString> ProfileAttributesFormatter::relationshipStatus() const {
    return valueOrDefault(profileAttributes_ ? textOfField(profileAttributes_->relationshipStatus())
                                             : std::nullopt);
}

std::optional<QString> ProfileAttributesFormatter::lookingFor() const {
    return stringForArrayOfManagedFields(profileAttributes_ ? profileAttributes_->lookingFor()
                                                            : std::nullopt);
}

std::optional<QString> ProfileAttributesFormatter::tribes() const {
    return stringForArrayOfManagedFields(profileAttributes_ ? profileAttributes_->tribes() : std::nullopt);
}

std::optional<QString> ProfileAttributesFormatter::stringForArrayOfManagedFields(
    const std::optional<std::vector<ManagedField>>& fields) const {
    QStringList texts;
    if (fields) {
        for (const ManagedField& field : *fields)
            texts.append(field.localizedStringRepresentation().value_or(QString()));
    }
    const QString joined = texts.join(QStringLiteral(", "));
    if (joined.isEmpty()) return defaultValue_;
    return joined;
}

std::optional<QString> ProfileAttributesFormatter::textOfField(
    const std::optional<ManagedField>& field) const {
    if (!field) return std::nullopt;
    return field->localizedStringRepresentation();
}

}  // namespace tovrin
