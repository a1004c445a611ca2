#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

namespace tovrin::xmpp {

// The client's side of stream management's counting of sent stanzas: which sent stanzas an
// `<a h='…'/>` settles. Counts run modulo 2^32, as h does on the wire.
class XMPPStanzaAcknowledgementQueue {
public:
    // `lastAcknowledged`: the h the server last acknowledged (0 on a new stream).
    explicit XMPPStanzaAcknowledgementQueue(quint32 lastAcknowledged = 0)
        : lastAcknowledged_(lastAcknowledged) {}

    // Every sent stanza counts; only those with an id are reported.
    void stanzaWasSent(const std::optional<QString>& stanzaID);

    // The ids of the stanzas that h settles, in sending order. An h that settles more than was
    // sent settles everything; one that goes back settles nothing (both are the server's error).
    QStringList acknowledge(quint32 h);

    quint32 lastAcknowledged() const { return lastAcknowledged_; }
    quint32 sentCount() const { return lastAcknowledged_ + static_cast<quint32>(pending_.size()); }
    size_t pendingCount() const { return pending_.size(); }

private:
    quint32 lastAcknowledged_;
    std::deque<std::optional<QString>> pending_;
};

}  // namespace tovrin::xmpp
