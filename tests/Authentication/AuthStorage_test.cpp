#include "Authentication/AuthStorage.h"

#include <gtest/gtest.h>

#include "Authentication/SessionInfo.h"
#include "Keychain/MFKeychain.h"
#include "fixtures/keychain/InMemoryKeychain.h"
#include "platform/foundation/Bundle.h"

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

TEST_F(AuthStorageTest, TheKeychainIsReadAgainOnlyWhileNothingIsStored) {
    AuthStorage storage(keychain);
    EXPECT_FALSE(storage.loginCredentials().has_value());
    EXPECT_FALSE(storage.loginCredentials().has_value());
    EXPECT_EQ(items->reads, 2);
    relaunch().storeLoginCredentials(first);
    EXPECT_EQ(storage.loginCredentials(), first);
    EXPECT_EQ(storage.loginCredentials(), first);
    EXPECT_EQ(items->reads, 3);
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
