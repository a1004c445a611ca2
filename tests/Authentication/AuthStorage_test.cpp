#include "Authentication/AuthStorage.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "Authentication/SessionInfo.h"
#include "Keychain/MFKeychain.h"
#include "fixtures/keychain/InMemoryKeychain.h"
#include "fixtures/keychain/ScriptedSecretService.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/system/FallbackKeychain.h"
#include "platform/system/FileKeychain.h"
#include "support/LogCapture.h"

namespace tovrin {
namespace {

const QString BundleIdentifier = QStringLiteral("com.tovrin.test");

class AuthStorageTest : public testing::Test {
protected:
    std::shared_ptr<test::InMemoryKeychain> items = std::make_shared<test::InMemoryKeychain>();
    std::shared_ptr<Bundle> bundle =
        std::make_shared<Bundle>(QVariantMap{{"CFBundleIdentifier", BundleIdentifier}});
    std::shared_ptr<MFKeychain> keychain = std::make_shared<MFKeychain>(items, bundle);

    // Another launch: a new store over the same keychain.
    AuthStorage relaunch() const { return AuthStorage(keychain); }
    const LoginCredentials first{QStringLiteral("ada@example.com"), QStringLiteral("secret")};
    const LoginCredentials second{QStringLiteral("ada@example.com"), QStringLiteral("changed")};
};

TEST_F(AuthStorageTest, CredentialsStoredInOneRunAreReadInTheNext) {
    AuthStorage storage(keychain);
    storage.storeLoginCredentials(first);
    EXPECT_EQ(relaunch().loginCredentials(), first);
    ASSERT_EQ(items->items.size(), 1);
    const auto key = items->items.firstKey();
    EXPECT_EQ(key.first, "LoginCredentials");
    EXPECT_EQ(key.second, BundleIdentifier);
    EXPECT_EQ(items->accessibilities.value(key), Keychain::Accessibility::WhenUnlocked);
}

TEST_F(AuthStorageTest, StoringTwiceLeavesOneItemWithTheSecondPair) {
    AuthStorage storage(keychain);
    storage.storeLoginCredentials(first);
    storage.storeLoginCredentials(second);
    EXPECT_EQ(items->items.size(), 1);
    EXPECT_EQ(relaunch().loginCredentials(), second);
}

TEST_F(AuthStorageTest, RemovingOrStoringNothingDeletesTheItemAndTheCopy) {
    for (bool storeNothing : {false, true}) {
        AuthStorage storage(keychain);
        storage.storeLoginCredentials(first);
        if (storeNothing) {
            storage.storeLoginCredentials(std::nullopt);
        } else {
            storage.removeStoredLoginCredentials();
        }
        EXPECT_TRUE(items->items.isEmpty());
        EXPECT_FALSE(storage.cachedCredentials().has_value());
        EXPECT_FALSE(storage.loginCredentials().has_value());
    }
    AuthStorage empty(keychain);
    empty.removeStoredLoginCredentials();
    EXPECT_FALSE(empty.loginCredentials().has_value());
}

// Another process's writes are not seen: the launch's one read decides until this process writes.
TEST_F(AuthStorageTest, TheKeychainIsReadOnceEvenWhenEmptyAndEveryWriteRefreshesTheCopy) {
    AuthStorage storage(keychain);
    EXPECT_FALSE(storage.loginCredentials().has_value());
    relaunch().storeLoginCredentials(first);
    EXPECT_FALSE(storage.loginCredentials().has_value());
    EXPECT_EQ(items->reads, 1);

    storage.storeLoginCredentials(second);
    EXPECT_EQ(storage.loginCredentials(), second);
    storage.removeStoredLoginCredentials();
    EXPECT_FALSE(storage.loginCredentials().has_value());
    EXPECT_EQ(items->reads, 1);

    AuthStorage stored(keychain);
    relaunch().storeLoginCredentials(first);
    EXPECT_EQ(stored.loginCredentials(), first);
    EXPECT_EQ(stored.loginCredentials(), first);
    EXPECT_EQ(items->reads, 2);
}

TEST_F(AuthStorageTest, AFailingKeychainStillChangesTheRunningCopy) {
    AuthStorage storage(keychain);
    items->failWith = Keychain::StatusInteractionNotAllowed;
    storage.storeLoginCredentials(first);
    EXPECT_EQ(storage.loginCredentials(), first);
    items->failWith = Keychain::StatusSuccess;
    EXPECT_FALSE(relaunch().loginCredentials().has_value());
}

TEST_F(AuthStorageTest, AbsentFieldsAreStoredAndReadBackAsBuilt) {
    const LoginCredentials partial(std::nullopt, QStringLiteral("only a password"));
    AuthStorage(keychain).storeLoginCredentials(partial);
    const auto read = relaunch().loginCredentials();
    ASSERT_TRUE(read.has_value());
    EXPECT_FALSE(read->email().has_value());
    EXPECT_EQ(read->password(), "only a password");
}

TEST_F(AuthStorageTest, AnItemThatDoesNotDecodeReadsAsNoCredentials) {
    for (const QByteArray& data :
         {QByteArray("not an archive"), QByteArray(R"({"$class":"Other","$values":{}})"),
          QByteArray(R"({"$class":"LoginCredentials","$values":{"email":3,"password":"x"}})")}) {
        items->items.insert({"LoginCredentials", BundleIdentifier}, data);
        EXPECT_FALSE(relaunch().loginCredentials().has_value()) << data.constData();
    }
}

// A launch reads the stored pair as the session's configuration and set-up do, several times, over
// the system's keychain on a clock the test moves; a member then signs in, and later the pair is
// read again in this process. Nothing sleeps: the secret service answers on the test's clock.
TEST(AuthStorageAtLaunch, WaitsForTheSecretServiceOnceAtMostFiveSecondsAndUsesALateAnswerAfterwards) {
    using namespace std::chrono_literals;
    struct Case {
        const char* name;
        bool registered;
        std::optional<std::chrono::milliseconds> firstAnswerAfter;  // nothing: never
        std::chrono::milliseconds launchWaits;
        bool launchFindsThePair;
        const char* switchReason;  // said once when the file stands in
        bool serviceKeepsTheNewPair;
    };
    const Case cases[] = {
        {"answers after 1 s", true, 1s, 1s, true, nullptr, true},
        {"answers after 10 s", true, 10s, 5s, false, "did not answer within 5 s", true},
        {"never answers", true, std::nullopt, 5s, false, "did not answer within 5 s", false},
        {"none registered", false, 0ms, 0ms, false, "no secret service is registered", false},
    };
    const LoginCredentials remembered("ada@example.com", "secret");
    const LoginCredentials signedIn("bob@example.com", "other");
    const QPair<QString, QString> item(kLoginCredentialKey, BundleIdentifier);
    const auto archived = [](const LoginCredentials& credentials) {
        return KeyedArchiver::archivedData(LoginCredentials::ArchiveClassName, credentials.encodeWithCoder());
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        test::LogCapture log("Keychain:");
        QTemporaryDir folder;
        auto clock = std::make_shared<test::ManualKeychainClock>();
        auto service = std::make_shared<test::ScriptedSecretService>(clock);
        service->registered = testCase.registered;
        service->delay = testCase.firstAnswerAfter;
        service->items.insert(item, archived(remembered));
        auto file = std::make_shared<FileKeychain>(folder.filePath("keychain.json"));
        auto system =
            std::make_shared<FallbackKeychain>(std::make_shared<SecretServiceKeychain>(service, clock), file);
        auto keychain = std::make_shared<MFKeychain>(
            system, std::make_shared<Bundle>(QVariantMap{{"CFBundleIdentifier", BundleIdentifier}}));
        AuthStorage storage(keychain);

        for (int read = 0; read < 3; ++read) {
            EXPECT_EQ(storage.loginCredentials(), testCase.launchFindsThePair
                                                      ? std::optional<LoginCredentials>(remembered)
                                                      : std::nullopt);
        }
        EXPECT_EQ(clock->waited(), testCase.launchWaits);
        EXPECT_EQ(service->reads, testCase.registered ? 1 : 0);
        EXPECT_EQ(log.count("keeping secrets in"), testCase.switchReason ? 1 : 0);
        if (testCase.switchReason) EXPECT_EQ(log.count(testCase.switchReason), 1);

        // The member signs in while the service may still be silent; it answers later, promptly.
        service->delay = 100ms;
        storage.storeLoginCredentials(signedIn);
        clock->advance(20s);
        EXPECT_EQ(AuthStorage(keychain).loginCredentials(), signedIn);

        QByteArray inFile;
        EXPECT_EQ(service->items.value(item) == archived(signedIn), testCase.serviceKeepsTheNewPair);
        EXPECT_EQ(file->copyItemData(item.first, item.second, &inFile) == Keychain::StatusSuccess,
                  !testCase.serviceKeepsTheNewPair);
        if (!testCase.serviceKeepsTheNewPair) EXPECT_EQ(clock->waited(), testCase.launchWaits);
        EXPECT_EQ(log.count("keeping secrets in"), testCase.switchReason ? 1 : 0);
    }
}

TEST(LoginCredentials, EqualityAndHash) {
    const LoginCredentials a(QStringLiteral("a@example.com"), QStringLiteral("pw"));
    const LoginCredentials same(QStringLiteral("a@example.com"), QStringLiteral("pw"));
    const LoginCredentials other(QStringLiteral("a@example.com"), QStringLiteral("other"));
    EXPECT_EQ(a, same);
    EXPECT_EQ(a.hash(), same.hash());
    EXPECT_NE(a, other);
    EXPECT_EQ(a.hash(), qHash(QStringLiteral("a@example.com")) ^ (qHash(QStringLiteral("pw")) * 257));
    EXPECT_NE(LoginCredentials(std::nullopt, std::nullopt), LoginCredentials(QString(), QString()));
}

TEST(SessionCredentials, EqualityAndHash) {
    const SessionCredentials a(QStringLiteral("session"), QStringLiteral("chat"));
    EXPECT_EQ(a, SessionCredentials(QStringLiteral("session"), QStringLiteral("chat")));
    EXPECT_NE(a, SessionCredentials(QStringLiteral("session"), QStringLiteral("other")));
    EXPECT_EQ(a.hash(), qHash(QStringLiteral("session")) ^ (qHash(QStringLiteral("chat")) * 257));
    const SessionInfo info(QStringLiteral("42"), a);
    EXPECT_EQ(info.profileID(), "42");
    EXPECT_EQ(info.credentials(), a);
}

}  // namespace
}  // namespace tovrin
