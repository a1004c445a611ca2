#include "platform/xmpp/XEP-0198/XMPPStanzaAcknowledgementQueue.h"

#include <algorithm>

namespace tovrin::xmpp {

void XMPPStanzaAcknowledgementQueue::stanzaWasSent(const std::optional<QString>& stanzaID) {
    pending_.push_back(stanzaID);
}

QStringList XMPPStanzaAcknowledgementQueue::acknowledge(quint32 h) {
    // Unsigned subtraction wraps past 2^32 - 1 exactly as h does; a "negative" difference (an h
    // behind the last one) shows as a huge number.
    const quint32 settled = h - lastAcknowledged_;
    QStringList ids;
    if (settled > 0x80000000u) return ids;
    const size_t count = std::min<size_t>(settled, pending_.size());
    for (size_t index = 0; index < count; ++index) {
        if (pending_.front()) ids.append(*pending_.front());
        pending_.pop_front();
    }
    lastAcknowledged_ += static_cast<quint32>(count);
    return ids;
}

}  // namespace tovrin::xmpp
