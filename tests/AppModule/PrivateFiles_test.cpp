#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDirIterator>
#include <QFile>
#include <QStringList>
#include <memory>
#include <vector>

#include "AppModule.h"
#include "InjectorKeys.h"
#include "Persistence/databasewrapper/Database.h"
#include "platform/di/Injector.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/net/URLCache.h"
#include "platform/net/URLSession.h"
#include "platform/system/Device.h"
#include "platform/system/FileKeychain.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

// The permission bits of a path as "0600"; "missing" when there is nothing there.
QString permissionsOf(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0) return QStringLiteral("missing");
    return QStringLiteral("0%1").arg(status.st_mode & 07777, 3, 8, QLatin1Char('0'));
}

void setPermissions(const QString& path, mode_t mode) {
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
}

// What a launch opens: the real pieces, at the places the application puts them.
struct Launch {
    std::unique_ptr<Injector> injector = std::make_unique<Injector>();
    std::shared_ptr<UserDefaults> defaults;
    std::shared_ptr<Database> store;
    std::shared_ptr<net::URLCache> imageCache;
    std::shared_ptr<FileKeychain> keychain;
};

struct ExpectedPermissions {
    const char* path;  // in the home folder
    const char* permissions;
};

// The home folder of a launch that wrote into every piece, with the store still open.
const std::vector<ExpectedPermissions> LaunchedHome = {
    {"", "0700"},
    {"Library", "0700"},
    {"Library/Preferences", "0700"},
    {"Library/Preferences/UserDefaults.ini", "0600"},
    {"Library/Preferences/VendorIdentifier", "0600"},
    {"Library/Application Support", "0700"},
    {"Library/Application Support/Tovrin", "0700"},
    {"Library/Application Support/Tovrin/tovrin.sqlite", "0600"},
    {"Library/Application Support/Tovrin/tovrin.sqlite-wal", "0600"},
    {"Library/Application Support/Tovrin/tovrin.sqlite-shm", "0600"},
    {"Library/Caches", "0700"},
    {"Library/Caches/ImageLoadingSession", "0700"},
    {"Library/Keychains", "0700"},
    {"Library/Keychains/keychain.json", "0600"},
};

class PrivateFilesTest : public testing::Test {
protected:
    QString pathInHome(const char* path) const {
        return *path == '\0' ? home.path() : home.path() + QLatin1Char('/') + QLatin1String(path);
    }

    Launch open() {
        UserDefaults::resetStandard();
        Launch launch;
        AppModule().configure(*launch.injector);
        launch.defaults = UserDefaults::standard();
        Device(QStringLiteral("Desktop"), QStringLiteral("Linux"), QStringLiteral("1"),
               FileManager::defaultManager().preferencesDirectory() + QStringLiteral("/VendorIdentifier"))
            .identifierForVendor();
        launch.store = launch.injector->get<Database>(InjectorKeyTovrinDatabase);
        launch.imageCache = launch.injector->get<net::URLSession>(InjectorKeyImageLoadingURLSession)
                                ->configuration()
                                .URLCache;
        launch.keychain = std::make_shared<FileKeychain>(FileKeychain::defaultPath());
        return launch;
    }

    // The store in write-ahead mode keeps its "-wal" and "-shm" files while it is open.
    void write(Launch& launch, const QString& photo) {
        launch.defaults->setObject(photo, QStringLiteral("LastPhoto"));
        ASSERT_TRUE(launch.defaults->synchronize());
        ASSERT_TRUE(launch.store->executeSQLBatch(
            QStringLiteral("PRAGMA journal_mode=WAL; CREATE TABLE IF NOT EXISTS messages(body TEXT); "
                           "INSERT INTO messages VALUES('hello');")));
        const QUrl url(QStringLiteral("http://127.0.0.1:9/media/") + photo);
        launch.imageCache->storeCachedResponse({net::HTTPURLResponse(url, 200, {}), "photo"},
                                               net::URLRequest(url));
        ASSERT_TRUE(launch.imageCache->cachedResponseForRequest(net::URLRequest(url)).has_value());
        ASSERT_EQ(launch.keychain->addItem(QStringLiteral("LoginCredentials"), photo, "secret",
                                           Keychain::Accessibility::WhenUnlocked),
                  Keychain::StatusSuccess);
    }

    void expectPermissions(const std::vector<ExpectedPermissions>& table) const {
        for (const ExpectedPermissions& row : table) {
            EXPECT_EQ(permissionsOf(pathInHome(row.path)), QString::fromLatin1(row.permissions)) << row.path;
        }
    }

    // Every folder 0700 and every file 0600, whatever made it (the image cache's own files too).
    void expectEverythingPrivate() const {
        QStringList open;
        QDirIterator entries(home.path(),
                             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            const QString entry = entries.next();
            const QString expected =
                entries.fileInfo().isDir() ? QStringLiteral("0700") : QStringLiteral("0600");
            const QString found = permissionsOf(entry);
            if (found != expected) open.append(entry.mid(home.path().size()) + " " + found);
        }
        EXPECT_TRUE(open.isEmpty()) << open.join(", ").toStdString();
    }

    // What an older version left: folders 0755, files 0644.
    void loosenEverything() const {
        setPermissions(home.path(), 0755);
        QDirIterator entries(home.path(),
                             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            const QString entry = entries.next();
            setPermissions(entry, entries.fileInfo().isDir() ? 0755 : 0644);
        }
    }

    test::TemporaryHome home;
};

TEST_F(PrivateFilesTest, AFirstLaunchMakesFoldersAndFilesOwnerOnly) {
    Launch launch = open();
    write(launch, QStringLiteral("first"));
    expectPermissions(LaunchedHome);
    expectEverythingPrivate();
}

TEST_F(PrivateFilesTest, OpeningTightensWhatAnOlderVersionLeftOpen) {
    {
        Launch launch = open();
        write(launch, QStringLiteral("first"));
    }
    // SQLite removes "-wal" and "-shm" at its last close; a crash leaves them, and "-journal", behind.
    for (const char* sideFile : {"-journal", "-wal", "-shm"}) {
        QFile file(pathInHome("Library/Application Support/Tovrin/tovrin.sqlite") + QLatin1String(sideFile));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    loosenEverything();
    ASSERT_EQ(permissionsOf(pathInHome("Library/Caches/ImageLoadingSession")), "0755");
    ASSERT_EQ(permissionsOf(pathInHome("Library/Keychains/keychain.json")), "0644");

    Launch launch = open();
    std::vector<ExpectedPermissions> table = LaunchedHome;
    table.push_back({"Library/Application Support/Tovrin/tovrin.sqlite-journal", "0600"});
    expectPermissions(table);
    expectEverythingPrivate();

    write(launch, QStringLiteral("second"));
    expectEverythingPrivate();
}

}  // namespace
}  // namespace tovrin
