#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "Profile/ManagedField.h"
#include "Profile/SocialNetwork.h"

namespace tovrin {

// Everything of a member's profile beyond the grid record. Every value may be absent. Never changes
// once made; held by `shared_ptr`.
class ExtendedProfileAttributes {
public:
    ExtendedProfileAttributes(std::optional<QString> aboutMe, std::optional<bool> showAge,
                              std::optional<bool> showDistance, std::optional<double> heightInCm,
                              std::optional<double> weightInGrams, std::optional<ManagedField> bodyType,
                              std::optional<ManagedField> ethnicity,
                              std::optional<ManagedField> relationshipStatus,
                              std::optional<std::vector<ManagedField>> lookingFor,
                              std::optional<std::vector<ManagedField>> tribes,
                              std::optional<std::vector<SocialNetwork>> socialNetworks)
        : aboutMe_(std::move(aboutMe)),
          showAge_(showAge),
          showDistance_(showDistance),
          heightInCm_(heightInCm),
          weightInGrams_(weightInGrams),
          bodyType_(std::move(bodyType)),
          ethnicity_(std::move(ethnicity)),
          relationshipStatus_(std::move(relationshipStatus)),
          lookingFor_(std::move(lookingFor)),
          tribes_(std::move(tribes)),
          socialNetworks_(std::move(socialNetworks)) {}

    // As received, not trimmed.
    const std::optional<QString>& aboutMe() const { return aboutMe_; }
    std::optional<bool> showAge() const { return showAge_; }
    std::optional<bool> showDistance() const { return showDistance_; }
    std::optional<double> heightInCm() const { return heightInCm_; }
    std::optional<double> weightInGrams() const { return weightInGrams_; }
    const std::optional<ManagedField>& bodyType() const { return bodyType_; }
    const std::optional<ManagedField>& ethnicity() const { return ethnicity_; }
    const std::optional<ManagedField>& relationshipStatus() const { return relationshipStatus_; }
    // In the order received.
    const std::optional<std::vector<ManagedField>>& lookingFor() const { return lookingFor_; }
    const std::optional<std::vector<ManagedField>>& tribes() const { return tribes_; }
    // As read from the service: never absent, sorted by type.
    const std::optional<std::vector<SocialNetwork>>& socialNetworks() const { return socialNetworks_; }

private:
    std::optional<QString> aboutMe_;
    std::optional<bool> showAge_;
    std::optional<bool> showDistance_;
    std::optional<double> heightInCm_;
    std::optional<double> weightInGrams_;
    std::optional<ManagedField> bodyType_;
    std::optional<ManagedField> ethnicity_;
    std::optional<ManagedField> relationshipStatus_;
    std::optional<std::vector<ManagedField>> lookingFor_;
    std::optional<std::vector<ManagedField>> tribes_;
    std::optional<std::vector<SocialNetwork>> socialNetworks_;
};

}  // namespace tovrin
