#include "Preferences/LocalPreferences.h"

#include <gtest/gtest.h>

#include "platform/foundation/UserDefaults.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

class LocalPreferencesTest : public testing::Test {
protected:
    test::TemporaryHome home;
    LocalPreferences preferences{UserDefaults::standard()};
};

TEST_F(LocalPreferencesTest, AFreshInstallationIsImperialWithNothingPending) {
    EXPECT_EQ(preferences.unitSystem(), 0u);
    EXPECT_FALSE(preferences.isFavoritesCascadeFilteredByOnlineNow());
    EXPECT_FALSE(preferences.imageHashPendingModeration().has_value());
}

TEST_F(LocalPreferencesTest, EveryInstanceSeesTheLatestWrite) {
    LocalPreferences other(UserDefaults::standard());
    preferences.setUnitSystem(1);
    preferences.setFavoritesCascadeFilteredByOnlineNow(true);
    preferences.setImageHashPendingModeration(QStringLiteral("DEFAULT_VALUE"));
    EXPECT_EQ(other.unitSystem(), 1u);
    EXPECT_TRUE(other.isFavoritesCascadeFilteredByOnlineNow());
    EXPECT_EQ(other.imageHashPendingModeration(), "DEFAULT_VALUE");
    preferences.setImageHashPendingModeration(std::nullopt);
    EXPECT_FALSE(UserDefaults::standard()->objectForKey("imageHashPendingModeration").isValid());
}

TEST_F(LocalPreferencesTest, AResetKeepsOnlyTheUnitSystem) {
    preferences.setUnitSystem(1);
    preferences.setFavoritesCascadeFilteredByOnlineNow(true);
    preferences.setImageHashPendingModeration(QStringLiteral("abc"));
    preferences.reset();
    EXPECT_EQ(preferences.unitSystem(), 1u);
    EXPECT_FALSE(preferences.isFavoritesCascadeFilteredByOnlineNow());
    EXPECT_FALSE(preferences.imageHashPendingModeration().has_value());
}

}  // namespace
}  // namespace tovrin
