#pragma once

#include <QtGlobal>
#include <memory>

#include "API/TovrinServiceError.h"
#include "platform/promise/Promise.h"

namespace tovrin {

// Which member's session runs: it changes at every session start and sign-out, so that work begun
// for one member can tell it must not go on for another. The member session advances it; one per
// container; main thread only.
class SessionGeneration : public std::enable_shared_from_this<SessionGeneration> {
public:
    using Stamp = quint64;

    Stamp current() const { return current_; }
    bool isCurrent(Stamp stamp) const { return stamp == current_; }
    void advance() { ++current_; }

    // The promise's outcome, but a failure with 10 when another session began between this call
    // and the fulfilment.
    template <class T>
    Promise<T> guard(const Promise<T>& promise) const {
        return promise.then([self = shared_from_this(), stamp = current_](const auto&... value) {
            if (!self->isCurrent(stamp)) {
                return Promise<T>::rejected(tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
            }
            return Promise<T>::resolved(value...);
        });
    }

    // The work as a continuation that does nothing once another session began after this call.
    template <class Work>
    auto whileCurrent(Work work) const {
        return [self = shared_from_this(), stamp = current_, work = std::move(work)](const auto&... value) {
            if (self->isCurrent(stamp)) work(value...);
        };
    }

private:
    Stamp current_ = 0;
};

}  // namespace tovrin
