#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "platform/foundation/FileManager.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/UserDefaults.h"

namespace tovrin::test {

bool runUntil(const std::function<bool()>& condition, int timeoutMilliseconds) {
    QElapsedTimer elapsed;
    elapsed.start();
    // Wakes the loop now and then, for conditions that other threads change without posting.
    QTimer wake;
    wake.start(5);
    while (!condition()) {
        if (elapsed.elapsed() > timeoutMilliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

void drainMainQueue() {
    auto done = std::make_shared<bool>(false);
    MainQueue::async([done] { *done = true; });
    runUntil([&] { return *done; });
}

void drainMainQueueUntilIdle() {
    // Counts the queued calls the application delivers, the main queue's blocks among them.
    struct Counter : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::MetaCall) ++calls;
            return false;
        }
        int calls = 0;
    } counter;
    QCoreApplication::instance()->installEventFilter(&counter);
    // Bounded, for work that keeps posting itself.
    for (int pass = 0; pass < 1000; ++pass) {
        counter.calls = 0;
        drainMainQueue();
        if (counter.calls <= 1) break;
    }
    QCoreApplication::instance()->removeEventFilter(&counter);
}

TemporaryHome::TemporaryHome() : previous_(FileManager::defaultManager().homeDirectory()) {
    FileManager::defaultManager().setHomeDirectory(directory_.path());
    UserDefaults::resetStandard();
}

TemporaryHome::~TemporaryHome() {
    UserDefaults::resetStandard();
    FileManager::defaultManager().setHomeDirectory(previous_);
}

}  // namespace tovrin::test
