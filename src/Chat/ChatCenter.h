#pragma once

#include <QHash>
#include <QString>
#include <memory>
#include <optional>

#include "Chat/ChatConnectionThrottler.h"
#include "Chat/ChatConnector.h"
#include "Chat/ChatMessageSender.h"
#include "Chat/ChatMessageSource.h"
#include "platform/di/Inject.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/SharedSelf.h"
#include "platform/xmpp/Reconnect/XMPPReconnect.h"
#include "platform/xmpp/XEP-0198/XMPPStreamManagement.h"
#include "platform/xmpp/XMPPStreamDelegate.h"

namespace tovrin {

namespace net {
class Reachability;
}
namespace xmpp {
class XMPPStream;
}

class Application;
class AuthStorage;
class BlockedUserManager;
class ChatMessage;
class DirectedMessage;
class DeferredBlockExecutor;
class Error;
class Injector;
class ServerCurrentDateProvider;
class Timer;
class TimerFactory;
class UUIDProvider;

inline const QString ChatCenterDidAuthenticateXMPPNotification =
    QStringLiteral("ChatCenterDidAuthenticateXMPPNotification");

// The application's one chat client: a single connection to the chat server for the signed-in
// member, signed in with the profile id and the chat token, kept up across network changes, the
// background and refused sign-ins. Made once by the container (`create`); main thread only.
class ChatCenter : public ChatConnector,
                   public ChatMessageSender,
                   public ChatMessageSource,
                   public ChatConnectionThrottlerDelegate,
                   public xmpp::XMPPStreamDelegate,
                   public xmpp::XMPPStreamManagementDelegate,
                   public xmpp::XMPPReconnectDelegate,
                   public EnableSharedSelf<ChatCenter> {
public:
    ChatCenter(std::shared_ptr<xmpp::XMPPStream> xmppStream,
               std::shared_ptr<xmpp::XMPPStreamManagement> streamManagement,
               std::shared_ptr<xmpp::XMPPReconnect> xmppReconnector,
               std::shared_ptr<ServerCurrentDateProvider> currentDateProvider,
               std::shared_ptr<UUIDProvider> uuidProvider, std::shared_ptr<TimerFactory> timerFactory,
               std::shared_ptr<AuthStorage> authStorage,
               std::shared_ptr<DeferredBlockExecutor> deferredBlockExecutor,
               std::shared_ptr<ChatConnectionThrottler> chatConnectionThrottler,
               std::shared_ptr<NotificationCenter> notificationCenter,
               std::shared_ptr<Application> application);
    ~ChatCenter() override;

    using Dependencies =
        Inject<xmpp::XMPPStream, xmpp::XMPPStreamManagement, xmpp::XMPPReconnect, ServerCurrentDateProvider,
               UUIDProvider, TimerFactory, AuthStorage, DeferredBlockExecutor, ChatConnectionThrottler,
               NotificationCenter, Application>;

    // Built from the container's keys, with the stream set up and the notifications observed.
    static std::shared_ptr<ChatCenter> create(Injector& injector);

    // The session services are taken from the container at the moment of use.
    void setInjector(Injector* injector) { injector_ = injector; }

    void connectToChatWithProfileID(const QString& profileID, const QString& xmppToken) override;
    void reconnect() override;
    void disconnect() override;
    std::shared_ptr<ChatConnectorDelegate> connectorDelegate() const override {
        return connectorDelegate_.lock();
    }
    void setConnectorDelegate(std::weak_ptr<ChatConnectorDelegate> delegate) override {
        connectorDelegate_ = std::move(delegate);
    }
    bool isConnected() const override;

    xmpp::XMPPMessage sendMessageWithText(const QString& text, const QString& profileID) override;
    xmpp::XMPPMessage sendMessageWithImageMediaHash(const QString& messageID, const QString& imageMediaHash,
                                                    const QString& profileID) override;
    xmpp::XMPPMessage sendMessageWithLocation(const std::optional<Coordinate>& location,
                                              const QString& profileID) override;
    void deleteMessages(const std::vector<std::shared_ptr<ChatMessage>>& messages,
                        const QString& profileID) override;
    void acknowledgeMessageWithID(const QString& messageID, const QString& profileID) override;
    void markMessageAsDisplayedWithID(const QString& messageID, const QString& profileID) override;

    std::shared_ptr<ChatMessageSourceDelegate> messageSourceDelegate() const override {
        return messageSourceDelegate_.lock();
    }
    void setMessageSourceDelegate(std::weak_ptr<ChatMessageSourceDelegate> delegate) override {
        messageSourceDelegate_ = std::move(delegate);
    }

    const std::optional<QString>& currentUserProfileID() const { return currentUserProfileID_; }
    void setCurrentUserProfileID(const std::optional<QString>& profileID) {
        currentUserProfileID_ = profileID;
    }

    // Read by tests and by the stanza traffic.
    bool hasConnectedAndAuthenticatedSuccessfully() const {
        return hasConnectedAndAuthenticatedSuccessfully_;
    }
    bool isUserBannedFromSessionService() const { return isUserBannedFromSessionService_; }
    const std::optional<QString>& chatDomain() const { return chatDomain_; }
    const std::optional<QString>& currentAuthToken() const { return currentAuthToken_; }
    const std::shared_ptr<BlockedUserManager>& blockedUserManager() const { return blockedUserManager_; }
    const std::shared_ptr<xmpp::XMPPStream>& xmppStream() const { return xmppStream_; }
    bool shouldReconnectAfterDisconnection() const;
    // "profileID@chatDomain", without a resource; nothing while the domain is unknown.
    std::optional<xmpp::XMPPJID> jidForProfileID(const QString& profileID) const;

    void chatConnectionThrottlerDelegateReadyToConnect(ChatConnectionThrottler& throttler) override;

    void xmppStreamDidConnect(xmpp::XMPPStream& sender) override;
    void xmppStreamDidAuthenticate(xmpp::XMPPStream& sender) override;
    void xmppStreamDidNotAuthenticate(xmpp::XMPPStream& sender, const xmpp::XMLElement& error) override;
    void xmppStreamDidDisconnect(xmpp::XMPPStream& sender, const std::optional<Error>& error) override;
    void xmppStreamDidSendMessage(xmpp::XMPPStream& sender, const xmpp::XMPPMessage& message) override;
    void xmppStreamDidFailToSendMessage(xmpp::XMPPStream& sender, const xmpp::XMPPMessage& message,
                                        const Error& error) override;
    void xmppStreamDidReceiveMessage(xmpp::XMPPStream& sender, const xmpp::XMPPMessage& message) override;
    void xmppStreamManagementDidReceiveAckForStanzaIds(xmpp::XMPPStreamManagement& sender,
                                                       const QStringList& stanzaIds) override;
    void xmppReconnectDidDetectAccidentalDisconnection(xmpp::XMPPReconnect& sender) override;

    // The sent chat stanzas the server has not acknowledged yet, by id.
    const QHash<QString, xmpp::XMPPMessage>& unacknowledgedChatMessages() const {
        return unacknowledgedChatMessageIDToMessage_;
    }

private:
    void setupXMPPStream();
    void observeNotifications();
    void lookUpChatServerInfo();
    void connectStream();
    void connectToXMPP();
    void disconnectFromXMPP();
    void renewSessionCredentials();
    void stopAttempts();
    void reachabilityHasChanged(const Notification& notification);
    void applicationDidEnterBackground();
    void applicationWillEnterForeground();

    xmpp::XMPPMessage sendChatMessage(xmpp::XMPPMessage message);
    void sendMarker(const xmpp::XMPPMessage& message);
    void informDelegate(const std::shared_ptr<DirectedMessage>& message);
    void informDelegateOfChatMarker(const xmpp::XMPPMessage& message);
    void informDelegateOfDeletionMessage(const xmpp::XMPPMessage& message);
    void informDelegateOfMessageWithBody(xmpp::XMPPMessage message, quint32 status);
    bool shouldInformDelegateOfChatMessage(const std::shared_ptr<ChatMessage>& message) const;
    void failedMessageTimerFired(Timer& timer);
    // Stops tracking the id; the stanza that was pending under it, if any.
    std::optional<xmpp::XMPPMessage> settlePendingMessage(const QString& messageID);
    QString domainForStanzas() const;

    bool hasConnectedAndAuthenticatedSuccessfully_ = false;
    bool isUserBannedFromSessionService_ = false;
    std::weak_ptr<ChatMessageSourceDelegate> messageSourceDelegate_;
    std::weak_ptr<ChatConnectorDelegate> connectorDelegate_;
    std::optional<QString> currentUserProfileID_;
    std::shared_ptr<xmpp::XMPPStream> xmppStream_;
    std::shared_ptr<xmpp::XMPPStreamManagement> streamManagement_;
    std::shared_ptr<xmpp::XMPPReconnect> xmppReconnector_;
    std::shared_ptr<ServerCurrentDateProvider> currentDateProvider_;
    std::shared_ptr<UUIDProvider> uuidProvider_;
    std::optional<QString> currentAuthToken_;
    std::shared_ptr<TimerFactory> timerFactory_;
    QHash<QString, xmpp::XMPPMessage> unacknowledgedChatMessageIDToMessage_;
    QHash<QString, std::shared_ptr<Timer>> unacknowledgedChatMessageIDToAcknowledgementTimer_;
    std::optional<QString> chatDomain_;
    std::shared_ptr<AuthStorage> authStorage_;
    std::shared_ptr<DeferredBlockExecutor> deferredBlockExecutor_;
    std::shared_ptr<Application> application_;
    std::shared_ptr<BlockedUserManager> blockedUserManager_;
    Injector* injector_ = nullptr;
    std::shared_ptr<net::Reachability> reachability_;
    std::shared_ptr<NotificationCenter> notificationCenter_;
    std::shared_ptr<ChatConnectionThrottler> chatConnectionThrottler_;

    // One lookup of the chat server at a time.
    bool isLookingUpChatServerInfo_ = false;
    NotificationToken reachabilityObservation_;
    NotificationToken backgroundObservation_;
    NotificationToken foregroundObservation_;
};

}  // namespace tovrin
