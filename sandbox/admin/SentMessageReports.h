#pragma once

#include <QString>
#include <memory>

#include "platform/promise/Promise.h"
#include "sandbox/http/HTTPHost.h"

namespace tovrin::sandbox {

struct ServiceContext;

// Where the chat server's module reports each message a member sends (its XML, before the server
// routes it; the member's stream waits for the answer): it goes into the conversation log, and a
// recipient without a chat account gets one first, so that the server keeps the message for it.
class SentMessageReports {
public:
    static inline const QString path = QStringLiteral("/chat/sent-messages");

    static void install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context);

private:
    static Promise<HTTPReply> receive(const std::shared_ptr<ServiceContext>& context,
                                      const HTTPRequest& request);
};

}  // namespace tovrin::sandbox
