#include "sandbox/chat/AnswerComposer.h"

#include "sandbox/media/MediaStore.h"
#include "sandbox/media/PhotoPainter.h"
#include "sandbox/world/World.h"

namespace tovrin::sandbox {

namespace {

const char* const textAnswers[] = {
    "Hey! Nice to hear from you.", "You said “%1”. Tell me more!",  "Ha, I was just thinking about that.",
    "Sounds good to me.",          "Sorry, busy right now. Later?",
};

}  // namespace

AnswerComposer::AnswerComposer(std::shared_ptr<World> world, std::shared_ptr<MediaStore> media)
    : world_(std::move(world)), media_(std::move(media)) {}

std::optional<ChatBody> AnswerComposer::answer(const QString& memberID, const QString& senderID,
                                               const ChatBody& received) {
    if (world_->isBlockedBetween(memberID, senderID)) return std::nullopt;
    return compose(memberID, received.type, cannedText(received));
}

std::optional<ChatBody> AnswerComposer::compose(const QString& memberID, const QString& type,
                                                const QString& text) {
    Member* member = world_->member(memberID);
    if (member == nullptr) return std::nullopt;
    member->lastSeen = Date::now();
    ++messageCount_;
    if (type == QLatin1String("text")) return ChatBody{type, text, 0};
    if (type == QLatin1String("map")) return ChatBody{type, ChatStanzas::locationBody(member->position), 0};
    if (type != QLatin1String("image")) return std::nullopt;
    const quint64 seed = qHash(memberID) ^ (messageCount_ * 0x9E3779B97F4A7C15ULL);
    const QString hash =
        media_->addDrawnPhoto(QStringLiteral("snapshot:%1:%2").arg(memberID).arg(messageCount_),
                              [seed] { return PhotoPainter::snapshot(seed); });
    member->chatPhotos << hash;
    return ChatBody{type, ChatStanzas::imageBody(hash), 0};
}

QString AnswerComposer::cannedText(const ChatBody& received) const {
    const QString text = QString::fromUtf8(textAnswers[messageCount_ % std::size(textAnswers)]);
    return text.contains(QLatin1String("%1")) ? text.arg(received.body.left(80)) : text;
}

}  // namespace tovrin::sandbox
