#pragma once

#include <QtGlobal>

namespace tovrin {

// Travels with a page of conversation summaries: whether it came from the local store instead of
// the server, and why. Reasons: 0 from the server (never a fall-back), 1 the request failed for
// want of an internet connection, 2 it failed otherwise, 3 the first page was read from the store
// without asking the server.
class PersistenceFallBackInfo {
public:
    constexpr PersistenceFallBackInfo(bool didFallBackToPersistence, quint32 reason)
        : didFallBackToPersistence_(didFallBackToPersistence), reason_(reason) {}

    constexpr bool didFallBackToPersistence() const { return didFallBackToPersistence_; }
    constexpr quint32 reason() const { return reason_; }

private:
    bool didFallBackToPersistence_;
    quint32 reason_;
};

}  // namespace tovrin
