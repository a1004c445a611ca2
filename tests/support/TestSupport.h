#pragma once

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <ostream>

#include "platform/promise/Promise.h"

namespace tovrin::test {

// Runs the main event loop until the condition holds or the deadline passes; whether it holds.
bool runUntil(const std::function<bool()>& condition, int timeoutMilliseconds = 10000);

// Runs the main queue until everything posted to it before this call has run.
void drainMainQueue();

// Runs the main queue until a pass over it runs nothing but its own marker, so that promise
// continuations which post further continuations have all run.
void drainMainQueueUntilIdle();

// Runs the main event loop until the promise is no longer pending.
template <class T>
bool waitFor(const Promise<T>& promise, int timeoutMilliseconds = 10000) {
    return runUntil([&] { return !promise.isPending(); }, timeoutMilliseconds);
}

// A temporary home folder for the application's files and user defaults, for one test.
class TemporaryHome {
public:
    TemporaryHome();
    ~TemporaryHome();
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    QString path() const { return directory_.path(); }

private:
    QTemporaryDir directory_;
    QString previous_;
};

}  // namespace tovrin::test
