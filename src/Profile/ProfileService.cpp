#include "Profile/ProfileService.h"

#include <QJsonArray>
#include <algorithm>

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinAPIRequest.h"
#include "API/TovrinServiceError.h"
#include "Authentication/UserSession.h"
#include "Cascade/NearbyUserJSONMapper.h"
#include "Categories/Collection+NilTolerance.h"
#include "Profile/ManagedFieldsManager.h"
#include "Profile/ProfileUpdate.h"
#include "Profile/ProfileUpdateBuilder.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "platform/foundation/URLPathSegment.h"

namespace tovrin {

namespace {

std::optional<qint32> profileCode(const QJsonObject& dictionary, const QString& key) {
    const auto value = objectOrNilForKey(dictionary, key);
    return value ? managedFieldCodeWithJSONValue(*value) : std::nullopt;
}

std::optional<std::vector<qint32>> profileCodes(const QJsonObject& dictionary, const QString& key) {
    const auto value = objectOrNilForKey(dictionary, key);
    if (!value || !value->isArray()) return std::nullopt;
    std::vector<qint32> codes;
    for (const QJsonValue& element : value->toArray()) {
        if (const auto code = managedFieldCodeWithJSONValue(element)) codes.push_back(*code);
    }
    return codes;
}

std::optional<QString> profileText(const QJsonObject& dictionary, const QString& key) {
    const auto value = objectOrNilForKey(dictionary, key);
    if (!value || !value->isString()) return std::nullopt;
    return value->toString();
}

// A JSON boolean, or a number where anything but 0 is true.
std::optional<bool> profileFlag(const QJsonObject& dictionary, const QString& key) {
    const auto value = objectOrNilForKey(dictionary, key);
    if (!value) return std::nullopt;
    if (value->isBool()) return value->toBool();
    if (value->isDouble()) return value->toDouble() != 0;
    return std::nullopt;
}

std::optional<double> profileNumber(const QJsonObject& dictionary, const QString& key) {
    const auto value = objectOrNilForKey(dictionary, key);
    if (!value || !value->isDouble()) return std::nullopt;
    return value->toDouble();
}

}  // namespace

ProfileService::ProfileService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint,
                               std::shared_ptr<Throttler> throttler,
                               std::shared_ptr<NearbyUserJSONMapper> nearbyUserJSONMapper)
    : ThrottledService(std::move(tovrinEndpoint), std::move(throttler)),
      nearbyUserJSONMapper_(std::move(nearbyUserJSONMapper)) {}

Promise<std::shared_ptr<FullProfile>> ProfileService::fullProfileForID(const QString& profileID) {
    // An id that is no segment would reach another endpoint with the member's token: nothing is sent.
    const std::optional<QString> path = URLPathByAppendingSegment(QStringLiteral("/v3/profiles"), profileID);
    if (!path)
        return Promise<std::shared_ptr<FullProfile>>::rejected(tovrinServiceError(TovrinServiceErrorGeneric));
    return JSONWithRequest(TovrinAPIRequest::GETRequestWithPath(*path, std::nullopt))
        .then([mapper = nearbyUserJSONMapper_](const QJsonValue& answer) {
            using Result = Promise<std::shared_ptr<FullProfile>>;
            const auto profiles = objectOrNilForKey(answer.toObject(), QStringLiteral("profiles"));
            if (!profiles || !profiles->isArray() || profiles->toArray().isEmpty() || !mapper)
                return Result::rejected(tovrinServiceError(TovrinServiceErrorProfileNotFound));
            const QJsonObject profile = profiles->toArray().first().toObject();
            std::shared_ptr<NearbyUser> user = mapper->nearbyUserWithJSONDictionary(profile);
            if (!user) return Result::rejected(tovrinServiceError(TovrinServiceErrorProfileNotFound));
            return Result::resolved(std::make_shared<FullProfile>(
                std::move(user), extendedProfileAttributesWithJSONDictionary(profile)));
        });
}

Promise<void> ProfileService::updateCurrentProfile(const ProfileUpdate& profileUpdate) {
    const QJsonObject body = ProfileUpdateBuilder(profileUpdate).profileUpdateJSONParameters();
    return JSONWithRequest(
               TovrinAPIRequest::PUTRequestWithPath(QStringLiteral("/v3/me/profile"), std::nullopt, body))
        .then([](const QJsonValue&) {});
}

std::shared_ptr<ExtendedProfileAttributes> ProfileService::extendedProfileAttributesWithJSONDictionary(
    const QJsonObject& dictionary) {
    const std::shared_ptr<UserSession> session = UserSession::sharedSession();
    const std::shared_ptr<ManagedFieldsManager> manager = session ? session->managedFieldsManager() : nullptr;
    std::optional<ManagedField> bodyType, ethnicity, relationshipStatus;
    std::optional<std::vector<ManagedField>> lookingFor, tribes;
    if (manager) {
        bodyType = manager->bodyTypeForCode(profileCode(dictionary, QStringLiteral("bodyType")));
        ethnicity = manager->ethnicityNameForCode(profileCode(dictionary, QStringLiteral("ethnicity")));
        relationshipStatus = manager->relationshipStatusNameForCode(
            profileCode(dictionary, QStringLiteral("relationshipStatus")));
        lookingFor = manager->lookingForNamesForCodes(profileCodes(dictionary, QStringLiteral("lookingFor")));
        tribes = manager->tribeNamesForCodes(profileCodes(dictionary, QStringLiteral("tovrinTribes")));
    }
    return std::make_shared<ExtendedProfileAttributes>(
        profileText(dictionary, QStringLiteral("aboutMe")),
        profileFlag(dictionary, QStringLiteral("showAge")),
        profileFlag(dictionary, QStringLiteral("showDistance")),
        profileNumber(dictionary, QStringLiteral("height")),
        profileNumber(dictionary, QStringLiteral("weight")), std::move(bodyType), std::move(ethnicity),
        std::move(relationshipStatus), std::move(lookingFor), std::move(tribes),
        socialNetworksFromProfileDictionary(dictionary));
}

std::vector<SocialNetwork> ProfileService::socialNetworksFromProfileDictionary(
    const QJsonObject& dictionary) {
    std::vector<SocialNetwork> networks;
    const auto value = objectOrNilForKey(dictionary, QStringLiteral("socialNetworks"));
    if (!value || !value->isObject()) return networks;
    const QJsonObject members = value->toObject();
    for (auto member = members.begin(); member != members.end(); ++member) {
        if (!member.value().isObject()) continue;
        networks.emplace_back(profileText(member.value().toObject(), QStringLiteral("userId")),
                              socialNetworkTypeForWireName(member.key()));
    }
    std::stable_sort(networks.begin(), networks.end(),
                     [](const SocialNetwork& a, const SocialNetwork& b) { return a.type() < b.type(); });
    return networks;
}

}  // namespace tovrin
