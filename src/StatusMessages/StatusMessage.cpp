#include "StatusMessages/StatusMessage.h"

#include "platform/foundation/Error.h"

namespace tovrin {

StatusMessage::StatusMessage() = default;

StatusMessage::StatusMessage(QString message, qint64 statusMessageStyle)
    : StatusMessage(std::move(message), statusMessageStyle, QImage(), nullptr) {}

StatusMessage::StatusMessage(QString message, qint64 statusMessageStyle, StatusMessageActionBlock actionBlock)
    : StatusMessage(std::move(message), statusMessageStyle, QImage(), std::move(actionBlock)) {}

StatusMessage::StatusMessage(QString message, qint64 statusMessageStyle, QImage image,
                             StatusMessageActionBlock actionBlock) {
    validateStatusMessageStyle(statusMessageStyle, actionBlock);
    message_ = std::move(message);
    statusMessageStyle_ = statusMessageStyle;
    image_ = std::move(image);
    actionBlock_ = std::move(actionBlock);
}

void StatusMessage::validateStatusMessageStyle(qint64 statusMessageStyle,
                                               const StatusMessageActionBlock& actionBlock) {
    const bool refusesBlock =
        statusMessageStyle == StatusMessageStyleError || statusMessageStyle == StatusMessageStyleInformation;
    if (refusesBlock && actionBlock)
        TVR_FATAL("actionBlock was specified with a style that doesn't support it");
    if (!refusesBlock && !actionBlock)
        TVR_FATAL("actionBlock is required for style " + QString::number(statusMessageStyle));
}

}  // namespace tovrin
