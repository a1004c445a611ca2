#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/UserDefaults.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

TEST(UserDefaults, ValuesSurviveAReopenOfTheFile) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("defaults.ini"));
    {
        UserDefaults defaults(path);
        defaults.setObject(QStringLiteral("12345"), QStringLiteral("UserSessionProfileID"));
        defaults.setInteger(1, QStringLiteral("unitSystem"));
        defaults.setBool(true, QStringLiteral("onlineOnly"));
        defaults.setDouble(0.125, QStringLiteral("ratio"));
        defaults.setURL(QUrl(QStringLiteral("https://media.example.com:8443/x")), QStringLiteral("host"));
        defaults.setObject(QStringLiteral("gone"), QStringLiteral("removed"));
        defaults.removeObjectForKey(QStringLiteral("removed"));
        ASSERT_TRUE(defaults.synchronize());
    }
    UserDefaults reopened(path);
    EXPECT_EQ(reopened.stringForKey(QStringLiteral("UserSessionProfileID")), "12345");
    EXPECT_EQ(reopened.integerForKey(QStringLiteral("unitSystem")), 1);
    EXPECT_TRUE(reopened.boolForKey(QStringLiteral("onlineOnly")));
    EXPECT_DOUBLE_EQ(reopened.doubleForKey(QStringLiteral("ratio")), 0.125);
    EXPECT_EQ(reopened.URLForKey(QStringLiteral("host")),
              QUrl(QStringLiteral("https://media.example.com:8443/x")));
    EXPECT_FALSE(reopened.objectForKey(QStringLiteral("removed")).isValid());
}

TEST(UserDefaults, MissingKeysReadAsNothingOrZero) {
    QTemporaryDir folder;
    UserDefaults defaults(folder.filePath(QStringLiteral("empty.ini")));
    EXPECT_FALSE(defaults.objectForKey(QStringLiteral("missing")).isValid());
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("missing")), QString());
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("missing")), 0);
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("missing")));
    EXPECT_TRUE(defaults.URLForKey(QStringLiteral("missing")).isEmpty());
}

TEST(UserDefaults, TheStandardDefaultsLiveInTheHomeFolder) {
    test::TemporaryHome home;
    auto defaults = UserDefaults::standard();
    EXPECT_TRUE(defaults->filePath().startsWith(home.path()));
    EXPECT_EQ(UserDefaults::standard(), defaults);
    defaults->setBool(true, QStringLiteral("flag"));
    UserDefaults::resetStandard();
    EXPECT_TRUE(UserDefaults::standard()->boolForKey(QStringLiteral("flag")));
}

TEST(FileManager, FoldersLieUnderTheHomeFolder) {
    test::TemporaryHome home;
    const FileManager& files = FileManager::defaultManager();
    EXPECT_EQ(files.applicationSupportDirectory(), home.path() + "/Library/Application Support");
    EXPECT_EQ(files.preferencesDirectory(), home.path() + "/Library/Preferences");
    EXPECT_EQ(files.cachesDirectory(), home.path() + "/Library/Caches");

    const QString nested = files.applicationSupportDirectory() + "/a/b";
    EXPECT_FALSE(files.createDirectory(nested, false));
    EXPECT_TRUE(files.createDirectory(nested, true));
    EXPECT_TRUE(files.fileExists(nested));
    QFile file(nested + "/file");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(files.removeItem(files.applicationSupportDirectory() + "/a"));
    EXPECT_FALSE(files.fileExists(nested));
    Error error;
    EXPECT_FALSE(files.removeItem(nested, &error));
    EXPECT_EQ(error.domain(), FileManager::ErrorDomain);
}

TEST(Bundle, TheMainBundleReadsTheBundledInformationDictionary) {
    auto bundle = Bundle::main();
    EXPECT_FALSE(bundle->bundleIdentifier().isEmpty());
    EXPECT_FALSE(bundle->objectForInfoDictionaryKey(QStringLiteral("CFBundleShortVersionString"))
                     .toString()
                     .isEmpty());
    EXPECT_FALSE(bundle->objectForInfoDictionaryKey(QStringLiteral("CFBundleVersion")).toString().isEmpty());
    EXPECT_EQ(Bundle::pathForResource(QStringLiteral("Info"), QStringLiteral("json")), ":/Info.json");
    EXPECT_EQ(Bundle::pathForResource(QStringLiteral("Missing"), QStringLiteral("json")), QString());
}

TEST(Bundle, OverridesMergeKeyByKey) {
    Bundle bundle({{"A", 1}, {"B", 2}});
    bundle.mergeInfoDictionary({{"B", 3}, {"C", 4}});
    EXPECT_EQ(bundle.infoDictionary(), (QVariantMap{{"A", 1}, {"B", 3}, {"C", 4}}));
}

TEST(Bundle, ReadingAnInformationDictionaryFile) {
    QTemporaryDir folder;
    const auto write = [&](const QString& name, const QByteArray& text) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    };
    auto good = Bundle::readInfoDictionary(write("good.json", R"({"TovrinHostURL": "http://h"})"));
    ASSERT_TRUE(good.has_value());
    EXPECT_EQ(good->value("TovrinHostURL").toString(), "http://h");

    Error error;
    EXPECT_FALSE(Bundle::readInfoDictionary(write("array.json", "[1]"), &error).has_value());
    EXPECT_FALSE(error.domain().isEmpty());
    EXPECT_FALSE(Bundle::readInfoDictionary(write("broken.json", "{"), &error).has_value());
    EXPECT_FALSE(Bundle::readInfoDictionary(folder.filePath("missing.json"), &error).has_value());
}

}  // namespace
}  // namespace tovrin
