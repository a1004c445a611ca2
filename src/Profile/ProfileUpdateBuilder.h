#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>
#include <vector>

#include "Profile/ProfileUpdate.h"

namespace tovrin {

// The body of a profile save. The service's contract: "showAge" a JSON boolean, "showDistance" the
// integer 1 or 0, "displayName" and "aboutMe" left out when absent, a missing single option, height
// or weight JSON null, code arrays and "socialNetworks" empty when there are none.
class ProfileUpdateBuilder {
public:
    explicit ProfileUpdateBuilder(const ProfileUpdate& profileUpdate);

    const QJsonObject& parameters() const { return parameters_; }
    void setParameters(QJsonObject parameters) { parameters_ = std::move(parameters); }

    void setDisplayName(const std::optional<QString>& displayName);
    void setAboutMe(const std::optional<QString>& aboutMe);
    void setAge(qint64 age);
    void setShowAge(bool showAge);
    void setShowDistance(qint64 showDistance);
    void setEthnicity(const std::optional<ManagedField>& ethnicity);
    void setLookingFor(const std::vector<ManagedField>& lookingFor);
    void setRelationshipStatus(const std::optional<ManagedField>& relationshipStatus);
    void setTovrinTribes(const std::vector<ManagedField>& tribes);
    void setBodyType(const std::optional<ManagedField>& bodyType);
    void setHeight(std::optional<double> heightInCm);
    void setWeight(std::optional<double> weightInGrams);
    void setSocialNetworks(const std::vector<SocialNetwork>& socialNetworks);

    QJsonObject profileUpdateJSONParameters() const { return parameters_; }

    static QJsonValue codeFromManagedField(const std::optional<ManagedField>& field);
    void setValuesFromManagedFieldsArray(const std::vector<ManagedField>& fields, const QString& paramKey);
    // One member per network, {"userId": …}; a later handle of a type replaces an earlier one. A
    // handle without a user id has nothing to send and is left out.
    static QJsonObject serializeSocialNetworks(const std::vector<SocialNetwork>& socialNetworks);
    static QString nameForSocialNetwork(const SocialNetwork& socialNetwork);

private:
    void setText(const QString& key, const std::optional<QString>& text);

    QJsonObject parameters_;
};

}  // namespace tovrin
