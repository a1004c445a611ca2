#include <gtest/gtest.h>

#include "Chat/BlockMessage.h"
#include "Chat/ChatConversationDeletionMessage.h"
#include "Chat/ChatMessageAcknowledgement.h"
#include "Chat/ChatMessageDeletion.h"
#include "Chat/DirectedMessageCategorizer.h"
#include "Chat/DirectedMessagesCategorizer.h"
#include "Chat/FailedToSendImageMessage.h"
#include "Chat/ImageMediaHashMessage.h"
#include "Chat/LocationMessage.h"
#include "Chat/TextMessage.h"

namespace tovrin {
namespace {

using Messages = std::vector<std::shared_ptr<DirectedMessage>>;

std::vector<std::shared_ptr<ChatMessage>> chatMessagesWithStatus(quint32 status) {
    return {std::make_shared<TextMessage>("t", "sender", "target", "hi", Date(1), status),
            std::make_shared<ImageMediaHashMessage>("i", "sender", "target", Date(1), status, "hash"),
            std::make_shared<LocationMessage>("l", "sender", "target", Date(1), status, std::nullopt),
            std::make_shared<BlockMessage>("b", "sender", "target", Date(1), status)};
}

TEST(DirectedMessages, ReceivedMessagesBelongWithTheirSenderAndOthersWithTheirTarget) {
    for (const quint32 status : {0u, 1u, 2u}) {
        for (const auto& message : chatMessagesWithStatus(status)) {
            EXPECT_EQ(message->exchangedInConversationWithProfileID(), status == 2 ? "sender" : "target")
                << message->messageID().toStdString() << status;
        }
    }
}

TEST(DirectedMessages, OnlyThePhotoSizeAndTheFailedPhotosPeerChangeAfterCreation) {
    ImageMediaHashMessage photo("i", "a", "b", Date(1), 0, "hash");
    EXPECT_EQ(photo.imageSize(), QSizeF(1, 1));
    EXPECT_FALSE(photo.didReceiveFromXMPP());
    photo.setImageSize(QSizeF(640, 480));
    EXPECT_EQ(photo.imageSize(), QSizeF(640, 480));

    FailedToSendImageMessage failed("f", "me", "peer", Date(1), 1, QImage(2, 2, QImage::Format_RGB32));
    EXPECT_EQ(failed.exchangedInConversationWithProfileID(), "");
    failed.setExchangedInConversationWithProfileID("peer");
    EXPECT_EQ(failed.exchangedInConversationWithProfileID(), "peer");
    EXPECT_EQ(failed.image().size(), QSize(2, 2));
}

TEST(DirectedMessages, TextAndBlockMessagesDescribeThemselves) {
    EXPECT_EQ(TextMessage("m", "from", "to", "hi", Date(1), 2, true).description(),
              "<TextMessage: id: m, to: to, from: from, text: hi, didReceiveFromXMPP: 1>");
    EXPECT_EQ(BlockMessage("m", "from", "to", Date(1), 0).description(),
              "<BlockMessage: id: m, to: to, from: from>");
}

TEST(DirectedMessageCategorizer, EachKindPassesItsOwnTestsOnly) {
    using C = DirectedMessageCategorizer;
    struct Case {
        std::shared_ptr<DirectedMessage> message;
        std::vector<bool (*)(const DirectedMessage*)> passes;
    };
    const Case cases[] = {
        {std::make_shared<TextMessage>("t", "a", "b", "hi", Date(1), 0),
         {C::isChatMessage, C::isTextMessage}},
        {std::make_shared<ImageMediaHashMessage>("i", "a", "b", Date(1), 0, "h"),
         {C::isChatMessage, C::isImageHashMessage}},
        {std::make_shared<LocationMessage>("l", "a", "b", Date(1), 0, Coordinate{}),
         {C::isChatMessage, C::isLocationMessage}},
        {std::make_shared<FailedToSendImageMessage>("f", "a", "b", Date(1), 1, QImage()),
         {C::isChatMessage, C::isFailedImageMessage}},
        {std::make_shared<BlockMessage>("b", "a", "b", Date(1), 0), {C::isBlockMessage}},
        {std::make_shared<ChatMessageAcknowledgement>("m", "a", "b", 1), {C::isChatMessageAcknowledgement}},
        {std::make_shared<ChatMessageDeletion>(QStringList{"m"}, "a"), {C::isChatMessageDeletion}},
        {std::make_shared<ChatConversationDeletionMessage>("m", "a"), {C::isChatConversationDeletion}},
        {nullptr, {}},
    };
    const std::vector<bool (*)(const DirectedMessage*)> tests = {C::isChatMessage,
                                                                 C::isChatMessageDeletion,
                                                                 C::isChatConversationDeletion,
                                                                 C::isChatMessageAcknowledgement,
                                                                 C::isBlockMessage,
                                                                 C::isTextMessage,
                                                                 C::isImageHashMessage,
                                                                 C::isFailedImageMessage,
                                                                 C::isLocationMessage};
    for (size_t index = 0; index < std::size(cases); ++index) {
        for (size_t test = 0; test < tests.size(); ++test) {
            const bool expected = std::find(cases[index].passes.begin(), cases[index].passes.end(),
                                            tests[test]) != cases[index].passes.end();
            EXPECT_EQ(tests[test](cases[index].message.get()), expected)
                << "case " << index << ", test " << test;
        }
    }
}

TEST(DirectedMessagesCategorizer, SplitsAPageByKindInInputOrder) {
    auto block = std::make_shared<BlockMessage>("b", "a", "b", Date(1), 0);
    auto first = std::make_shared<TextMessage>("1", "a", "b", "x", Date(1), 0);
    auto acknowledgement = std::make_shared<ChatMessageAcknowledgement>("1", "a", "b", 0);
    auto second = std::make_shared<TextMessage>("2", "a", "b", "y", Date(2), 0);
    auto deletion = std::make_shared<ChatMessageDeletion>(QStringList{"1"}, "a");
    const DirectedMessagesCategorizer split(Messages{block, first, acknowledgement, second, deletion});
    EXPECT_EQ(split.chatMessages(), (Messages{first, second}));
    EXPECT_EQ(split.chatMessageAcknowledgements(), Messages{acknowledgement});
    EXPECT_EQ(split.chatMessageDeletions(), Messages{deletion});
    EXPECT_TRUE(split.chatMessageConversationDeletions().empty());

    const DirectedMessagesCategorizer empty(Messages{});
    EXPECT_TRUE(empty.chatMessages().empty());
    EXPECT_TRUE(empty.chatMessageDeletions().empty());
}

}  // namespace
}  // namespace tovrin
