#pragma once

#include <QString>
#include <memory>

namespace tovrin {

class ChatConnector;

class ChatConnectorDelegate {
public:
    virtual ~ChatConnectorDelegate() = default;
    // After every successful sign-in, before the authenticated notification.
    virtual void chatConnectorDidConnect(ChatConnector& connector) = 0;
};

// The chat connection as the member session, the root container and the inbox drive it.
class ChatConnector {
public:
    virtual ~ChatConnector() = default;

    virtual void connectToChatWithProfileID(const QString& profileID, const QString& xmppToken) = 0;
    virtual void reconnect() = 0;
    // Disconnects and forgets the member.
    virtual void disconnect() = 0;
    virtual std::shared_ptr<ChatConnectorDelegate> connectorDelegate() const = 0;
    virtual void setConnectorDelegate(std::weak_ptr<ChatConnectorDelegate> delegate) = 0;
    // The stream's own answer: yes once it is open and not negotiating, signing in or binding, even
    // when its sign-in was refused.
    virtual bool isConnected() const = 0;
};

}  // namespace tovrin
