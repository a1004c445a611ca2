#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QThreadPool>
#include <chrono>
#include <thread>

#include "platform/foundation/FileManager.h"
#include "platform/foundation/UserDefaults.h"
#include "support/TestRunner.h"

namespace {

// Qt's pool threads are detached: once Qt has stopped waiting for one, its system thread still
// takes a moment to vanish, and the sanitizers' leak check at exit crashes when a thread vanishes
// while it stops them all. Made before Qt's own statics, this is destroyed after them (their
// pools end their threads then) and before the leak check, and waits until no thread is ending:
// the process is down to its main thread, or its thread count holds still for a while.
struct ThreadSettler {
    ~ThreadSettler() {
        using namespace std::chrono_literals;
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        qsizetype count = threadCount();
        int stillFor = 0;
        while (count > 1 && stillFor < 10 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(5ms);
            const qsizetype now = threadCount();
            stillFor = now == count ? stillFor + 1 : 0;
            count = now;
        }
    }
    static qsizetype threadCount() {
        return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
    }
} threadSettler;

}  // namespace

int tovrin::test::runTests(int argc, char** argv, const std::function<void()>& beforeApplication) {
    // Test discovery runs the binaries outside the test environment, so default the platform here.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (beforeApplication) beforeApplication();
    testing::InitGoogleMock(&argc, argv);
    // Qt starts threads of its own; forking a threaded process is not safe for death tests.
    GTEST_FLAG_SET(death_test_style, "threadsafe");

    int result = 0;
    {
        QApplication application(argc, argv);
        QApplication::setApplicationName(QStringLiteral("TovrinTests"));
        // Nothing a test writes reaches the developer's own files.
        QTemporaryDir home;
        tovrin::FileManager::defaultManager().setHomeDirectory(home.path());
        result = RUN_ALL_TESTS();
        // The shared pool's threads (background queues, image scaling) end here.
        QThreadPool::globalInstance()->waitForDone();
        tovrin::UserDefaults::resetStandard();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return result;
}
