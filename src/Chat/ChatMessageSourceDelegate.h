#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "Chat/ArchiveMessageResultIDs.h"

namespace tovrin {

class ChatMessage;
class ChatMessageSource;
class Conversation;
class DirectedMessage;

enum ArchiveQueryFetchingDirection : quint32 {
    ArchiveQueryFetchingDirectionOlder = 0,
    ArchiveQueryFetchingDirectionNewer = 1,
};

// Receives what a message source reports; the first argument is always the reporting source.
class ChatMessageSourceDelegate {
public:
    virtual ~ChatMessageSourceDelegate() = default;

    // One live item.
    virtual void messageSourceDidReceiveDirectedMessage(ChatMessageSource& source,
                                                        const std::shared_ptr<DirectedMessage>& message) = 0;
    // One page of the server's chat archive.
    virtual void messageSourceDidReceiveArchivedDirectedMessages(
        ChatMessageSource& source, const std::vector<std::shared_ptr<DirectedMessage>>& messages,
        const QString& queryID, bool hasExhaustedHistory,
        const ArchiveMessageResultIDs& archiveMessageResultIDs, quint32 queryFetchingDirection) = 0;
    // Chat messages read back from the local store for the conversation that asked.
    virtual void messageSourceDidReceivePersistedChatMessages(
        ChatMessageSource& source, const std::vector<std::shared_ptr<ChatMessage>>& messages,
        const std::shared_ptr<Conversation>& conversation) = 0;
};

}  // namespace tovrin
