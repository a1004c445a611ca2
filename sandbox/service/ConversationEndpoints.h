#pragma once

#include <memory>

#include "sandbox/http/HTTPHost.h"

namespace tovrin::sandbox {

struct Member;
struct ServiceContext;

// The web host's conversation list ("/v3/me/conversations" with "quantity" and optionally
// "olderThan" and "newerThan", milliseconds since 1970 compared with each conversation's newest
// message), built from what the member really exchanged on the chat server: per peer the peer's
// record, the unread count, whether an unread message is a photo, and the last messages, newest
// first.
class ConversationEndpoints {
public:
    static void install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context);

private:
    static HTTPReply conversations(ServiceContext& context, Member& member, const HTTPRequest& request);
};

}  // namespace tovrin::sandbox
