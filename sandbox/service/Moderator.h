#pragma once

#include <QString>
#include <memory>

namespace tovrin::sandbox {

class MediaStore;
class World;
struct Member;

// The service's moderation. An uploaded profile photo waits for a decision, made after a delay
// (a nearly blank photo is rejected, any other approved) unless the admin interface decides first;
// an approved photo becomes the member's photo. Profile texts lose their banned words at once. Each
// decision leaves the member a system message.
class Moderator : public std::enable_shared_from_this<Moderator> {
public:
    // A negative delay leaves every photo to the admin interface.
    Moderator(std::shared_ptr<World> world, std::shared_ptr<MediaStore> media, double delay);

    void submitPhoto(const QString& profileID, const QString& mediaHash);
    // Whether the photo was awaiting a decision.
    bool approve(const QString& mediaHash);
    bool reject(const QString& mediaHash);
    // Replaces banned words in the display name and the about-me text; whether it did.
    bool moderateTexts(Member& member);

private:
    void decideLater(const QString& mediaHash);
    bool isNearlyBlank(const QString& mediaHash);
    bool decide(const QString& mediaHash, bool approved);

    std::shared_ptr<World> world_;
    std::shared_ptr<MediaStore> media_;
    const double delay_;
};

}  // namespace tovrin::sandbox
