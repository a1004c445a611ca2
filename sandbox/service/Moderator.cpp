#include "sandbox/service/Moderator.h"

#include <QImage>
#include <QRegularExpression>
#include <QTimer>
#include <cmath>

#include "sandbox/media/MediaStore.h"
#include "sandbox/world/World.h"

namespace tovrin::sandbox {

namespace {

// Luminance spread (standard deviation, 0 to 255) below which a photo shows nothing.
constexpr double blankSpread = 6;

const QRegularExpression& bannedWords() {
    static const QRegularExpression words(QStringLiteral("\\b(spam|scam|idiot|stupid)\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    return words;
}

void leaveMessage(Member& member, const QString& type, const QString& text, const QString& mediaHash) {
    member.systemMessages.append({World::randomToken().left(16), type, text, mediaHash});
}

}  // namespace

Moderator::Moderator(std::shared_ptr<World> world, std::shared_ptr<MediaStore> media, double delay)
    : world_(std::move(world)), media_(std::move(media)), delay_(delay) {}

void Moderator::submitPhoto(const QString& profileID, const QString& mediaHash) {
    world_->photosAwaitingModeration().insert(mediaHash, profileID);
    if (delay_ >= 0) decideLater(mediaHash);
}

void Moderator::decideLater(const QString& mediaHash) {
    const std::weak_ptr<Moderator> weakSelf = weak_from_this();
    QTimer::singleShot(static_cast<int>(delay_ * 1000), [weakSelf, mediaHash] {
        if (const std::shared_ptr<Moderator> self = weakSelf.lock())
            self->decide(mediaHash, !self->isNearlyBlank(mediaHash));
    });
}

bool Moderator::isNearlyBlank(const QString& mediaHash) {
    const std::optional<QImage> photo = media_->image(mediaHash);
    if (!photo || photo->isNull()) return true;
    const QImage sample = photo->scaled(32, 32).convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    double squares = 0;
    for (int y = 0; y < sample.height(); ++y) {
        for (int x = 0; x < sample.width(); ++x) {
            const double value = qGray(sample.pixel(x, y));
            sum += value;
            squares += value * value;
        }
    }
    const double count = sample.width() * sample.height();
    const double mean = sum / count;
    return std::sqrt(std::max(0.0, squares / count - mean * mean)) < blankSpread;
}

bool Moderator::approve(const QString& mediaHash) {
    return decide(mediaHash, true);
}

bool Moderator::reject(const QString& mediaHash) {
    return decide(mediaHash, false);
}

bool Moderator::decide(const QString& mediaHash, bool approved) {
    const QString profileID = world_->photosAwaitingModeration().take(mediaHash);
    Member* member = world_->member(profileID);
    if (member == nullptr) return false;
    if (approved) {
        member->mediaHash = mediaHash;
        leaveMessage(*member, QStringLiteral("ProfileImageAvailable"),
                     QStringLiteral("Your profile photo has been approved."), mediaHash);
    } else {
        leaveMessage(*member, QStringLiteral("ProfileImageRejected"),
                     QStringLiteral("Your profile photo has been rejected."), mediaHash);
    }
    return true;
}

bool Moderator::moderateTexts(Member& member) {
    const QString displayName = QString(member.displayName).replace(bannedWords(), QStringLiteral("***"));
    const QString aboutMe = QString(member.aboutMe).replace(bannedWords(), QStringLiteral("***"));
    if (displayName == member.displayName && aboutMe == member.aboutMe) return false;
    member.displayName = displayName;
    member.aboutMe = aboutMe;
    leaveMessage(member, QStringLiteral("ProfileDetailsModerated"),
                 QStringLiteral("Your profile has been censored for containing banned words."), QString());
    return true;
}

}  // namespace tovrin::sandbox
