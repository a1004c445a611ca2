#pragma once

#include <QString>

namespace tovrin::test {

// The batches the store writer writes: batch N is this many messages from its own peer, so that
// the peer's history tells whether the batch is stored whole.
inline constexpr int storeWriterBatchSize = 20;

inline QString storeWriterPeer(int batch) {
    return QStringLiteral("peer-%1").arg(batch);
}

}  // namespace tovrin::test
