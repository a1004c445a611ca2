#include "Media/MyProfileImageManager.h"

#include <gtest/gtest.h>

#include "Preferences/LocalPreferences.h"
#include "platform/foundation/UserDefaults.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

using Hash = std::optional<QString>;

class MyProfileImageManagerTest : public testing::Test {
protected:
    test::TemporaryHome home;
    std::shared_ptr<LocalPreferences> preferences =
        std::make_shared<LocalPreferences>(UserDefaults::standard());
    MyProfileImageManager manager{preferences};

    void expectOverlays(const std::vector<std::pair<Hash, bool>>& cases) {
        for (const auto& [hash, overlay] : cases) {
            EXPECT_EQ(manager.shouldShowOverlayForImageHash(hash), overlay)
                << hash.value_or("(none)").toStdString();
        }
    }
};

TEST_F(MyProfileImageManagerTest, NothingPendingNoOverlay) {
    expectOverlays({{std::nullopt, false}, {"DEFAULT_VALUE", false}, {"A", false}});
}

TEST_F(MyProfileImageManagerTest, APendingUploadOverAnEmptyProfileMarksTheMissingPhoto) {
    manager.setImageHashPendingModeration(std::nullopt);
    expectOverlays({{std::nullopt, true}, {"DEFAULT_VALUE", true}, {"A", false}});
}

TEST_F(MyProfileImageManagerTest, APendingUploadMarksOnlyThePhotoItReplaces) {
    manager.setImageHashPendingModeration("A");
    expectOverlays({{"A", true}, {"B", false}, {std::nullopt, false}});
    // A second upload before a decision takes the hash the profile carries then.
    manager.setImageHashPendingModeration("B");
    expectOverlays({{"A", false}, {"B", true}});
}

TEST_F(MyProfileImageManagerTest, ADecisionOrASignOutEndsTheMark) {
    manager.setImageHashPendingModeration("A");
    manager.clearModeratedImageHash();
    expectOverlays({{"A", false}});
    manager.setImageHashPendingModeration("A");
    preferences->reset();
    expectOverlays({{"A", false}});
}

TEST_F(MyProfileImageManagerTest, TheMarkSurvivesARelaunch) {
    manager.setImageHashPendingModeration("A");
    manager.setCurrentImageHash("current");
    UserDefaults::resetStandard();
    MyProfileImageManager relaunched(std::make_shared<LocalPreferences>(UserDefaults::standard()));
    EXPECT_TRUE(relaunched.shouldShowOverlayForImageHash("A"));
    EXPECT_FALSE(relaunched.currentImageHash().has_value());
}

}  // namespace
}  // namespace tovrin
