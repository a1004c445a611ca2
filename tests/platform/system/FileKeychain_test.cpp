#include "platform/system/FileKeychain.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include "support/LogCapture.h"

namespace tovrin {
namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An unreadable file is kept aside as it was, the keychain starts empty and works on, and the log
// names the file and the reason.
void expectMovedAsideAndUsable(const QString& path,
                               const std::function<void(const QString& aside)>& checkAside) {
    test::LogCapture warnings("Keychain:", QtWarningMsg);
    FileKeychain keychain(path);
    QByteArray data;
    EXPECT_EQ(keychain.copyItemData(QStringLiteral("s"), QStringLiteral("a"), &data),
              Keychain::StatusItemNotFound);
    ASSERT_EQ(warnings.lines().size(), 1);
    EXPECT_TRUE(warnings.lines().first().contains(path + " ("));
    EXPECT_TRUE(warnings.lines().first().contains("moved it aside to " + keychain.unreadablePath()));
    EXPECT_FALSE(QFileInfo::exists(path));
    checkAside(keychain.unreadablePath());

    EXPECT_EQ(keychain.addItem(QStringLiteral("s"), QStringLiteral("a"), "new",
                               Keychain::Accessibility::WhenUnlocked),
              Keychain::StatusSuccess);
    EXPECT_EQ(FileKeychain(path).copyItemData(QStringLiteral("s"), QStringLiteral("a"), &data),
              Keychain::StatusSuccess);
    EXPECT_EQ(data, "new");
    checkAside(keychain.unreadablePath());
}

TEST(FileKeychain, AFileThatCannotBeParsedIsMovedAsideNeverWrittenOver) {
    struct Case {
        const char* name;
        QByteArray content;
    };
    const std::vector<Case> cases = {
        {"garbage", QByteArray("\x89PNG\r\n not a keychain {", 24)},
        {"cut short", R"({"LoginCredentials": {"com.tovrin.client": "c2Vj)"},
        {"a JSON array", "[1, 2]"},
        {"empty", ""},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Keychains/keychain.json"));
        writeFile(path, testCase.content);
        expectMovedAsideAndUsable(
            path, [&](const QString& aside) { EXPECT_EQ(contentOf(aside), testCase.content); });
    }
}

TEST(FileKeychain, AFileThatCannotBeOpenedIsMovedAside) {
    // A folder in the file's place cannot be opened as a file, whoever runs the test.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Keychains/keychain.json"));
    writeFile(path + "/inside", "kept");
    expectMovedAsideAndUsable(path,
                              [](const QString& aside) { EXPECT_EQ(contentOf(aside + "/inside"), "kept"); });
}

TEST(FileKeychain, AFileWithoutReadPermissionIsMovedAside) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads a file of mode 0000; the folder case covers an open failure";
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Keychains/keychain.json"));
    writeFile(path, R"({"s": {"a": "b2xk"}})");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0);
    expectMovedAsideAndUsable(path, [](const QString& aside) {
        ::chmod(QFile::encodeName(aside).constData(), S_IRUSR);
        EXPECT_EQ(contentOf(aside), R"({"s": {"a": "b2xk"}})");
        ::chmod(QFile::encodeName(aside).constData(), 0);
    });
}

TEST(FileKeychain, AnOlderAsideCopyMakesWayForTheNewOne) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Keychains/keychain.json"));
    writeFile(path + ".unreadable", "older");
    writeFile(path, "newer");
    expectMovedAsideAndUsable(path, [](const QString& aside) { EXPECT_EQ(contentOf(aside), "newer"); });
}

}  // namespace
}  // namespace tovrin
