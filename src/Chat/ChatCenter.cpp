#include "Chat/ChatCenter.h"

#include "API/AuthenticatedURLService.h"
#include "API/TovrinServiceError.h"
#include "Authentication/AuthStorage.h"
#include "Authentication/SessionService.h"
#include "Authentication/UserSession.h"
#include "Blocked/BlockedUserManager.h"
#include "Chat/ChatMarkers.h"
#include "Chat/ChatMessage.h"
#include "Chat/ChatMessageAcknowledgement.h"
#include "Chat/ChatMessageDeletion.h"
#include "Chat/ChatMessageSourceDelegate.h"
#include "Chat/DirectedMessageCategorizer.h"
#include "Chat/XMPPMessageBuilder.h"
#include "Chat/XMPPMessageInterpreter.h"
#include "Helpers/DeferredBlockExecutor.h"
#include "Helpers/ServerCurrentDateProvider.h"
#include "Helpers/TimerFactory.h"
#include "Helpers/UUIDProvider.h"
#include "platform/di/Injector.h"
#include "platform/foundation/Timer.h"
#include "platform/net/Reachability.h"
#include "platform/system/Application.h"
#include "platform/xmpp/TovrinDeletion/XMPPMessage+TovrinDeletion.h"
#include "platform/xmpp/XEP-0333/XMPPChatMarkerMessage.h"
#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"
#include "platform/xmpp/XMPPPresence.h"
#include "platform/xmpp/XMPPStream.h"

namespace tovrin {

namespace {

constexpr quint32 AckRequestStanzaCount = 1;
constexpr double AckRequestTimeout = 5.0;
constexpr double ReconnectTimerInterval = 1.0;
constexpr double BackgroundDisconnectionDelay = 2.0;
constexpr double BackgroundTaskEndDelay = 1.0;
constexpr double FailedSendInterval = 10.0;
const QString MessageIDUserInfoKey = QStringLiteral("messageID");

constexpr quint32 StatusSent = 0;
constexpr quint32 StatusFailed = 1;
constexpr quint32 StatusReceived = 2;
constexpr quint32 AcknowledgedByServer = 0;

}  // namespace

ChatCenter::ChatCenter(std::shared_ptr<xmpp::XMPPStream> xmppStream,
                       std::shared_ptr<xmpp::XMPPStreamManagement> streamManagement,
                       std::shared_ptr<xmpp::XMPPReconnect> xmppReconnector,
                       std::shared_ptr<ServerCurrentDateProvider> currentDateProvider,
                       std::shared_ptr<UUIDProvider> uuidProvider, std::shared_ptr<TimerFactory> timerFactory,
                       std::shared_ptr<AuthStorage> authStorage,
                       std::shared_ptr<DeferredBlockExecutor> deferredBlockExecutor,
                       std::shared_ptr<ChatConnectionThrottler> chatConnectionThrottler,
                       std::shared_ptr<NotificationCenter> notificationCenter,
                       std::shared_ptr<Application> application)
    : xmppStream_(std::move(xmppStream)),
      streamManagement_(std::move(streamManagement)),
      xmppReconnector_(std::move(xmppReconnector)),
      currentDateProvider_(std::move(currentDateProvider)),
      uuidProvider_(std::move(uuidProvider)),
      timerFactory_(std::move(timerFactory)),
      authStorage_(std::move(authStorage)),
      deferredBlockExecutor_(std::move(deferredBlockExecutor)),
      application_(std::move(application)),
      notificationCenter_(std::move(notificationCenter)),
      chatConnectionThrottler_(std::move(chatConnectionThrottler)) {}

ChatCenter::~ChatCenter() {
    xmppStream_->removeDelegate(static_cast<xmpp::XMPPStreamDelegate*>(this));
    xmppReconnector_->removeDelegate(this);
    xmppReconnector_->deactivate();
    streamManagement_->removeDelegate(this);
    streamManagement_->deactivate();
}

std::shared_ptr<ChatCenter> ChatCenter::create(Injector& injector) {
    auto center = injector.construct<ChatCenter>();
    center->chatConnectionThrottler_->setDelegate(center->weakSelf<ChatConnectionThrottlerDelegate>());
    center->setupXMPPStream();
    center->observeNotifications();
    return center;
}

void ChatCenter::setupXMPPStream() {
    xmppStream_->addDelegate(weakSelf<xmpp::XMPPStreamDelegate>(), nullptr);
    xmppStream_->setStartTLSPolicy(xmpp::XMPPStream::StartTLSPolicy::Required);

    streamManagement_->automaticallyRequestAcksAfterStanzaCount(AckRequestStanzaCount, AckRequestTimeout);
    streamManagement_->addDelegate(weakSelf<xmpp::XMPPStreamManagementDelegate>(), nullptr);
    streamManagement_->activate(xmppStream_);

    xmppReconnector_->setAutoReconnect(false);
    xmppReconnector_->setReconnectTimerInterval(ReconnectTimerInterval);
    xmppReconnector_->setReconnectDelay(0);
    xmppReconnector_->activate(xmppStream_);
    xmppReconnector_->addDelegate(weakSelf<xmpp::XMPPReconnectDelegate>(), nullptr);
}

void ChatCenter::observeNotifications() {
    const std::weak_ptr<ChatCenter> weak = weakSelf();
    // Any sender: the monitor is made only at the first connection.
    reachabilityObservation_ = notificationCenter_->addObserver(net::ReachabilityChangedNotification, nullptr,
                                                                [weak](const Notification& n) {
                                                                    if (auto self = weak.lock())
                                                                        self->reachabilityHasChanged(n);
                                                                });
    backgroundObservation_ = notificationCenter_->addObserver(Application::DidEnterBackgroundNotification,
                                                              nullptr, [weak](const Notification&) {
                                                                  if (auto self = weak.lock())
                                                                      self->applicationDidEnterBackground();
                                                              });
    foregroundObservation_ = notificationCenter_->addObserver(Application::WillEnterForegroundNotification,
                                                              nullptr, [weak](const Notification&) {
                                                                  if (auto self = weak.lock())
                                                                      self->applicationWillEnterForeground();
                                                              });
}

// MARK: - Connecting

void ChatCenter::connectToChatWithProfileID(const QString& profileID, const QString& xmppToken) {
    // Stored first, so that an attempt released after a failed lookup can repeat it.
    currentAuthToken_ = xmppToken;
    currentUserProfileID_ = profileID;
    if (!chatDomain_) {
        lookUpChatServerInfo();
        return;
    }
    connectStream();
}

void ChatCenter::lookUpChatServerInfo() {
    if (isLookingUpChatServerInfo_ || !injector_) return;
    const auto urlService = injector_->get<AuthenticatedURLService>();
    if (!urlService) return;
    isLookingUpChatServerInfo_ = true;
    const std::weak_ptr<ChatCenter> weak = weakSelf();
    urlService->chatServerInfo()
        .then(weak,
              [](ChatCenter& self, const ChatServerInfo& info) {
                  self.isLookingUpChatServerInfo_ = false;
                  self.xmppStream_->setHostName(info.host());
                  self.chatDomain_ = info.domain();
                  // A sign-out meanwhile leaves nobody to connect.
                  if (self.currentAuthToken_ && self.currentUserProfileID_) self.connectStream();
              })
        .catchError(weak, [](ChatCenter& self, const Error&) {
            if (!self.isLookingUpChatServerInfo_) return;
            self.isLookingUpChatServerInfo_ = false;
            // Chat must not stay dead until the next renewal of the session.
            if (self.currentAuthToken_ && self.currentUserProfileID_)
                self.chatConnectionThrottler_->startThrottler();
        });
}

void ChatCenter::connectStream() {
    if (!reachability_ && injector_) {
        reachability_ = injector_->get<net::Reachability>(Arguments{xmppStream_->hostName()});
        if (reachability_) reachability_->startNotifier();
    }
    xmppStream_->setMyJID(jidForProfileID(*currentUserProfileID_));
    // A stream already connected or connecting refuses; the stored token serves its next sign-in.
    xmppStream_->connectWithTimeout(xmpp::XMPPStream::XMPPStreamTimeoutNone);
}

void ChatCenter::reconnect() {
    chatConnectionThrottler_->startThrottler();
}

void ChatCenter::chatConnectionThrottlerDelegateReadyToConnect(ChatConnectionThrottler&) {
    connectToXMPP();
}

void ChatCenter::connectToXMPP() {
    if (!currentAuthToken_) {
        // Never a sign-in without a password: a renewal brings a token, if anything can.
        if (authStorage_->loginCredentials()) renewSessionCredentials();
        return;
    }
    if (!chatDomain_) {
        if (currentUserProfileID_) lookUpChatServerInfo();
        return;
    }
    if (xmppStream_->isConnected()) {
        xmppStream_->authenticateWithPassword(*currentAuthToken_);
    } else {
        xmppReconnector_->manualStart();
    }
}

void ChatCenter::disconnect() {
    disconnectFromXMPP();
    currentAuthToken_.reset();
    currentUserProfileID_.reset();
    blockedUserManager_.reset();
}

void ChatCenter::disconnectFromXMPP() {
    hasConnectedAndAuthenticatedSuccessfully_ = false;
    xmppReconnector_->setAutoReconnect(false);
    xmppStream_->disconnect();
}

bool ChatCenter::isConnected() const {
    return xmppStream_->isConnected();
}

std::optional<xmpp::XMPPJID> ChatCenter::jidForProfileID(const QString& profileID) const {
    if (!chatDomain_) return std::nullopt;
    return xmpp::XMPPJID::jidWithString(QStringLiteral("%1@%2").arg(profileID, *chatDomain_));
}

bool ChatCenter::shouldReconnectAfterDisconnection() const {
    return !hasConnectedAndAuthenticatedSuccessfully_ && currentAuthToken_ && currentUserProfileID_ &&
           !isUserBannedFromSessionService_ &&
           application_->applicationState() != ApplicationState::Background;
}

// MARK: - Stream events

void ChatCenter::xmppStreamDidConnect(xmpp::XMPPStream& sender) {
    if (currentAuthToken_) {
        sender.authenticateWithPassword(*currentAuthToken_);
    } else if (authStorage_->loginCredentials()) {
        renewSessionCredentials();
    } else {
        // Nobody to sign in as (a sign-out meanwhile): the open stream serves no one.
        disconnectFromXMPP();
        return;
    }
    xmppReconnector_->setAutoReconnect(true);
    chatConnectionThrottler_->stopThrottler();
}

void ChatCenter::xmppStreamDidAuthenticate(xmpp::XMPPStream& sender) {
    isUserBannedFromSessionService_ = false;
    hasConnectedAndAuthenticatedSuccessfully_ = true;
    sender.sendElement(xmpp::XMPPPresence());
    streamManagement_->enableStreamManagementWithResumption(false, 0);
    if (auto delegate = connectorDelegate_.lock()) delegate->chatConnectorDidConnect(*this);
    if (injector_) blockedUserManager_ = injector_->get<BlockedUserManager>();
    notificationCenter_->post(ChatCenterDidAuthenticateXMPPNotification);
}

void ChatCenter::xmppStreamDidNotAuthenticate(xmpp::XMPPStream&, const xmpp::XMLElement&) {
    renewSessionCredentials();
}

void ChatCenter::renewSessionCredentials() {
    const auto sessionService = injector_ ? injector_->get<SessionService>() : nullptr;
    if (!sessionService) return;
    const std::optional<LoginCredentials> credentials = authStorage_->loginCredentials();
    const std::weak_ptr<ChatCenter> weak = weakSelf();
    sessionService
        ->renewSessionCredentialsWithEmail(credentials ? credentials->email() : std::nullopt,
                                           credentials ? credentials->password() : std::nullopt)
        .then(weak,
              [](ChatCenter& self, const SessionInfo&) {
                  // The member session has already handed over the new token.
                  self.chatConnectionThrottler_->startThrottler();
                  self.isUserBannedFromSessionService_ = false;
              })
        .catchError(weak, [](ChatCenter& self, const Error& error) {
            self.isUserBannedFromSessionService_ = false;
            if (isTovrinServiceError(error, TovrinServiceErrorUserBanned)) {
                self.isUserBannedFromSessionService_ = true;
                self.stopAttempts();
            } else if (isTovrinServiceError(error, TovrinServiceErrorInvalidCredentials)) {
                self.stopAttempts();
            } else {
                self.chatConnectionThrottler_->startThrottler();
            }
        });
}

void ChatCenter::stopAttempts() {
    xmppStream_->disconnect();
    chatConnectionThrottler_->stopThrottler();
}

void ChatCenter::xmppStreamDidDisconnect(xmpp::XMPPStream&, const std::optional<Error>&) {
    hasConnectedAndAuthenticatedSuccessfully_ = false;
    if (shouldReconnectAfterDisconnection()) chatConnectionThrottler_->startThrottler();
    notificationCenter_->post(XMPPStreamDidDisconnectNotification);
}

void ChatCenter::xmppReconnectDidDetectAccidentalDisconnection(xmpp::XMPPReconnect&) {
    notificationCenter_->post(XMPPStreamDidDisconnectNotification);
}

// MARK: - Network and application state

void ChatCenter::reachabilityHasChanged(const Notification&) {
    if (!reachability_ || !reachability_->isReachable()) return;
    if (shouldReconnectAfterDisconnection()) xmppReconnector_->manualStart();
}

void ChatCenter::applicationDidEnterBackground() {
    // Whichever of the expiry handler and the delayed block comes first ends the task.
    struct Task {
        Application::BackgroundTaskIdentifier identifier = Application::InvalidBackgroundTask;
        bool ended = false;
    };
    const auto task = std::make_shared<Task>();
    const std::weak_ptr<ChatCenter> weak = weakSelf();
    const std::weak_ptr<Application> weakApplication = application_;
    const auto endTask = [task, weakApplication] {
        if (task->ended) return;
        task->ended = true;
        if (auto application = weakApplication.lock()) application->endBackgroundTask(task->identifier);
    };
    task->identifier = application_->beginBackgroundTask([weak, endTask] {
        if (auto self = weak.lock()) self->disconnectFromXMPP();
        endTask();
    });
    if (task->identifier == Application::InvalidBackgroundTask) {
        disconnectFromXMPP();
    } else {
        deferredBlockExecutor_->executeAfter(BackgroundDisconnectionDelay, [weak, task, endTask] {
            auto self = weak.lock();
            if (!self || task->ended) return;
            if (self->application_->applicationState() != ApplicationState::Active)
                self->disconnectFromXMPP();
            self->deferredBlockExecutor_->executeAfter(BackgroundTaskEndDelay, endTask);
        });
    }
    xmppReconnector_->setAutoReconnect(false);
}

void ChatCenter::applicationWillEnterForeground() {
    isUserBannedFromSessionService_ = false;
    xmppReconnector_->setAutoReconnect(true);
    // Without a member the stream would open with nobody to sign in as.
    if (currentAuthToken_ && currentUserProfileID_ && chatDomain_) xmppReconnector_->manualStart();
}

// MARK: - Stanza traffic

QString ChatCenter::domainForStanzas() const {
    const auto& own = xmppStream_->myJID();
    return own ? own->domain() : chatDomain_.value_or(QString());
}

xmpp::XMPPMessage ChatCenter::sendMessageWithText(const QString& text, const QString& profileID) {
    return sendChatMessage(XMPPMessageBuilder::xmppMessageWithText(
        uuidProvider_->UUIDString(), text, currentUserProfileID_.value_or(QString()), profileID,
        domainForStanzas(), currentDateProvider_->currentServerDate()));
}

xmpp::XMPPMessage ChatCenter::sendMessageWithImageMediaHash(const QString& messageID,
                                                            const QString& imageMediaHash,
                                                            const QString& profileID) {
    return sendChatMessage(XMPPMessageBuilder::xmppMessageWithImageMediaHash(
        messageID, imageMediaHash, currentUserProfileID_.value_or(QString()), profileID, domainForStanzas(),
        currentDateProvider_->currentServerDate()));
}

xmpp::XMPPMessage ChatCenter::sendMessageWithLocation(const std::optional<Coordinate>& location,
                                                      const QString& profileID) {
    const Coordinate coordinate = location.value_or(Coordinate{});
    return sendChatMessage(XMPPMessageBuilder::xmppMessageWithLocation(
        uuidProvider_->UUIDString(), coordinate.latitude, coordinate.longitude,
        currentUserProfileID_.value_or(QString()), profileID, domainForStanzas(),
        currentDateProvider_->currentServerDate()));
}

xmpp::XMPPMessage ChatCenter::sendChatMessage(xmpp::XMPPMessage message) {
    xmpp::addMarkableChatMarker(message);
    xmppStream_->sendElement(message);
    return message;
}

void ChatCenter::deleteMessages(const std::vector<std::shared_ptr<ChatMessage>>& messages,
                                const QString& profileID) {
    const auto own = currentUserProfileID_ ? jidForProfileID(*currentUserProfileID_) : std::nullopt;
    const auto peer = jidForProfileID(profileID);
    if (!own || !peer) return;
    QStringList messageIDs;
    for (const auto& message : messages) {
        if (message) messageIDs.append(message->messageID());
    }
    xmppStream_->sendElement(xmpp::messageWithDeletionMarkersForMessageIDs(messageIDs, *own, *peer));
}

void ChatCenter::acknowledgeMessageWithID(const QString& messageID, const QString& profileID) {
    if (const auto peer = jidForProfileID(profileID))
        sendMarker(xmpp::receivedChatMarkerMessage(*peer, messageID));
}

void ChatCenter::markMessageAsDisplayedWithID(const QString& messageID, const QString& profileID) {
    if (const auto peer = jidForProfileID(profileID))
        sendMarker(xmpp::displayedChatMarkerMessage(*peer, messageID));
}

void ChatCenter::sendMarker(const xmpp::XMPPMessage& message) {
    xmppStream_->sendElement(message);
}

void ChatCenter::xmppStreamDidSendMessage(xmpp::XMPPStream&, const xmpp::XMPPMessage& message) {
    if (xmpp::isDeletionMessage(message)) informDelegateOfDeletionMessage(message);
    if (ChatMarkers::carriesChatMarker(message)) informDelegateOfChatMarker(message);
    if (!message.isChatMessage()) return;
    informDelegateOfMessageWithBody(message, StatusSent);
    const QString messageID = message.elementID();
    // A stanza sent again under a pending id takes the place of the first, timer and all.
    if (const auto earlier = unacknowledgedChatMessageIDToAcknowledgementTimer_.value(messageID))
        earlier->invalidate();
    unacknowledgedChatMessageIDToMessage_.insert(messageID, message);
    const std::weak_ptr<ChatCenter> weak = weakSelf();
    unacknowledgedChatMessageIDToAcknowledgementTimer_.insert(
        messageID, timerFactory_->timerOnMainRunLoopWithInterval(
                       FailedSendInterval,
                       [weak](Timer& timer) {
                           if (auto self = weak.lock()) self->failedMessageTimerFired(timer);
                       },
                       QVariantMap{{MessageIDUserInfoKey, messageID}}, false));
}

void ChatCenter::xmppStreamDidFailToSendMessage(xmpp::XMPPStream&, const xmpp::XMPPMessage& message,
                                                const Error&) {
    if (message.isChatMessage()) informDelegateOfMessageWithBody(message, StatusFailed);
}

void ChatCenter::xmppStreamDidReceiveMessage(xmpp::XMPPStream&, const xmpp::XMPPMessage& message) {
    if (message.isErrorMessage()) {
        // A bounce fails the member's own pending stanza of that id; the echo itself is no marker,
        // deletion or message of the peer's.
        if (const auto pending = settlePendingMessage(message.elementID())) {
            xmpp::XMPPMessage failed = *pending;
            failed.setType(QStringLiteral("error"));
            informDelegateOfMessageWithBody(failed, StatusFailed);
        }
        return;
    }
    if (ChatMarkers::carriesChatMarker(message)) informDelegateOfChatMarker(message);
    if (xmpp::isDeletionMessage(message)) {
        // Only the member's own addresses speak for the member.
        const auto from = message.from();
        if (from && currentUserProfileID_ && jidForProfileID(*currentUserProfileID_) &&
            from->bare() == jidForProfileID(*currentUserProfileID_)->bare()) {
            informDelegateOfDeletionMessage(message);
        }
    }
    if (message.isChatMessage()) informDelegateOfMessageWithBody(message, StatusReceived);
}

void ChatCenter::xmppStreamManagementDidReceiveAckForStanzaIds(xmpp::XMPPStreamManagement&,
                                                               const QStringList& stanzaIds) {
    // Every id one acknowledgement covers was delivered.
    for (const QString& stanzaID : stanzaIds) {
        const auto pending = settlePendingMessage(stanzaID);
        if (!pending) continue;
        const auto to = pending->to();
        if (!to || to->user().isEmpty()) continue;
        informDelegate(std::make_shared<ChatMessageAcknowledgement>(stanzaID, to->user(), to->user(),
                                                                    AcknowledgedByServer));
    }
}

std::optional<xmpp::XMPPMessage> ChatCenter::settlePendingMessage(const QString& messageID) {
    if (messageID.isEmpty()) return std::nullopt;
    if (const auto timer = unacknowledgedChatMessageIDToAcknowledgementTimer_.take(messageID))
        timer->invalidate();
    const auto found = unacknowledgedChatMessageIDToMessage_.constFind(messageID);
    if (found == unacknowledgedChatMessageIDToMessage_.constEnd()) return std::nullopt;
    xmpp::XMPPMessage message = *found;
    unacknowledgedChatMessageIDToMessage_.erase(found);
    return message;
}

void ChatCenter::failedMessageTimerFired(Timer& timer) {
    const QString messageID = timer.userInfo().toMap().value(MessageIDUserInfoKey).toString();
    auto pending = settlePendingMessage(messageID);
    if (!pending) return;
    pending->setType(QStringLiteral("error"));
    informDelegateOfMessageWithBody(*pending, StatusFailed);
}

void ChatCenter::informDelegate(const std::shared_ptr<DirectedMessage>& message) {
    if (!message) return;
    if (auto delegate = messageSourceDelegate_.lock())
        delegate->messageSourceDidReceiveDirectedMessage(*this, message);
}

void ChatCenter::informDelegateOfChatMarker(const xmpp::XMPPMessage& message) {
    if (!currentUserProfileID_) return;
    informDelegate(ChatMarkers::directedMessageFromMarkableXMPPMessage(message, *currentUserProfileID_));
}

void ChatCenter::informDelegateOfDeletionMessage(const xmpp::XMPPMessage& message) {
    informDelegate(ChatMarkers::deletionFromXMPPMessage(message));
}

void ChatCenter::informDelegateOfMessageWithBody(xmpp::XMPPMessage message, quint32 status) {
    if (!message.isMessageWithBody()) return;
    if (message.fromStr().isEmpty() && currentUserProfileID_) {
        if (const auto own = jidForProfileID(*currentUserProfileID_))
            message.addAttributeWithName(QStringLiteral("from"), own->full());
    }
    const auto interpreter = XMPPMessageInterpreter::interpreterWithXMPPMessage(message);
    if (!interpreter) return;
    const std::shared_ptr<ChatMessage> chatMessage = interpreter->chatMessageWithStatus(status);
    if (shouldInformDelegateOfChatMessage(chatMessage)) informDelegate(chatMessage);
}

bool ChatCenter::shouldInformDelegateOfChatMessage(const std::shared_ptr<ChatMessage>& message) const {
    if (!message) return false;
    if (DirectedMessageCategorizer::isBlockMessage(message.get())) return true;
    return !blockedUserManager_ ||
           !blockedUserManager_->isProfileIDBlocked(message->exchangedInConversationWithProfileID());
}

}  // namespace tovrin
