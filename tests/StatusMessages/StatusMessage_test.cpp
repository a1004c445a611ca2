#include "StatusMessages/StatusMessage.h"

#include <gtest/gtest.h>

#include "StatusMessages/StatusMessageQueue.h"

#include <vector>

namespace tovrin {
namespace {

struct ConstructionCase {
    const char* name;
    qint64 style;
    bool withBlock;
    // Empty when the pairing is valid; else the stop message it must give.
    const char* fatalMessage;
};

class StatusMessageConstruction : public testing::TestWithParam<ConstructionCase> {};

TEST_P(StatusMessageConstruction, AcceptsOnlyMatchingStyleAndBlock) {
    const ConstructionCase& c = GetParam();
    StatusMessageActionBlock block = c.withBlock ? StatusMessageActionBlock([] {}) : nullptr;
    if (*c.fatalMessage) {
        EXPECT_DEATH(StatusMessage("text", c.style, block), c.fatalMessage);
        EXPECT_DEATH(StatusMessage::validateStatusMessageStyle(c.style, block), c.fatalMessage);
    } else {
        StatusMessage message("text", c.style, block);
        EXPECT_EQ(message.statusMessageStyle(), c.style);
        EXPECT_EQ(bool(message.actionBlock()), c.withBlock);
    }
}

constexpr const char* kRefused = "actionBlock was specified with a style that doesn't support it";
constexpr const char* kRequired = "actionBlock is required";

INSTANTIATE_TEST_SUITE_P(Styles, StatusMessageConstruction,
                         testing::Values(ConstructionCase{"ErrorWithout", 0, false, ""},
                                         ConstructionCase{"ErrorWith", 0, true, kRefused},
                                         ConstructionCase{"RetryWithout", 1, false, kRequired},
                                         ConstructionCase{"RetryWith", 1, true, ""},
                                         ConstructionCase{"FixProblemWithout", 2, false, kRequired},
                                         ConstructionCase{"FixProblemWith", 2, true, ""},
                                         ConstructionCase{"InformationWithout", 3, false, ""},
                                         ConstructionCase{"InformationWith", 3, true, kRefused},
                                         ConstructionCase{"UnknownWithout", 7, false, kRequired},
                                         ConstructionCase{"UnknownWith", 7, true, ""}),
                         [](const testing::TestParamInfo<ConstructionCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(StatusMessageTest, DefaultIsInformationWithNothingElse) {
    StatusMessage message;
    EXPECT_EQ(message.statusMessageStyle(), StatusMessageStyleInformation);
    EXPECT_TRUE(message.message().isNull());
    EXPECT_TRUE(message.image().isNull());
    EXPECT_FALSE(message.actionBlock());
}

TEST(StatusMessageTest, RetryKeepsImageAndBlockAndCopiesText) {
    QString text = "Unable to save";
    QImage image(4, 4, QImage::Format_ARGB32);
    int runs = 0;
    StatusMessage message(text, StatusMessageStyleRetry, image, [&runs] { ++runs; });
    text.append(" later");
    EXPECT_EQ(message.message(), "Unable to save");
    EXPECT_EQ(message.image().size(), QSize(4, 4));
    message.actionBlock()();
    EXPECT_EQ(runs, 1);
}

class RecordingDelegate : public StatusMessageQueueDelegate {
public:
    void statusMessageQueueDidReceiveStatusMessage(StatusMessageQueue& queue,
                                                   const StatusMessage& message) override {
        queues.push_back(&queue);
        texts.push_back(message.message());
    }
    std::vector<StatusMessageQueue*> queues;
    QStringList texts;
};

TEST(StatusMessageQueueTest, DeliversEachMessageBeforeReturning) {
    auto delegate = std::make_shared<RecordingDelegate>();
    StatusMessageQueue queue(delegate);
    queue.enqueueStatusMessage(StatusMessage("first", StatusMessageStyleError));
    EXPECT_EQ(delegate->texts, QStringList{"first"});
    queue.enqueueStatusMessage(StatusMessage("second", StatusMessageStyleInformation));
    EXPECT_EQ(delegate->texts, (QStringList{"first", "second"}));
    EXPECT_EQ(delegate->queues, (std::vector<StatusMessageQueue*>{&queue, &queue}));
}

TEST(StatusMessageQueueTest, DropsMessagesOnceTheDelegateIsGone) {
    StatusMessageQueue queue;
    queue.enqueueStatusMessage(StatusMessage("no delegate yet", StatusMessageStyleError));
    auto delegate = std::make_shared<RecordingDelegate>();
    queue.setDelegate(delegate);
    delegate.reset();
    queue.enqueueStatusMessage(StatusMessage("after release", StatusMessageStyleError));
    EXPECT_TRUE(queue.delegate().expired());
}

}  // namespace
}  // namespace tovrin
