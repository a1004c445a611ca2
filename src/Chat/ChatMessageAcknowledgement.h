#pragma once

#include "Chat/DirectedMessage.h"

namespace tovrin {

enum ChatMessageAcknowledgementType : quint32 {
    ChatMessageAcknowledgementTypeServer = 0,     // stream management
    ChatMessageAcknowledgementTypeReceived = 1,   // chat marker "received"
    ChatMessageAcknowledgementTypeDisplayed = 2,  // chat marker "displayed"
};

class ChatMessageAcknowledgement : public DirectedMessage {
public:
    ChatMessageAcknowledgement(QString acknowledgedMessageID, QString exchangedInConversationWithProfileID,
                               QString originalMessageRecipientProfileID, quint32 type)
        : acknowledgedMessageID_(std::move(acknowledgedMessageID)),
          exchangedInConversationWithProfileID_(std::move(exchangedInConversationWithProfileID)),
          originalMessageRecipientProfileID_(std::move(originalMessageRecipientProfileID)),
          type_(type) {}

    const QString& acknowledgedMessageID() const { return acknowledgedMessageID_; }
    QString exchangedInConversationWithProfileID() const override {
        return exchangedInConversationWithProfileID_;
    }
    // The member the acknowledged message was sent to.
    const QString& originalMessageRecipientProfileID() const { return originalMessageRecipientProfileID_; }
    quint32 type() const { return type_; }

private:
    QString acknowledgedMessageID_;
    QString exchangedInConversationWithProfileID_;
    QString originalMessageRecipientProfileID_;
    quint32 type_;
};

}  // namespace tovrin
