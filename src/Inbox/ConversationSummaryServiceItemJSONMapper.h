#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "Chat/ChatMessage.h"
#include "Inbox/ConversationSummaryServiceItem.h"
#include "platform/di/Inject.h"

namespace tovrin {

class NearbyUserJSONMapper;

// Reads the conversation items of the service's conversation list. Nothing in an item fails the
// page: a member that is null or of another JSON type reads as absent (0, no, empty). An item whose
// peer has no profile id gives nothing, since the inbox keys its rows by it, and a last message of
// a kind the inbox does not show ("block") is left out of the list. Safe on any thread.
class ConversationSummaryServiceItemJSONMapper {
public:
    explicit ConversationSummaryServiceItemJSONMapper(
        std::shared_ptr<NearbyUserJSONMapper> nearbyUserJSONMapper);

    using Dependencies = Inject<NearbyUserJSONMapper>;

    // Nothing for an item without a peer.
    std::shared_ptr<ConversationSummaryServiceItem> conversationSummaryServiceItemWithJSONDictionary(
        const QJsonObject& dictionary) const;
    // In the array's order; elements that are no message of a known kind are skipped.
    std::vector<std::shared_ptr<ChatMessage>> messagesFromJSONArray(const QJsonArray& array,
                                                                    const QString& chatUserProfileId) const;
    // Nothing for a "type" other than "text", "map" and "image".
    std::shared_ptr<ChatMessage> chatMessageFromJSONDictionary(const QJsonObject& dictionary,
                                                               const QString& chatUserProfileId) const;
    std::shared_ptr<ChatMessage> textMessageFromJSONDictionary(const QJsonObject& dictionary,
                                                               const QString& chatUserProfileId) const;
    // A body without both coordinates as finite numbers in range gives a message without a position,
    // never one at 0, 0.
    std::shared_ptr<ChatMessage> locationMessageFromJSONDictionary(const QJsonObject& dictionary,
                                                                   const QString& chatUserProfileId) const;
    // A body without a string "imageHash" gives a photo without hash.
    std::shared_ptr<ChatMessage> imageMediaHashMessageFromJSONDictionary(
        const QJsonObject& dictionary, const QString& chatUserProfileId) const;
    // Received (2) when the peer sent it, else sent (0).
    static quint32 chatMessageStatusFromJSONDictionary(const QJsonObject& dictionary,
                                                       const QString& chatUserProfileId);
    // Milliseconds since 1970 as a signed 64-bit count; a value that is no number is 1970 itself.
    static Date dateFromMilliseconds(const QJsonValue& number);
    // The object the JSON text holds; nothing for text that is no JSON object.
    static std::optional<QJsonObject> dictionaryFromJSONString(const QString& string);

    const std::shared_ptr<NearbyUserJSONMapper>& nearbyUserJSONMapper() const {
        return nearbyUserJSONMapper_;
    }

private:
    std::shared_ptr<NearbyUserJSONMapper> nearbyUserJSONMapper_;
};

}  // namespace tovrin
