#include <gtest/gtest.h>
#include <sys/stat.h>

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

// The permission bits of a path as "0700"; "missing" when there is nothing there.
QString storagePermissionsOf(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0) return QStringLiteral("missing");
    return QStringLiteral("0%1").arg(status.st_mode & 07777, 3, 8, QLatin1Char('0'));
}

void makeWithPermissions(const QString& path, mode_t mode, bool folder) {
    if (folder) {
        ASSERT_TRUE(QDir().mkpath(path));
    } else {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

TEST(FileManager, FoldersAreMadeOwnerOnlyAndTheHomeFoldersOwnAreTightened) {
    struct Case {
        const char* name;
        QStringList looseBefore;  // folders 0755 before the call, relative to the temporary folder
        QString create;           // relative to the temporary folder
        std::vector<std::pair<QString, QString>> expected;
    };
    const std::vector<Case> cases = {
        {"new under the home folder",
         {"home"},
         "home/Library/Caches/Photos",
         {{"home", "0700"},
          {"home/Library", "0700"},
          {"home/Library/Caches", "0700"},
          {"home/Library/Caches/Photos", "0700"}}},
        {"existing loose folders of the home folder",
         {"home", "home/Library", "home/Library/Caches", "home/Library/Caches/Photos", "home/Library/Other"},
         "home/Library/Caches/Photos",
         {{"home", "0700"},
          {"home/Library", "0700"},
          {"home/Library/Caches", "0700"},
          {"home/Library/Caches/Photos", "0700"},
          {"home/Library/Other", "0755"}}},
        // Above the home folder and outside it, folders that are not ours stay as they are.
        {"outside the home folder",
         {"shared"},
         "shared/Mine/Inner",
         {{"shared", "0755"}, {"shared/Mine", "0700"}, {"shared/Mine/Inner", "0700"}}},
        {"an existing folder outside the home folder",
         {"shared", "shared/Mine"},
         "shared/Mine",
         {{"shared", "0755"}, {"shared/Mine", "0700"}}},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        QTemporaryDir folder;
        ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
        for (const QString& loose : testCase.looseBefore)
            makeWithPermissions(folder.filePath(loose), 0755, true);
        {
            test::TemporaryHome home;
            FileManager::defaultManager().setHomeDirectory(folder.filePath("home"));
            Error error;
            EXPECT_TRUE(
                FileManager::defaultManager().createDirectory(folder.filePath(testCase.create), true, &error))
                << error.description().toStdString();
        }
        EXPECT_EQ(storagePermissionsOf(folder.path()), "0755");
        for (const auto& [path, permissions] : testCase.expected) {
            EXPECT_EQ(storagePermissionsOf(folder.filePath(path)), permissions) << path.toStdString();
        }
    }
}

TEST(FileManager, RestrictingAFolderTightensEverythingInItButNotThroughLinks) {
    QTemporaryDir folder;
    const QString outside = folder.filePath("outside");
    makeWithPermissions(outside, 0644, false);
    const QString cache = folder.filePath("cache");
    makeWithPermissions(cache, 0755, true);
    makeWithPermissions(cache + "/data8", 0755, true);
    makeWithPermissions(cache + "/data8/a", 0750, true);
    makeWithPermissions(cache + "/data8/a/photo.d", 0644, false);
    makeWithPermissions(cache + "/.hidden", 0666, false);
    makeWithPermissions(cache + "/unreadable", 0, false);
    ASSERT_TRUE(QFile::link(outside, cache + "/link"));

    EXPECT_TRUE(FileManager::defaultManager().restrictToOwner(cache));
    const std::vector<std::pair<QString, QString>> expected = {
        {cache, "0700"},
        {cache + "/data8", "0700"},
        {cache + "/data8/a", "0700"},
        {cache + "/data8/a/photo.d", "0600"},
        {cache + "/.hidden", "0600"},
        {cache + "/unreadable", "0000"},
        {outside, "0644"},
    };
    for (const auto& [path, permissions] : expected) {
        EXPECT_EQ(storagePermissionsOf(path), permissions) << path.toStdString();
    }
    EXPECT_TRUE(FileManager::defaultManager().restrictToOwner(folder.filePath("missing")));
}

// Qt's and SQLite's own files come out owner-only: the file manager set the process's mask.
TEST(FileManager, WhatTheProcessCreatesIsOwnerOnly) {
    FileManager::defaultManager();
    QTemporaryDir folder;
    ASSERT_TRUE(QDir().mkpath(folder.filePath("made/by/qt")));
    QFile file(folder.filePath("made/by/qt/file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(storagePermissionsOf(folder.filePath("made/by")), "0700");
    EXPECT_EQ(storagePermissionsOf(file.fileName()), "0600");
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
