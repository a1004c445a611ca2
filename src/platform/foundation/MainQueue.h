#pragma once

#include <functional>

namespace tovrin {

using Block = std::function<void()>;

// The main thread's queue: Qt's event loop in the thread of the application object.
class MainQueue {
public:
    // Runs the block on the main thread, later: never inside this call, even on the main thread.
    // Blocks posted from one thread run in the order they were posted. Callable from any thread.
    static void async(Block block);

    // Runs the block on the main thread no sooner than the delay (seconds) from now.
    static void asyncAfter(double seconds, Block block);

    static bool isMainThread();
};

}  // namespace tovrin
