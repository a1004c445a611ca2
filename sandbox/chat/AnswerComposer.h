#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "sandbox/chat/ChatStanzas.h"

namespace tovrin::sandbox {

class MediaStore;
class World;

// What members of the sandbox say: the answers of the members it runs (a text to a text, a freshly
// drawn photo to a photo, their own position to a position) and the messages the admin interface
// has a member send.
class AnswerComposer {
public:
    AnswerComposer(std::shared_ptr<World> world, std::shared_ptr<MediaStore> media);

    // Nothing when the member no longer exists or blocks, or is blocked by, the sender.
    std::optional<ChatBody> answer(const QString& memberID, const QString& senderID,
                                   const ChatBody& received);
    // A message of the member of that kind: "text" with the text, "image" with a drawn photo, "map"
    // with the member's position. Nothing for an unknown member or kind.
    std::optional<ChatBody> compose(const QString& memberID, const QString& type, const QString& text);

private:
    QString cannedText(const ChatBody& received) const;

    std::shared_ptr<World> world_;
    std::shared_ptr<MediaStore> media_;
    quint64 messageCount_ = 0;
};

}  // namespace tovrin::sandbox
