#pragma once

#include <QImage>
#include <QString>

#include <functional>

namespace tovrin {

// What the banner's button does besides hiding the banner.
using StatusMessageActionBlock = std::function<void()>;

enum StatusMessageStyle : qint64 {
    StatusMessageStyleError = 0,
    StatusMessageStyleRetry = 1,
    StatusMessageStyleFixProblem = 2,
    StatusMessageStyleInformation = 3,
};

// One transient notice for the status banner; never changes once made.
class StatusMessage {
public:
    // No text, information style, no image, no action.
    StatusMessage();
    StatusMessage(QString message, qint64 statusMessageStyle);
    StatusMessage(QString message, qint64 statusMessageStyle, StatusMessageActionBlock actionBlock);
    StatusMessage(QString message, qint64 statusMessageStyle, QImage image,
                  StatusMessageActionBlock actionBlock);

    // Retry and fix-problem messages need an action, errors and information refuse one; any other
    // pairing is a programming error and stops the process.
    static void validateStatusMessageStyle(qint64 statusMessageStyle,
                                           const StatusMessageActionBlock& actionBlock);

    const QString& message() const { return message_; }
    qint64 statusMessageStyle() const { return statusMessageStyle_; }
    const QImage& image() const { return image_; }
    const StatusMessageActionBlock& actionBlock() const { return actionBlock_; }

private:
    QString message_;
    qint64 statusMessageStyle_ = StatusMessageStyleInformation;
    QImage image_;
    StatusMessageActionBlock actionBlock_;
};

}  // namespace tovrin
