#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "platform/promise/Promise.h"
#include "platform/xmpp/XMPPStream.h"
#include "platform/xmpp/XMPPStreamDelegate.h"
#include "sandbox/chat/ChatStanzas.h"

namespace tovrin::sandbox {

// A member the sandbox runs: signed in to the chat server through the project's own XMPP layer,
// it marks every chat message it receives as received and displayed and answers it after a delay,
// with what the composer makes of it.
class AnsweringMember : public xmpp::XMPPStreamDelegate,
                        public std::enable_shared_from_this<AnsweringMember> {
public:
    // The answer to a message from `senderID`; nothing for no answer.
    using Composer =
        std::function<std::optional<ChatBody>(const QString& senderID, const ChatBody& received)>;

    AnsweringMember(QString profileID, Composer composer, double answerDelay);
    ~AnsweringMember() override;

    // Settles once the member is signed in and present, or fails.
    Promise<void> start(const QString& host, const QString& domain, const QString& password,
                        const QByteArray& certificateAuthority);
    void stop();
    bool isOnline() const { return online_; }
    const QString& profileID() const { return profileID_; }

    // Sends a chat message as this member; its message id.
    QString send(const QString& targetID, const ChatBody& content);

private:
    void xmppStreamDidConnect(xmpp::XMPPStream& sender) override;
    void xmppStreamDidAuthenticate(xmpp::XMPPStream& sender) override;
    void xmppStreamDidNotAuthenticate(xmpp::XMPPStream& sender, const xmpp::XMLElement& error) override;
    void xmppStreamDidReceiveMessage(xmpp::XMPPStream& sender, const xmpp::XMPPMessage& message) override;
    void xmppStreamDidDisconnect(xmpp::XMPPStream& sender, const std::optional<Error>& error) override;

    void mark(const QString& senderID, const QString& messageID);
    void answerLater(const QString& senderID, const ChatBody& received);
    void failStart(const QString& reason);

    const QString profileID_;
    const Composer composer_;
    const double answerDelay_;
    QString domain_;
    QString password_;
    std::shared_ptr<xmpp::XMPPStream> stream_;
    std::optional<Resolver<void>> starting_;
    bool online_ = false;
};

}  // namespace tovrin::sandbox
