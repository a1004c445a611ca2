#include "platform/xmpp/XMPPModule.h"

#include "platform/xmpp/XMPPStream.h"

namespace tovrin::xmpp {

XMPPModule::XMPPModule(std::shared_ptr<DispatchQueue> moduleQueue)
    : moduleQueue_(moduleQueue ? std::move(moduleQueue)
                               : std::make_shared<DispatchQueue>(QStringLiteral("XMPPModule"))) {}

XMPPModule::~XMPPModule() = default;

bool XMPPModule::activate(const std::shared_ptr<XMPPStream>& stream) {
    {
        std::lock_guard lock(mutex_);
        if (!stream || stream_.lock()) return false;
        stream_ = stream;
    }
    stream->addDelegate(sharedSelf<XMPPStreamDelegate>(), moduleQueue_);
    didActivate();
    return true;
}

void XMPPModule::deactivate() {
    std::shared_ptr<XMPPStream> stream = xmppStream();
    if (!stream) return;
    willDeactivate();
    stream->removeDelegate(this);
    std::lock_guard lock(mutex_);
    stream_.reset();
}

std::shared_ptr<XMPPStream> XMPPModule::xmppStream() const {
    std::lock_guard lock(mutex_);
    return stream_.lock();
}

}  // namespace tovrin::xmpp
