#pragma once

#include <optional>

#include "Chat/ArchivableChatMessage.h"

namespace tovrin {

class TextMessage : public ArchivableChatMessage {
public:
    TextMessage(QString messageID, QString senderProfileID, QString targetProfileID,
                std::optional<QString> text, Date sentDate, quint32 status, bool didReceiveFromXMPP = false)
        : ArchivableChatMessage(std::move(messageID), std::move(senderProfileID), std::move(targetProfileID),
                                sentDate, status, didReceiveFromXMPP),
          text_(std::move(text)) {}

    // Absent when the stanza carried none.
    const std::optional<QString>& text() const { return text_; }

    QString description() const;

private:
    std::optional<QString> text_;
};

}  // namespace tovrin
