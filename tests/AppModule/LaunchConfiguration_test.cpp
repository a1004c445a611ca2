#include "LaunchConfiguration.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileManager.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

class LaunchConfigurationTest : public testing::Test {
protected:
    test::TemporaryHome home;
    QTemporaryDir folder;
    Bundle bundle{{{"TovrinHostURL", "http://bundled"}, {"CFBundleVersion", "1"}}};
    QProcessEnvironment environment;

    QString writeInfo(const QByteArray& text) {
        QFile file(folder.filePath(QStringLiteral("info.json")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    }
    std::optional<Error> apply(const QStringList& options) {
        return LaunchConfiguration::apply(QStringList{"tovrin"} + options, environment, bundle,
                                          FileManager::defaultManager());
    }
    QString host() const {
        return bundle.objectForInfoDictionaryKey(LaunchConfiguration::HostURLKey).toString();
    }
};

TEST_F(LaunchConfigurationTest, WithoutOptionsTheBundledValuesStand) {
    EXPECT_FALSE(apply({}).has_value());
    EXPECT_EQ(host(), "http://bundled");
}

TEST_F(LaunchConfigurationTest, TheCommandLineWinsOverTheEnvironmentAndBothOverTheFile) {
    const QString info = writeInfo(R"({"TovrinHostURL": "http://file", "CFBundleVersion": "9"})");
    EXPECT_FALSE(apply({"--info", info}).has_value());
    EXPECT_EQ(host(), "http://file");
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("CFBundleVersion").toString(), "9");

    environment.insert(QStringLiteral("TOVRIN_HOST_URL"), QStringLiteral("http://environment:1"));
    EXPECT_FALSE(apply({"--info", info}).has_value());
    EXPECT_EQ(host(), "http://environment:1");

    EXPECT_FALSE(apply({"-platform", "offscreen", "--host", "https://line:2", "--info", info}).has_value());
    EXPECT_EQ(host(), "https://line:2");
}

TEST_F(LaunchConfigurationTest, TheProfileFolderBecomesTheHomeFolder) {
    const QString profile = folder.filePath(QStringLiteral("second"));
    EXPECT_FALSE(apply({"--profile", profile}).has_value());
    EXPECT_EQ(FileManager::defaultManager().homeDirectory(), profile);
}

TEST_F(LaunchConfigurationTest, BadOptionsAreErrorsAndChangeNothing) {
    for (const QStringList& options : std::vector<QStringList>{{"--host"},
                                                               {"--host", "not a url"},
                                                               {"--host", "127.0.0.1"},
                                                               {"--info", "/missing/info.json"}}) {
        EXPECT_TRUE(apply(options).has_value()) << options.join(' ').toStdString();
        EXPECT_EQ(host(), "http://bundled");
    }
    EXPECT_TRUE(apply({"--info", writeInfo("[]")}).has_value());
}

}  // namespace
}  // namespace tovrin
