#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QThreadPool>

#include "platform/foundation/FileManager.h"
#include "platform/foundation/UserDefaults.h"

int main(int argc, char** argv) {
    // Test discovery runs the binaries outside the test environment, so default the platform here.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
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
        // The shared pool's threads (background queues, image scaling) end here: one still ending
        // while the leak check stops every thread at exit can crash the check.
        QThreadPool::globalInstance()->waitForDone();
        tovrin::UserDefaults::resetStandard();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return result;
}
