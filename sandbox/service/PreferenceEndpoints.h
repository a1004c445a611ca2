#pragma once

#include <memory>

#include "sandbox/http/HTTPHost.h"

namespace tovrin::sandbox {

struct Member;
struct ServiceContext;

// The web host's calls on what a member keeps on the service: the preferences ("/v3/me/prefs":
// saved phrases and chat photos), saved phrases ("/v3/me/prefs/phrases") and blocks
// ("/v3/me/blocks"). A block also tells the blocked member, with a chat message of type "block"
// from the blocker, and clears the blocker's conversation with a marker from the blocked member.
class PreferenceEndpoints {
public:
    static void install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context);

private:
    static HTTPReply preferences(Member& member);
    static HTTPReply savePhrase(Member& member, const HTTPRequest& request);
    static HTTPReply block(ServiceContext& context, Member& member, const QString& profileID);
    static void announceBlock(ServiceContext& context, const QString& blockerID, const QString& blockedID);
};

}  // namespace tovrin::sandbox
