#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/system/FileKeychain.h"

namespace tovrin {
namespace {

// The platform's item semantics, as every keychain implementation must keep them.
void expectItemSemantics(Keychain& keychain) {
    const QString service = QStringLiteral("LoginCredentials");
    const QString account = QStringLiteral("com.tovrin.client");
    QByteArray data;
    EXPECT_EQ(keychain.copyItemData(service, account, &data), Keychain::StatusItemNotFound);
    EXPECT_EQ(keychain.updateItem(service, account, "x"), Keychain::StatusItemNotFound);
    EXPECT_EQ(keychain.deleteItem(service, account), Keychain::StatusItemNotFound);

    EXPECT_EQ(keychain.addItem(service, account, "first", Keychain::Accessibility::WhenUnlocked),
              Keychain::StatusSuccess);
    EXPECT_EQ(keychain.addItem(service, account, "again", Keychain::Accessibility::WhenUnlocked),
              Keychain::StatusDuplicateItem);
    EXPECT_EQ(keychain.copyItemData(service, account, &data), Keychain::StatusSuccess);
    EXPECT_EQ(data, "first");

    EXPECT_EQ(keychain.updateItem(service, account, QByteArray("\x00\xff binary", 9)),
              Keychain::StatusSuccess);
    EXPECT_EQ(keychain.copyItemData(service, account, &data), Keychain::StatusSuccess);
    EXPECT_EQ(data, QByteArray("\x00\xff binary", 9));
    EXPECT_EQ(keychain.copyItemData(service, QStringLiteral("another.account"), &data),
              Keychain::StatusItemNotFound);

    EXPECT_EQ(keychain.deleteItem(service, account), Keychain::StatusSuccess);
    EXPECT_EQ(keychain.copyItemData(service, account, &data), Keychain::StatusItemNotFound);
}

TEST(FileKeychain, KeepsThePlatformsItemSemantics) {
    QTemporaryDir folder;
    FileKeychain keychain(folder.filePath(QStringLiteral("Keychains/keychain.json")));
    expectItemSemantics(keychain);
}

TEST(FileKeychain, TheFileIsReadableOnlyByTheUserAndSurvivesARestart) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Keychains/keychain.json"));
    FileKeychain(path).addItem(QStringLiteral("s"), QStringLiteral("a"), "kept",
                               Keychain::Accessibility::WhenUnlocked);
    EXPECT_EQ(QFile::permissions(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadUser | QFileDevice::WriteUser);
    QByteArray data;
    EXPECT_EQ(FileKeychain(path).copyItemData(QStringLiteral("s"), QStringLiteral("a"), &data),
              Keychain::StatusSuccess);
    EXPECT_EQ(data, "kept");
}

}  // namespace
}  // namespace tovrin
