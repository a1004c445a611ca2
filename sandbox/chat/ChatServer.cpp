#include "sandbox/chat/ChatServer.h"

#include "sandbox/world/World.h"

namespace tovrin::sandbox {

ChatServer::ChatServer(const QString& domain, const QByteArray& certificateChain,
                       const QUrl& sentMessageReportURL)
    : server_(domain, certificateChain, sentMessageReportURL) {}

Promise<void> ChatServer::start() {
    return server_.start();
}

void ChatServer::stop() {
    server_.stop();
}

Promise<void> ChatServer::restartEmpty() {
    server_.stop();
    server_.eraseData();
    accounts_.clear();
    lastOperations_.clear();
    return server_.start();
}

QString ChatServer::addressOf(const QString& profileID) const {
    return profileID + QLatin1Char('@') + server_.domain();
}

Promise<void> ChatServer::afterPrevious(const QString& profileID,
                                        std::function<Promise<void>(ChatServer&)> operation) {
    const Promise<void> previous = lastOperations_.value(profileID, Promise<void>::resolved());
    // Whatever became of the previous operation, this one runs after it, unless the server went.
    const std::weak_ptr<ChatServer> weakSelf = weak_from_this();
    const Promise<void> next =
        previous.catchError([](const Error&) { return Promise<void>::resolved(); })
            .then([weakSelf, operation = std::move(operation)] {
                const std::shared_ptr<ChatServer> self = weakSelf.lock();
                if (!self) return Promise<void>::rejected(Error(QStringLiteral("ChatServer"), 1));
                return operation(*self);
            });
    lastOperations_.insert(profileID, next);
    return next;
}

Promise<void> ChatServer::registerAccount(const QString& profileID, const QString& password) {
    accounts_.insert(profileID);
    return server_.createAccount(profileID, password);
}

Promise<void> ChatServer::setPassword(const QString& profileID, const QString& password) {
    return afterPrevious(profileID, [profileID, password](ChatServer& self) {
        if (!self.accounts_.contains(profileID)) return self.registerAccount(profileID, password);
        return self.server_.setPassword(profileID, password);
    });
}

Promise<void> ChatServer::ensureAccount(const QString& profileID) {
    return afterPrevious(profileID, [profileID](ChatServer& self) {
        if (self.accounts_.contains(profileID)) return Promise<void>::resolved();
        return self.registerAccount(profileID, World::randomToken());
    });
}

Promise<void> ChatServer::removeAccount(const QString& profileID) {
    return afterPrevious(profileID, [profileID](ChatServer& self) {
        self.accounts_.remove(profileID);
        return self.server_.removeAccount(profileID);
    });
}

Promise<void> ChatServer::closeSessions(const QString& profileID) {
    return server_.kickUser(profileID);
}

Promise<void> ChatServer::sendAs(const QString& senderID, xmpp::XMPPMessage message) {
    message.addAttributeWithName(QStringLiteral("from"), addressOf(senderID));
    const std::optional<xmpp::XMPPJID> recipient = message.to();
    const std::weak_ptr<ChatServer> weakSelf = weak_from_this();
    return ensureAccount(recipient ? recipient->user() : QString()).then([weakSelf, senderID, message] {
        const std::shared_ptr<ChatServer> self = weakSelf.lock();
        if (!self) return Promise<void>::rejected(Error(QStringLiteral("ChatServer"), 1));
        return self->server_.sendStanza(self->addressOf(senderID), message.toStr(),
                                        message.compactXMLString());
    });
}

}  // namespace tovrin::sandbox
