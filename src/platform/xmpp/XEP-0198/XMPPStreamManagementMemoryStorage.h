#pragma once

#include <mutex>

#include "platform/xmpp/XEP-0198/XMPPStreamManagementStorage.h"

namespace tovrin::xmpp {

// Keeps the state for the life of the process only.
class XMPPStreamManagementMemoryStorage : public XMPPStreamManagementStorage {
public:
    void saveState(const XMPPStreamManagementState& state) override {
        std::lock_guard lock(mutex_);
        state_ = state;
    }
    XMPPStreamManagementState state() const override {
        std::lock_guard lock(mutex_);
        return state_;
    }
    void clearState() override { saveState({}); }

private:
    mutable std::mutex mutex_;
    XMPPStreamManagementState state_;
};

}  // namespace tovrin::xmpp
