#include "sandbox/service/GridEndpoints.h"

#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <functional>

#include "sandbox/service/ServiceContext.h"
#include "sandbox/service/ServiceError.h"
#include "sandbox/world/Geohash.h"
#include "sandbox/world/ProfileJSON.h"
#include "sandbox/world/World.h"

namespace tovrin::sandbox {

namespace {

using Condition = std::function<bool(const Member&)>;

constexpr int NotSpecifiedCode = -1;

// The query's conditions on a member; nothing when an item is malformed.
class GridFilter {
public:
    GridFilter(const HTTPRequest& request, const Member& viewer, Date now) : request_(request) {
        addSwitch("online", [now](const Member& member) { return member.isOnline(now); });
        addSwitch("favorite",
                  [&viewer](const Member& member) { return viewer.favorites.contains(member.profileID); });
        addSwitch("photoOnly", [](const Member& member) { return !member.mediaHash.isEmpty(); });
        addRange("age", [now](const Member& member) { return std::optional<double>(member.age(now)); });
        addRange("weight", [](const Member& member) { return member.weightInGrams; });
        addRange("height", [](const Member& member) { return member.heightInCm; });
        addCodes("tovrinTribesIds", [](const Member& member) { return member.tribes; });
        addCodes("lookingForIds", [](const Member& member) { return member.lookingFor; });
        addCodes("bodyTypeIds", [](const Member& member) { return single(member.bodyType); });
        addCodes("ethnicityIds", [](const Member& member) { return single(member.ethnicity); });
        addCodes("relationshipStatusIds",
                 [](const Member& member) { return single(member.relationshipStatus); });
    }

    bool isValid() const { return valid_; }
    bool accepts(const Member& member) const {
        return std::all_of(conditions_.begin(), conditions_.end(),
                           [&](const Condition& condition) { return condition(member); });
    }

private:
    static QList<int> single(const std::optional<int>& code) {
        return code ? QList<int>{*code} : QList<int>();
    }

    void addSwitch(const QString& name, Condition condition) {
        if (request_.queryValue(name) == QLatin1String("true")) conditions_.push_back(std::move(condition));
    }

    void addRange(const QString& name, std::function<std::optional<double>(const Member&)> value) {
        for (const QString& suffix : {QStringLiteral("Minimum"), QStringLiteral("Maximum")}) {
            const std::optional<QString> text = request_.queryValue(name + suffix);
            if (!text) continue;
            bool ok = false;
            const double bound = text->toDouble(&ok);
            valid_ = valid_ && ok;
            const bool isMinimum = suffix == QLatin1String("Minimum");
            conditions_.push_back([value, bound, isMinimum](const Member& member) {
                const std::optional<double> actual = value(member);
                return actual && (isMinimum ? *actual >= bound : *actual <= bound);
            });
        }
    }

    void addCodes(const QString& name, std::function<QList<int>(const Member&)> codes) {
        const std::optional<QString> text = request_.queryValue(name);
        if (!text) return;
        QList<int> wanted;
        for (const QString& code : text->split(QLatin1Char(','))) {
            bool ok = false;
            wanted << code.toInt(&ok);
            valid_ = valid_ && ok;
        }
        // -1 is the client's "Not Specified": the members who left the attribute unset.
        conditions_.push_back([codes, wanted](const Member& member) {
            const QList<int> held = codes(member);
            if (held.isEmpty()) return wanted.contains(NotSpecifiedCode);
            return std::any_of(held.begin(), held.end(), [&](int code) { return wanted.contains(code); });
        });
    }

    const HTTPRequest& request_;
    std::vector<Condition> conditions_;
    bool valid_ = true;
};

}  // namespace

void GridEndpoints::install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context) {
    ServiceContext& service = *context;
    host.route("GET", "/v3/locations/{}/profiles",
               service.signedIn([context](Member& member, const HTTPRequest& request) {
                   return nearbyProfiles(*context, member, request);
               }));
    host.route("GET", "/v3/me/favorites", service.signedIn([context](Member& member, const HTTPRequest&) {
        return favorites(*context, member);
    }));
    host.route("POST", "/v3/me/favorites/{}",
               service.signedIn([context](Member& member, const HTTPRequest& request) {
                   return addFavorite(*context, member, request.arguments[0]);
               }));
    host.route("DELETE", "/v3/me/favorites/{}",
               service.signedIn([](Member& member, const HTTPRequest& request) {
                   member.favorites.removeAll(request.arguments[0]);
                   return HTTPReply::json(QJsonObject());
               }));
}

HTTPReply GridEndpoints::nearbyProfiles(ServiceContext& context, Member& viewer, const HTTPRequest& request) {
    const std::optional<Coordinate> position = Geohash::decode(request.arguments[0]);
    const int page = request.queryValue("pageNumber").value_or("1").toInt();
    const Date now = Date::now();
    const GridFilter filter(request, viewer, now);
    if (!position || page < 1 || !filter.isValid()) return errorReply(ServiceError::InvalidRequest);
    viewer.position = *position;

    std::vector<const Member*> found;
    for (const auto& [id, member] : context.world->members()) {
        if (id == viewer.profileID || member.isBanned ||
            context.world->isBlockedBetween(id, viewer.profileID))
            continue;
        if (filter.accepts(member)) found.push_back(&member);
    }
    std::stable_sort(found.begin(), found.end(), [&](const Member* a, const Member* b) {
        return Geohash::distance(*position, a->position) < Geohash::distance(*position, b->position);
    });
    QJsonArray profiles;
    const qsizetype first = qsizetype(page - 1) * context.options.pageSize;
    for (qsizetype index = first; page <= context.options.maxCascadePages &&
                                  index < qsizetype(found.size()) && index < first + context.options.pageSize;
         ++index) {
        profiles.append(ProfileJSON::nearbyUser(*found[index], viewer, now));
    }
    return HTTPReply::json(QJsonObject{{"profiles", profiles}, {"ttl", context.options.gridTTL}});
}

HTTPReply GridEndpoints::favorites(ServiceContext& context, Member& member) {
    QJsonArray ids;
    for (const QString& id : member.favorites) {
        if (context.world->member(id)) ids.append(id.toLongLong());
    }
    return HTTPReply::json(QJsonObject{{"favorites", ids}});
}

HTTPReply GridEndpoints::addFavorite(ServiceContext& context, Member& member, const QString& profileID) {
    if (profileID == member.profileID || context.world->member(profileID) == nullptr)
        return errorReply(ServiceError::NotFound);
    if (!member.favorites.contains(profileID)) {
        if (member.favorites.size() >= context.options.favoritesLimit)
            return errorReply(ServiceError::FavoritesLimitReached);
        member.favorites << profileID;
    }
    return HTTPReply::json(QJsonObject());
}

}  // namespace tovrin::sandbox
