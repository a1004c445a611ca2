#pragma once

#include <memory>

#include "sandbox/http/HTTPHost.h"

namespace tovrin::sandbox {

class Sandbox;
struct Member;
struct ServiceContext;

// The admin interface (JSON on loopback, for tests and demos):
//   GET    /admin                                  the hosts, the chat server and the demo member
//   GET    /admin/members?email=ADDRESS            {"profileId"} of the member with that e-mail
//   GET    /admin/members/ID                       what the service keeps of a member
//   POST   /admin/members/ID/ban | unban
//   POST   /admin/members/ID/expire-sessions       the member's session tokens stop working
//   POST   /admin/members/ID/chat-disconnect       the chat server ends the member's chat sessions
//   POST   /admin/members/ID/system-messages       {"type", "message", "mediaHash"}
//   POST   /admin/members/ID/messages              {"to", "type": "text"|"image"|"map", "text"}
//   POST   /admin/client-deprecated                {"deprecated": true|false}
//   POST   /admin/server-errors                    {"method", "path", "status", "count"}
//   DELETE /admin/server-errors
//   POST   /admin/certificate                      {"matching": true|false} (secure hosts)
//   POST   /admin/photos/HASH/approve | reject
//   POST   /admin/broadcasts                       {"title", "body", "actionTitle", "dismissTitle",
//                                                   "url", "expiresIn" (seconds)}
//   POST   /admin/managed-fields                   {"fields": {list: [{"fieldId", "name"}, …]}}: what
//                                                   "/v3/managed-fields" serves, as given
//   DELETE /admin/managed-fields                   the standard lists again
//   POST   /admin/reset                            {"seed"}: a new world, an empty chat server
//                                                   and the standard lists
class AdminEndpoints {
public:
    static void install(HTTPHost& host, const std::weak_ptr<Sandbox>& sandbox,
                        const std::shared_ptr<ServiceContext>& context);

private:
    using MemberAction = std::function<HTTPReply(Member&, const HTTPRequest&)>;

    static void installMemberActions(HTTPHost& host, const std::weak_ptr<Sandbox>& sandbox,
                                     const std::shared_ptr<ServiceContext>& context);
    static void installServiceSwitches(HTTPHost& host, const std::weak_ptr<Sandbox>& sandbox,
                                       const std::shared_ptr<ServiceContext>& context);
    static HTTPHost::Handler forMember(const std::shared_ptr<ServiceContext>& context, MemberAction action);
    static HTTPReply overview(Sandbox& sandbox);
    static HTTPReply memberState(ServiceContext& context, const Member& member);
    static HTTPReply ban(ServiceContext& context, Member& member, bool banned);
    static HTTPReply sendMessage(Sandbox& sandbox, Member& member, const HTTPRequest& request);
    static HTTPReply addBroadcast(ServiceContext& context, const HTTPRequest& request);
};

}  // namespace tovrin::sandbox
