#pragma once

#include <memory>

#include "sandbox/http/HTTPHost.h"

namespace tovrin::sandbox {

struct Member;
struct ServiceContext;

// The web host's notices: a member's moderation notices ("/v3/systemMessages", each handed out
// once) and the announcements that have not expired ("/v3/broadcastMessages").
class NoticeEndpoints {
public:
    static void install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context);

private:
    static HTTPReply systemMessages(Member& member);
    static HTTPReply broadcastMessages(ServiceContext& context);
};

}  // namespace tovrin::sandbox
