#pragma once

#include <memory>

#include "sandbox/http/HTTPHost.h"

namespace tovrin::sandbox {

struct Member;
struct ServiceContext;

// The upload host's calls: a photo upload ("/v3/me/pics", a JPEG body, "type" "chat" or "profile"
// and for a profile photo "thumbCoords" as maximum y, minimum x, maximum x, minimum y), answered
// with {"mediaHash"}, and the registration of a chat photo ("/v3/me/prefs/chat-pix/HASH"). A
// profile photo goes to moderation; a member uploads only so many a day.
class PhotoEndpoints {
public:
    static void install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context);

private:
    static HTTPReply upload(ServiceContext& context, Member& member, const HTTPRequest& request);
    static bool takeDailyProfilePhoto(ServiceContext& context, Member& member);
};

}  // namespace tovrin::sandbox
