#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "Profile/ManagedField.h"
#include "Profile/SocialNetwork.h"

namespace tovrin {

// Everything the member can set on the own profile, as one save sends it.
class ProfileUpdate {
public:
    ProfileUpdate(std::optional<QString> displayName, std::optional<QString> aboutMe, qint32 age,
                  bool showAge, bool showDistance, std::optional<ManagedField> ethnicity,
                  std::vector<ManagedField> lookingFor, std::optional<ManagedField> relationshipStatus,
                  std::vector<ManagedField> tribes, std::optional<ManagedField> bodyType,
                  std::optional<double> heightInCm, std::optional<double> weightInGrams,
                  std::vector<SocialNetwork> socialNetworks)
        : displayName_(std::move(displayName)),
          aboutMe_(std::move(aboutMe)),
          age_(age),
          showAge_(showAge),
          showDistance_(showDistance),
          ethnicity_(std::move(ethnicity)),
          lookingFor_(std::move(lookingFor)),
          relationshipStatus_(std::move(relationshipStatus)),
          tribes_(std::move(tribes)),
          bodyType_(std::move(bodyType)),
          heightInCm_(heightInCm),
          weightInGrams_(weightInGrams),
          socialNetworks_(std::move(socialNetworks)) {}

    const std::optional<QString>& displayName() const { return displayName_; }
    void setDisplayName(std::optional<QString> value) { displayName_ = std::move(value); }
    const std::optional<QString>& aboutMe() const { return aboutMe_; }
    void setAboutMe(std::optional<QString> value) { aboutMe_ = std::move(value); }
    qint32 age() const { return age_; }
    void setAge(qint32 value) { age_ = value; }
    bool showAge() const { return showAge_; }
    void setShowAge(bool value) { showAge_ = value; }
    bool showDistance() const { return showDistance_; }
    void setShowDistance(bool value) { showDistance_ = value; }
    const std::optional<ManagedField>& ethnicity() const { return ethnicity_; }
    void setEthnicity(std::optional<ManagedField> value) { ethnicity_ = std::move(value); }
    const std::vector<ManagedField>& lookingFor() const { return lookingFor_; }
    void setLookingFor(std::vector<ManagedField> value) { lookingFor_ = std::move(value); }
    const std::optional<ManagedField>& relationshipStatus() const { return relationshipStatus_; }
    void setRelationshipStatus(std::optional<ManagedField> value) { relationshipStatus_ = std::move(value); }
    const std::vector<ManagedField>& tribes() const { return tribes_; }
    void setTribes(std::vector<ManagedField> value) { tribes_ = std::move(value); }
    const std::optional<ManagedField>& bodyType() const { return bodyType_; }
    void setBodyType(std::optional<ManagedField> value) { bodyType_ = std::move(value); }
    std::optional<double> heightInCm() const { return heightInCm_; }
    void setHeightInCm(std::optional<double> value) { heightInCm_ = value; }
    std::optional<double> weightInGrams() const { return weightInGrams_; }
    void setWeightInGrams(std::optional<double> value) { weightInGrams_ = value; }
    const std::vector<SocialNetwork>& socialNetworks() const { return socialNetworks_; }
    void setSocialNetworks(std::vector<SocialNetwork> value) { socialNetworks_ = std::move(value); }

private:
    std::optional<QString> displayName_;
    std::optional<QString> aboutMe_;
    qint32 age_;
    bool showAge_;
    bool showDistance_;
    std::optional<ManagedField> ethnicity_;
    std::vector<ManagedField> lookingFor_;
    std::optional<ManagedField> relationshipStatus_;
    std::vector<ManagedField> tribes_;
    std::optional<ManagedField> bodyType_;
    std::optional<double> heightInCm_;
    std::optional<double> weightInGrams_;
    std::vector<SocialNetwork> socialNetworks_;
};

}  // namespace tovrin
