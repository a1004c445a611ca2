#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

#include "platform/promise/Promise.h"
#include "sandbox/SandboxOptions.h"
#include "sandbox/http/HTTPHost.h"

namespace tovrin::sandbox {

class ChatServer;
class ConversationLog;
class MediaStore;
class Moderator;
class World;
struct Member;

// A server error the admin interface asked for: requests of that method (any, when empty) on that
// path (a trailing "*" matches any rest) answer with the status, the next `remaining` times
// (always, when negative).
struct InjectedFailure {
    QByteArray method;
    QString path;
    int status = 503;
    int remaining = -1;

    bool matches(const HTTPRequest& request) const;
};

// What the service's endpoints share: the world, its media, the chat server and the log of what
// members exchanged, moderation, the hosts' addresses and the admin interface's switches.
struct ServiceContext {
    using SignedInHandler = std::function<HTTPReply(Member&, const HTTPRequest&)>;
    using DeferredSignedInHandler = std::function<Promise<HTTPReply>(Member&, const HTTPRequest&)>;

    SandboxOptions options;
    std::shared_ptr<World> world;
    std::shared_ptr<MediaStore> media;
    std::shared_ptr<ConversationLog> conversations;
    std::shared_ptr<ChatServer> chat;
    std::shared_ptr<Moderator> moderator;
    QList<InjectedFailure> injectedFailures;
    QUrl webURL;
    QUrl mediaURL;
    QUrl uploadURL;
    QUrl authenticationWebURL;

    // The gate of the web and upload hosts: an injected server error, or the refusal of a client
    // declared deprecated.
    std::optional<HTTPReply> gate(const HTTPRequest& request);
    // Handlers for the member whose session token the request carries ("Authorization: Tovrin3
    // TOKEN"); a missing or unknown token is refused with 401, a banned member with code 27.
    HTTPHost::Handler signedIn(SignedInHandler handler);
    HTTPHost::DeferredHandler signedInDeferred(DeferredSignedInHandler handler);
    // The member the request's session token names, seen now; otherwise null and the refusal.
    Member* signedInMember(const HTTPRequest& request, std::optional<HTTPReply>& refusal);
};

}  // namespace tovrin::sandbox
