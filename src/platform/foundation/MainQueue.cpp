#include "platform/foundation/MainQueue.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <cmath>

#include "platform/foundation/Error.h"

namespace tovrin {

namespace {

QCoreApplication* application() {
    QCoreApplication* app = QCoreApplication::instance();
    TVR_ASSERT(app != nullptr, "The main queue needs the application object");
    return app;
}

}  // namespace

void MainQueue::async(Block block) {
    QMetaObject::invokeMethod(application(), std::move(block), Qt::QueuedConnection);
}

void MainQueue::asyncAfter(double seconds, Block block) {
    // Rounded up so the block never runs early; timers are started on the main thread.
    const double milliseconds = std::ceil(std::max(0.0, seconds) * 1000.0);
    const int interval = milliseconds > INT_MAX ? INT_MAX : static_cast<int>(milliseconds);
    async([interval, block = std::move(block)]() mutable {
        QTimer::singleShot(interval, Qt::PreciseTimer, application(), std::move(block));
    });
}

bool MainQueue::isMainThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace tovrin
