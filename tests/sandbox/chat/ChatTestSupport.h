#pragma once

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

#include "fixtures/xmpp/XMPPTestDoubles.h"
#include "platform/foundation/Date.h"
#include "platform/xmpp/XEP-0004/XMPPDataForm.h"
#include "platform/xmpp/XEP-0059/XMPPResultSet.h"
#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"
#include "platform/xmpp/XMPPStream.h"
#include "sandbox/Sandbox.h"
#include "sandbox/SandboxTestSupport.h"

namespace tovrin::test {

// A chat message as the client writes it: type "chat", the JSON body with the seven members, and
// the markable marker.
inline xmpp::XMPPMessage clientChatMessage(const QString& messageID, const QString& senderID,
                                           const QString& targetID, const QString& domain,
                                           const QString& type, const QString& body) {
    const QJsonObject json{{"sourceProfileId", senderID},
                           {"sourceDisplayName", "TEMPORARY_VALUE"},
                           {"targetProfileId", targetID},
                           {"messageId", messageID},
                           {"timestamp", qint64(Date::now().millisecondsSince1970())},
                           {"type", type},
                           {"body", body}};
    xmpp::XMPPMessage message =
        xmpp::XMPPMessage::messageWithType("chat", xmpp::XMPPJID::jidWithUser(targetID, domain));
    message.setElementID(messageID);
    message.addBody(QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Compact)));
    xmpp::addMarkableChatMarker(message);
    return message;
}

// The JSON body of a received chat message.
inline QJsonObject chatBodyOf(const xmpp::XMLElement& message) {
    return QJsonDocument::fromJson(xmpp::XMPPMessage(message).body().toUtf8()).object();
}

// One member's chat connection to the sandbox's chat server, set up as the chat engine sets up its
// own: STARTTLS required, the sandbox's authority trusted, signed in with the chat token.
class ChatConnection {
public:
    ChatConnection(const sandbox::Sandbox& sandbox, QString profileID)
        : profileID_(std::move(profileID)), domain_(sandbox.chatDomain()) {
        stream->setHostName(sandbox.chatHost());
        stream->setMyJID(xmpp::XMPPJID::jidWithUser(profileID_, domain_, QStringLiteral("phone")));
        stream->setTrustedCertificateAuthorities(sandbox::Sandbox::certificateAuthority());
        stream->addDelegate(events, nullptr);
    }

    // The disconnection ends once the server has closed its side (or after its time-out).
    ~ChatConnection() {
        stream->disconnect();
        runUntil([&] { return stream->isDisconnected(); }, sandboxPatience);
    }

    // Signed in and present: the server routes messages to this connection.
    testing::AssertionResult signIn(const QString& xmppToken) {
        if (!stream->connectWithTimeout(xmpp::XMPPStream::XMPPStreamTimeoutNone))
            return testing::AssertionFailure() << "not connecting";
        if (!events->waitFor("connected", 1, sandboxPatience))
            return testing::AssertionFailure() << "not connected";
        stream->authenticateWithPassword(xmppToken);
        if (!runUntil([&] { return events->count("authenticated") + events->count("notAuthenticated") > 0; },
                      sandboxPatience))
            return testing::AssertionFailure() << "no answer to the sign-in";
        if (events->count("authenticated") == 0) return testing::AssertionFailure() << "sign-in refused";
        stream->sendElement(xmpp::XMPPPresence());
        if (!events->waitFor("receivedPresence", 1, sandboxPatience))
            return testing::AssertionFailure() << "not present";
        return testing::AssertionSuccess();
    }

    // Sends a chat message of that kind; its id.
    QString send(const QString& targetID, const QString& type, const QString& body) {
        const QString messageID = xmpp::XMPPStream::generateUUID();
        stream->sendElement(clientChatMessage(messageID, profileID_, targetID, domain_, type, body));
        return messageID;
    }

    void markDisplayed(const QString& senderID, const QString& messageID) {
        xmpp::XMPPMessage marker;
        marker.setTo(*xmpp::XMPPJID::jidWithUser(senderID, domain_));
        xmpp::addDisplayedChatMarkerWithID(marker, messageID);
        addStoreHint(marker);
        stream->sendElement(marker);
    }

    // A deletion marker, as the client sends it to its own address.
    void deleteMessages(const QString& peerID, const QStringList& messageIDs) {
        xmpp::XMPPMessage marker;
        marker.setTo(*xmpp::XMPPJID::jidWithUser(profileID_, domain_));
        xmpp::XMLElement deletion(QStringLiteral("delete"), QStringLiteral("urn:tovrin:delete-marker:0"));
        deletion.addAttributeWithName("jid", xmpp::XMPPJID::jidWithUser(peerID, domain_)->full());
        for (const QString& id : messageIDs) deletion.addChild(xmpp::XMLElement::elementWithName("id", id));
        marker.addChild(deletion);
        addStoreHint(marker);
        stream->sendElement(marker);
    }

    // Waits for a received message the predicate accepts; a null element when none came.
    xmpp::XMLElement waitForMessage(const std::function<bool(const xmpp::XMPPMessage&)>& accepts) {
        xmpp::XMLElement found;
        runUntil(
            [&] {
                for (const xmpp::XMLElement& message : events->all("receivedMessage")) {
                    if (accepts(xmpp::XMPPMessage(message))) found = message;
                }
                return !found.isNull();
            },
            sandboxPatience);
        return found;
    }

    // The chat message of that kind from the sender, once it came.
    xmpp::XMLElement waitForChatMessage(const QString& senderID, const QString& type) {
        return waitForMessage([&](const xmpp::XMPPMessage& message) {
            return message.isChatMessage() && message.from() && message.from()->user() == senderID &&
                   chatBodyOf(message).value("type") == type;
        });
    }

    // The archived messages exchanged with the peer, newest page, as the chat engine asks for them
    // ("urn:xmpp:mam:0", a submitted form, pages of 50 before the newest).
    QList<xmpp::XMPPMessage> archive(const QString& peerID) {
        const QString queryID = xmpp::XMPPStream::generateUUID();
        xmpp::XMLElement query(QStringLiteral("query"), QStringLiteral("urn:xmpp:mam:0"));
        query.addAttributeWithName(QStringLiteral("queryid"), queryID);
        xmpp::XMPPDataForm form = xmpp::XMPPDataForm::formWithType(QStringLiteral("submit"));
        form.addField(xmpp::XMPPDataFormField::fieldWithVarStringValue("FORM_TYPE", "urn:xmpp:mam:0"));
        form.addField(xmpp::XMPPDataFormField::fieldWithVarJidValue(
            "with", *xmpp::XMPPJID::jidWithUser(peerID, domain_)));
        query.addChild(form);
        query.addChild(xmpp::XMPPResultSet::resultSetWithMaxBefore(50, QString()));
        stream->sendElement(xmpp::XMPPIQ::iqWithType("set", xmpp::XMPPStream::generateUUID(), query));
        const xmpp::XMLElement fin = waitForMessage([&](const xmpp::XMPPMessage& message) {
            return message.elementForName("fin").attributeStringValueForName("queryid") == queryID;
        });
        EXPECT_FALSE(fin.isNull());
        QList<xmpp::XMPPMessage> archived;
        for (const xmpp::XMLElement& message : events->all("receivedMessage")) {
            const xmpp::XMLElement result = message.elementForName("result");
            if (result.attributeStringValueForName("queryid") != queryID) continue;
            archived << xmpp::XMPPMessage(result.elementForName("forwarded").elementForName("message"));
        }
        return archived;
    }

    std::shared_ptr<xmpp::XMPPStream> stream = std::make_shared<xmpp::XMPPStream>();
    std::shared_ptr<XMPPStreamRecorder> events = std::make_shared<XMPPStreamRecorder>();

private:
    // The archive keeps a bodyless message only when asked to.
    static void addStoreHint(xmpp::XMPPMessage& message) {
        message.addChild(xmpp::XMLElement(QStringLiteral("store"), QStringLiteral("urn:xmpp:hints")));
    }

    QString profileID_;
    QString domain_;
};

}  // namespace tovrin::test
