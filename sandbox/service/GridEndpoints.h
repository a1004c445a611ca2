#pragma once

#include <memory>

#include "sandbox/http/HTTPHost.h"

namespace tovrin::sandbox {

struct Member;
struct ServiceContext;

// The web host's grid calls: the members around a position ("/v3/locations/GEOHASH/profiles",
// nearest first, in pages, with the grid switches and the search filter as query items) and the
// favourites ("/v3/me/favorites", adding and removing one at "/v3/me/favorites/ID").
class GridEndpoints {
public:
    static void install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context);

private:
    static HTTPReply nearbyProfiles(ServiceContext& context, Member& viewer, const HTTPRequest& request);
    static HTTPReply favorites(ServiceContext& context, Member& member);
    static HTTPReply addFavorite(ServiceContext& context, Member& member, const QString& profileID);
};

}  // namespace tovrin::sandbox
