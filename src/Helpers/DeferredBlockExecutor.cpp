#include "Helpers/DeferredBlockExecutor.h"

#include <QtGlobal>
#include <cmath>
#include <limits>

namespace tovrin {

void DeferredBlockExecutor::executeAfter(double delay, Block block) {
    // Whole nanoseconds, truncated toward zero, as the dispatch deadline counts them.
    const double nanoseconds = delay * 1e9;
    const double limit = static_cast<double>(std::numeric_limits<qint64>::max());
    const qint64 wholeNanoseconds = std::isnan(nanoseconds) ? 0
                                    : nanoseconds >= limit  ? std::numeric_limits<qint64>::max()
                                    : nanoseconds <= -limit ? std::numeric_limits<qint64>::min()
                                                            : static_cast<qint64>(nanoseconds);
    MainQueue::asyncAfter(static_cast<double>(wholeNanoseconds) / 1e9, std::move(block));
}

}  // namespace tovrin
