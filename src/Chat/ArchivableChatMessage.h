#pragma once

#include "Chat/ChatMessage.h"

namespace tovrin {

// A chat message that can also come from the server's archive: text, photo and location messages.
class ArchivableChatMessage : public ChatMessage {
public:
    // Yes for a message read from a chat stanza (live or archived) or stored as such; no for one
    // made from a conversations item of the web service or on the phone. Only such a message may
    // replace a stored one with the same id.
    bool didReceiveFromXMPP() const { return didReceiveFromXMPP_; }

protected:
    ArchivableChatMessage(QString messageID, QString senderProfileID, QString targetProfileID, Date sentDate,
                          quint32 status, bool didReceiveFromXMPP)
        : ChatMessage(std::move(messageID), std::move(senderProfileID), std::move(targetProfileID), sentDate,
                      status),
          didReceiveFromXMPP_(didReceiveFromXMPP) {}

private:
    bool didReceiveFromXMPP_;
};

}  // namespace tovrin
