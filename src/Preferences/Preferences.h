#pragma once

#include <QJsonObject>
#include <QStringList>
#include <optional>

namespace tovrin {

// What the client uses of the member's server-side preferences. Immutable.
class Preferences {
public:
    Preferences(QStringList chatPix, std::optional<QJsonObject> phrases)
        : chatPix_(std::move(chatPix)), phrases_(std::move(phrases)) {}

    // The media hashes of the member's chat photos.
    const QStringList& chatPix() const { return chatPix_; }
    // The saved phrases as the service lists them; nothing when the answer has no such object.
    const std::optional<QJsonObject>& phrases() const { return phrases_; }

private:
    QStringList chatPix_;
    std::optional<QJsonObject> phrases_;
};

}  // namespace tovrin
