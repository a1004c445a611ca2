#include "platform/system/SecretServiceKeychain.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

namespace tovrin {
namespace {

const char* PrivateSessionMarker = "TOVRIN_PRIVATE_SECRET_SERVICE";

// The real secret service, inside a private D-Bus session with an unlocked keyring that this test
// starts itself: the developer's own keyring is never touched, and a locked one cannot stall it.
TEST(SecretServiceKeychain, KeepsItemsInTheDesktopsSecretService) {
    if (qEnvironmentVariableIsEmpty(PrivateSessionMarker)) {
        QTemporaryDir home;
        QFile::setPermissions(home.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(PrivateSessionMarker, "1");
        environment.insert("HOME", home.path());
        environment.insert("XDG_RUNTIME_DIR", home.path());
        environment.insert("XDG_DATA_HOME", home.path() + "/data");
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        // With a password the daemon makes an unlocked login keyring, which it may finish after it
        // returns; without a default collection the first write would ask for one through a prompt.
        const QString script = QStringLiteral(
            "printf 'private' | gnome-keyring-daemon --unlock --components=secrets >/dev/null || exit 1\n"
            "for attempt in $(seq 200); do\n"
            "  dbus-send --session --print-reply --dest=org.freedesktop.secrets /org/freedesktop/secrets "
            "org.freedesktop.Secret.Service.ReadAlias string:default 2>/dev/null | grep -q login && break\n"
            "  sleep 0.05\n"
            "done\n"
            "exec \"$0\" --gtest_filter=SecretServiceKeychain.KeepsItemsInTheDesktopsSecretService");
        process.start(QStringLiteral("dbus-run-session"),
                      {QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"), script,
                       QCoreApplication::applicationFilePath()});
        ASSERT_TRUE(process.waitForFinished(120000));
        const QByteArray output = process.readAll();
        EXPECT_EQ(process.exitCode(), 0) << output.constData();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.constData();
        return;
    }

    ASSERT_TRUE(SecretServiceKeychain::isAvailable(std::chrono::seconds(10)));
    SecretServiceKeychain keychain(std::chrono::seconds(10));
    const QString service = QStringLiteral("LoginCredentials");
    const QString account = QStringLiteral("com.tovrin.test");
    QByteArray data;
    EXPECT_EQ(keychain.copyItemData(service, account, &data), Keychain::StatusItemNotFound);
    EXPECT_EQ(keychain.addItem(service, account, "first", Keychain::Accessibility::WhenUnlocked),
              Keychain::StatusSuccess);
    EXPECT_EQ(keychain.addItem(service, account, "again", Keychain::Accessibility::WhenUnlocked),
              Keychain::StatusDuplicateItem);
    EXPECT_EQ(keychain.updateItem(service, account, QByteArray("\x00\xff", 2)), Keychain::StatusSuccess);
    EXPECT_EQ(keychain.copyItemData(service, account, &data), Keychain::StatusSuccess);
    EXPECT_EQ(data, QByteArray("\x00\xff", 2));
    EXPECT_EQ(keychain.deleteItem(service, account), Keychain::StatusSuccess);
    EXPECT_EQ(keychain.copyItemData(service, account, &data), Keychain::StatusItemNotFound);
    EXPECT_EQ(keychain.deleteItem(service, account), Keychain::StatusItemNotFound);
}

}  // namespace
}  // namespace tovrin
