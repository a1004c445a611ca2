#include "platform/system/FallbackKeychain.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "fixtures/keychain/ScriptedSecretService.h"
#include "platform/system/FileKeychain.h"

namespace tovrin {
namespace {

using namespace std::chrono_literals;

const QString ItemService = QStringLiteral("LoginCredentials");
const QString ItemAccount = QStringLiteral("com.tovrin.test");

class SecretServiceOnClockTest : public testing::Test {
protected:
    std::shared_ptr<test::ManualKeychainClock> clock = std::make_shared<test::ManualKeychainClock>();
    std::shared_ptr<test::ScriptedSecretService> secrets =
        std::make_shared<test::ScriptedSecretService>(clock);
    std::shared_ptr<SecretServiceKeychain> secretService =
        std::make_shared<SecretServiceKeychain>(secrets, clock, 5s);
    QTemporaryDir folder;
    std::shared_ptr<FileKeychain> file = std::make_shared<FileKeychain>(folder.filePath("keychain.json"));
};

// The service overwrites silently: the platform's add, update and delete are built on lookups.
TEST_F(SecretServiceOnClockTest, KeepsThePlatformsItemSemanticsAndGivesUpAtItsDeadline) {
    secrets->delay = 1s;
    QByteArray data;
    EXPECT_EQ(secretService->updateItem(ItemService, ItemAccount, "x"), Keychain::StatusItemNotFound);
    EXPECT_EQ(secretService->deleteItem(ItemService, ItemAccount), Keychain::StatusItemNotFound);
    EXPECT_EQ(
        secretService->addItem(ItemService, ItemAccount, "first", Keychain::Accessibility::WhenUnlocked),
        Keychain::StatusSuccess);
    EXPECT_EQ(
        secretService->addItem(ItemService, ItemAccount, "again", Keychain::Accessibility::WhenUnlocked),
        Keychain::StatusDuplicateItem);
    EXPECT_EQ(secretService->updateItem(ItemService, ItemAccount, "second"), Keychain::StatusSuccess);
    EXPECT_EQ(secretService->copyItemData(ItemService, ItemAccount, &data), Keychain::StatusSuccess);
    EXPECT_EQ(data, "second");
    EXPECT_EQ(secretService->deleteItem(ItemService, ItemAccount), Keychain::StatusSuccess);
    EXPECT_TRUE(secrets->items.isEmpty());
    const auto waitedSoFar = clock->waited();

    secrets->delay = 6s;
    EXPECT_EQ(secretService->copyItemData(ItemService, ItemAccount, &data),
              Keychain::StatusInteractionNotAllowed);
    EXPECT_EQ(clock->waited() - waitedSoFar, 5s);
}

// Ann was remembered in the service, which stays silent at launch; she signs out, or Bob signs in,
// before it answers. The next launch must find in the service what this one left.
TEST(FallbackKeychain, WhatTheFileKeptWhileTheServiceWasSilentMovesToItWhenItAnswers) {
    struct Case {
        const char* name;
        std::function<void(Keychain&)> meanwhile;
        std::optional<QByteArray> inTheServiceAfterwards;
    };
    const Case cases[] = {
        {"sign-out", [](Keychain& keychain) { keychain.deleteItem(ItemService, ItemAccount); }, std::nullopt},
        {"sign-in",
         [](Keychain& keychain) {
             keychain.addItem(ItemService, ItemAccount, "bob", Keychain::Accessibility::WhenUnlocked);
         },
         QByteArray("bob")},
        {"nothing written", [](Keychain&) {}, QByteArray("ann")},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto localClock = std::make_shared<test::ManualKeychainClock>();
        auto localSecrets = std::make_shared<test::ScriptedSecretService>(localClock);
        localSecrets->items.insert({ItemService, ItemAccount}, "ann");
        localSecrets->delay = 10s;
        QTemporaryDir localFolder;
        auto localFile = std::make_shared<FileKeychain>(localFolder.filePath("keychain.json"));
        FallbackKeychain keychain(std::make_shared<SecretServiceKeychain>(localSecrets, localClock),
                                  localFile);

        QByteArray data;
        EXPECT_EQ(keychain.copyItemData(ItemService, ItemAccount, &data), Keychain::StatusItemNotFound);
        EXPECT_EQ(localClock->waited(), 5s);
        testCase.meanwhile(keychain);
        EXPECT_EQ(localClock->waited(), 5s);

        localSecrets->delay = 10ms;
        localClock->advance(10s);
        const qint64 status = keychain.copyItemData(ItemService, ItemAccount, &data);

        EXPECT_EQ(status == Keychain::StatusSuccess ? std::optional(data) : std::nullopt,
                  testCase.inTheServiceAfterwards);
        EXPECT_EQ(localSecrets->items.contains({ItemService, ItemAccount}),
                  testCase.inTheServiceAfterwards.has_value());
        if (testCase.inTheServiceAfterwards)
            EXPECT_EQ(localSecrets->items.value({ItemService, ItemAccount}),
                      *testCase.inTheServiceAfterwards);
        EXPECT_EQ(localFile->copyItemData(ItemService, ItemAccount, &data), Keychain::StatusItemNotFound);
    }
}

}  // namespace
}  // namespace tovrin
