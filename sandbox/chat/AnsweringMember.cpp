#include "sandbox/chat/AnsweringMember.h"

#include <QTimer>

#include "platform/foundation/Date.h"
#include "platform/foundation/UUID.h"
#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"
#include "platform/xmpp/XMPPPresence.h"

namespace tovrin::sandbox {

namespace {

const QString answeringMemberErrorDomain = QStringLiteral("AnsweringMember");
const QStringList answeredTypes = {"text", "image", "map"};

}  // namespace

AnsweringMember::AnsweringMember(QString profileID, Composer composer, double answerDelay)
    : profileID_(std::move(profileID)), composer_(std::move(composer)), answerDelay_(answerDelay) {}

AnsweringMember::~AnsweringMember() {
    stop();
}

Promise<void> AnsweringMember::start(const QString& host, const QString& domain, const QString& password,
                                     const QByteArray& certificateAuthority) {
    domain_ = domain;
    password_ = password;
    stream_ = std::make_shared<xmpp::XMPPStream>();
    stream_->addDelegate(weak_from_this(), nullptr);
    stream_->setHostName(host);
    stream_->setMyJID(xmpp::XMPPJID::jidWithUser(profileID_, domain, QStringLiteral("sandbox")));
    stream_->setTrustedCertificateAuthorities(certificateAuthority);
    auto [promise, resolver] = Promise<void>::pending();
    starting_ = resolver;
    Error error;
    if (!stream_->connectWithTimeout(30, &error)) failStart(error.description());
    return promise;
}

void AnsweringMember::stop() {
    online_ = false;
    if (stream_) {
        stream_->removeDelegate(this);
        stream_->disconnect();
        stream_.reset();
    }
    failStart(QStringLiteral("stopped"));
}

void AnsweringMember::failStart(const QString& reason) {
    if (!starting_) return;
    starting_->reject(
        Error(answeringMemberErrorDomain, 1, {{ErrorDescriptionKey, profileID_ + ": " + reason}}));
    starting_.reset();
}

void AnsweringMember::xmppStreamDidConnect(xmpp::XMPPStream& sender) {
    sender.authenticateWithPassword(password_);
}

void AnsweringMember::xmppStreamDidAuthenticate(xmpp::XMPPStream& sender) {
    sender.sendElement(xmpp::XMPPPresence());
    online_ = true;
    if (starting_) starting_->fulfill();
    starting_.reset();
}

void AnsweringMember::xmppStreamDidNotAuthenticate(xmpp::XMPPStream& sender, const xmpp::XMLElement& error) {
    failStart(QStringLiteral("sign-in refused"));
    sender.disconnect();
}

void AnsweringMember::xmppStreamDidDisconnect(xmpp::XMPPStream& sender, const std::optional<Error>& error) {
    online_ = false;
    failStart(error ? error->description() : QStringLiteral("disconnected"));
}

void AnsweringMember::xmppStreamDidReceiveMessage(xmpp::XMPPStream& sender,
                                                  const xmpp::XMPPMessage& message) {
    const std::optional<ChatBody> received = ChatStanzas::readChatBody(message);
    const std::optional<xmpp::XMPPJID> from = message.from();
    if (!received || !from || !answeredTypes.contains(received->type)) return;
    mark(from->user(), message.elementID());
    answerLater(from->user(), *received);
}

void AnsweringMember::mark(const QString& senderID, const QString& messageID) {
    for (const auto addMarker : {&xmpp::addReceivedChatMarkerWithID, &xmpp::addDisplayedChatMarkerWithID}) {
        xmpp::XMPPMessage marker;
        if (const auto to = xmpp::XMPPJID::jidWithUser(senderID, domain_)) marker.setTo(*to);
        addMarker(marker, messageID);
        // As the client does: the archive keeps a bodyless message only when asked to.
        ChatStanzas::addStoreHint(marker);
        if (stream_) stream_->sendElement(marker);
    }
}

void AnsweringMember::answerLater(const QString& senderID, const ChatBody& received) {
    const std::weak_ptr<AnsweringMember> weakSelf = weak_from_this();
    QTimer::singleShot(static_cast<int>(answerDelay_ * 1000), [weakSelf, senderID, received] {
        const std::shared_ptr<AnsweringMember> self = weakSelf.lock();
        if (!self || !self->composer_) return;
        if (const std::optional<ChatBody> answer = self->composer_(senderID, received))
            self->send(senderID, *answer);
    });
}

QString AnsweringMember::send(const QString& targetID, const ChatBody& content) {
    const QString messageID = makeUUIDString();
    ChatBody stamped = content;
    if (stamped.timestamp == 0) stamped.timestamp = qint64(Date::now().millisecondsSince1970());
    if (stream_)
        stream_->sendElement(ChatStanzas::chatMessage(messageID, profileID_, targetID, domain_, stamped));
    return messageID;
}

}  // namespace tovrin::sandbox
