#pragma once

#include <memory>

#include "platform/promise/Promise.h"
#include "sandbox/http/HTTPHost.h"

namespace tovrin::sandbox {

struct Member;
struct ServiceContext;

// The web host's account calls: the bootstrap ("/v3/bootstrap"), sign-in ("/v3/sessions"), sign-up
// ("/v3/users"), e-mail and password changes, the option lists ("/v3/managed-fields") and the push
// tokens. Every call that opens a session answers {"profileId", "sessionId", "xmppToken"}, the chat
// token having become the member's chat password first.
class AccountEndpoints {
public:
    static void install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context);

private:
    static HTTPReply bootstrap(ServiceContext& context, const HTTPRequest& request);
    static Promise<HTTPReply> signIn(const std::shared_ptr<ServiceContext>& context,
                                     const HTTPRequest& request);
    static Promise<HTTPReply> signUp(const std::shared_ptr<ServiceContext>& context,
                                     const HTTPRequest& request);
    static Promise<HTTPReply> changeEmail(const std::shared_ptr<ServiceContext>& context, Member& member,
                                          const HTTPRequest& request);
    static Promise<HTTPReply> changePassword(const std::shared_ptr<ServiceContext>& context, Member& member,
                                             const HTTPRequest& request);
    static HTTPReply registerPushToken(Member& member, const HTTPRequest& request);
    // A new session and chat token for the member, answered once the chat server has the token.
    static Promise<HTTPReply> openSession(const std::shared_ptr<ServiceContext>& context, Member& member);
};

}  // namespace tovrin::sandbox
