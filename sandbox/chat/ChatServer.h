#pragma once

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

#include "platform/promise/Promise.h"
#include "platform/xmpp/XMPPMessage.h"
#include "sandbox/ejabberd/EjabberdServer.h"

namespace tovrin::sandbox {

// The sandbox's chat server: ejabberd with the members' accounts, whose passwords are the chat
// tokens the web service issues, and the messages the service itself sends. Operations on one
// account run one after another, in the order asked.
class ChatServer : public std::enable_shared_from_this<ChatServer> {
public:
    ChatServer(const QString& domain, const QByteArray& certificateChain, const QUrl& sentMessageReportURL);

    Promise<void> start();
    void stop();
    // Starts again without accounts, archives or stored messages.
    Promise<void> restartEmpty();

    // The address clients connect to and the domain of the members' addresses.
    const QString& host() const { return server_.address(); }
    const QString& domain() const { return server_.domain(); }
    QString addressOf(const QString& profileID) const;

    // The member's chat password becomes `password`; the first time, the account is made.
    Promise<void> setPassword(const QString& profileID, const QString& password);
    // Makes an account (with an unguessable password) for a member who has none, so that the
    // server keeps the messages sent to the member.
    Promise<void> ensureAccount(const QString& profileID);
    Promise<void> removeAccount(const QString& profileID);
    Promise<void> closeSessions(const QString& profileID);
    // Delivers the message as if the member `senderID` had sent it (its "from" is set to that
    // member's address), once the recipient has an account.
    Promise<void> sendAs(const QString& senderID, xmpp::XMPPMessage message);

    EjabberdServer& server() { return server_; }

private:
    Promise<void> afterPrevious(const QString& profileID,
                                std::function<Promise<void>(ChatServer&)> operation);
    Promise<void> registerAccount(const QString& profileID, const QString& password);

    EjabberdServer server_;
    QSet<QString> accounts_;
    QMap<QString, Promise<void>> lastOperations_;
};

}  // namespace tovrin::sandbox
