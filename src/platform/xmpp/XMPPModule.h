#pragma once

#include <QString>
#include <memory>
#include <mutex>

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/SharedSelf.h"
#include "platform/xmpp/MulticastDelegate.h"
#include "platform/xmpp/XMPPStreamDelegate.h"

namespace tovrin::xmpp {

class XMPPStream;

// A module adds a protocol extension to a stream: once activated it receives the stream's
// events on its own serial queue, in the stream's order. A module may use the main queue.
class XMPPModule : public XMPPStreamDelegate, public EnableSharedSelf<XMPPModule> {
public:
    // A null queue gives the module a serial queue of its own.
    explicit XMPPModule(std::shared_ptr<DispatchQueue> moduleQueue = nullptr);
    ~XMPPModule() override;

    // False when the module is active already.
    bool activate(const std::shared_ptr<XMPPStream>& stream);
    void deactivate();

    std::shared_ptr<XMPPStream> xmppStream() const;
    const std::shared_ptr<DispatchQueue>& moduleQueue() const { return moduleQueue_; }

protected:
    // Called on the activating thread, after the module was added as the stream's delegate.
    virtual void didActivate() {}
    virtual void willDeactivate() {}

private:
    const std::shared_ptr<DispatchQueue> moduleQueue_;
    mutable std::mutex mutex_;
    std::weak_ptr<XMPPStream> stream_;
};

// A module with delegates of its own, each called on its queue.
template <class Delegate>
class XMPPDelegatingModule : public XMPPModule {
public:
    using XMPPModule::XMPPModule;

    // A null queue is the main queue.
    void addDelegate(const std::weak_ptr<Delegate>& delegate, const std::shared_ptr<DispatchQueue>& queue) {
        multicastDelegate_.addDelegate(delegate, queue);
    }
    void removeDelegate(const Delegate* delegate) { multicastDelegate_.removeDelegate(delegate); }

protected:
    MulticastDelegate<Delegate> multicastDelegate_;
};

}  // namespace tovrin::xmpp
