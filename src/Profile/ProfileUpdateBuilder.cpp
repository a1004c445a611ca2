#include "Profile/ProfileUpdateBuilder.h"

#include <QJsonArray>

#include "Categories/Collection+NilTolerance.h"

namespace tovrin {

ProfileUpdateBuilder::ProfileUpdateBuilder(const ProfileUpdate& profileUpdate) {
    setDisplayName(profileUpdate.displayName());
    setAboutMe(profileUpdate.aboutMe());
    setAge(profileUpdate.age());
    setShowAge(profileUpdate.showAge());
    setShowDistance(profileUpdate.showDistance() ? 1 : 0);
    setEthnicity(profileUpdate.ethnicity());
    setLookingFor(profileUpdate.lookingFor());
    setRelationshipStatus(profileUpdate.relationshipStatus());
    setTovrinTribes(profileUpdate.tribes());
    setBodyType(profileUpdate.bodyType());
    setHeight(profileUpdate.heightInCm());
    setWeight(profileUpdate.weightInGrams());
    setSocialNetworks(profileUpdate.socialNetworks());
}

void ProfileUpdateBuilder::setText(const QString& key, const std::optional<QString>& text) {
    if (text) {
        parameters_.insert(key, *text);
    } else {
        parameters_.remove(key);
    }
}

void ProfileUpdateBuilder::setDisplayName(const std::optional<QString>& displayName) {
    setText(QStringLiteral("displayName"), displayName);
}

void ProfileUpdateBuilder::setAboutMe(const std::optional<QString>& aboutMe) {
    setText(QStringLiteral("aboutMe"), aboutMe);
}

void ProfileUpdateBuilder::setAge(qint64 age) {
    parameters_.insert(QStringLiteral("age"), age);
}

void ProfileUpdateBuilder::setShowAge(bool showAge) {
    parameters_.insert(QStringLiteral("showAge"), showAge);
}

void ProfileUpdateBuilder::setShowDistance(qint64 showDistance) {
    parameters_.insert(QStringLiteral("showDistance"), showDistance);
}

void ProfileUpdateBuilder::setEthnicity(const std::optional<ManagedField>& ethnicity) {
    parameters_.insert(QStringLiteral("ethnicity"), codeFromManagedField(ethnicity));
}

void ProfileUpdateBuilder::setLookingFor(const std::vector<ManagedField>& lookingFor) {
    setValuesFromManagedFieldsArray(lookingFor, QStringLiteral("lookingFor"));
}

void ProfileUpdateBuilder::setRelationshipStatus(const std::optional<ManagedField>& relationshipStatus) {
    parameters_.insert(QStringLiteral("relationshipStatus"), codeFromManagedField(relationshipStatus));
}

void ProfileUpdateBuilder::setTovrinTribes(const std::vector<ManagedField>& tribes) {
    setValuesFromManagedFieldsArray(tribes, QStringLiteral("tovrinTribes"));
}

void ProfileUpdateBuilder::setBodyType(const std::optional<ManagedField>& bodyType) {
    parameters_.insert(QStringLiteral("bodyType"), codeFromManagedField(bodyType));
}

void ProfileUpdateBuilder::setHeight(std::optional<double> heightInCm) {
    parameters_.insert(QStringLiteral("height"), objectOrNSNull(heightInCm));
}

void ProfileUpdateBuilder::setWeight(std::optional<double> weightInGrams) {
    parameters_.insert(QStringLiteral("weight"), objectOrNSNull(weightInGrams));
}

void ProfileUpdateBuilder::setSocialNetworks(const std::vector<SocialNetwork>& socialNetworks) {
    parameters_.insert(QStringLiteral("socialNetworks"), serializeSocialNetworks(socialNetworks));
}

QJsonValue ProfileUpdateBuilder::codeFromManagedField(const std::optional<ManagedField>& field) {
    if (!field) return QJsonValue(QJsonValue::Null);
    return field->code();
}

void ProfileUpdateBuilder::setValuesFromManagedFieldsArray(const std::vector<ManagedField>& fields,
                                                           const QString& paramKey) {
    QJsonArray codes;
    for (const ManagedField& field : fields) codes.append(field.code());
    parameters_.insert(paramKey, codes);
}

QJsonObject ProfileUpdateBuilder::serializeSocialNetworks(const std::vector<SocialNetwork>& socialNetworks) {
    QJsonObject networks;
    for (const SocialNetwork& network : socialNetworks) {
        if (!network.userID()) continue;
        networks.insert(nameForSocialNetwork(network),
                        QJsonObject{{QStringLiteral("userId"), *network.userID()}});
    }
    return networks;
}

QString ProfileUpdateBuilder::nameForSocialNetwork(const SocialNetwork& socialNetwork) {
    return wireNameForSocialNetworkType(socialNetwork.type());
}

}  // namespace tovrin
