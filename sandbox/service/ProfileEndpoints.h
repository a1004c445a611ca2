#pragma once

#include <memory>

#include "platform/promise/Promise.h"
#include "sandbox/http/HTTPHost.h"

namespace tovrin::sandbox {

struct Member;
struct ServiceContext;

// The web host's profile calls: any member's full profile ("/v3/profiles/ID", {"profiles": [one
// or none]}), the own profile's update and deletion ("/v3/me/profile") and reports ("/v3/flags/ID").
class ProfileEndpoints {
public:
    static void install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context);

private:
    static HTTPReply profile(ServiceContext& context, Member& viewer, const QString& profileID);
    static HTTPReply updateProfile(ServiceContext& context, Member& member, const HTTPRequest& request);
    static Promise<HTTPReply> deleteProfile(const std::shared_ptr<ServiceContext>& context, Member& member);
    static HTTPReply report(ServiceContext& context, Member& member, const HTTPRequest& request);
};

}  // namespace tovrin::sandbox
