#pragma once

#include <QString>

namespace tovrin::xmpp {

// What stream management keeps about a stream the server agreed to make resumable.
struct XMPPStreamManagementState {
    QString resumptionID;
    double maxResumptionTime = 0;
    quint32 handledByClient = 0;  // stanzas received from the server
    quint32 handledByServer = 0;  // the server's last acknowledged h
};

// Where stream management keeps that state.
class XMPPStreamManagementStorage {
public:
    virtual ~XMPPStreamManagementStorage() = default;
    virtual void saveState(const XMPPStreamManagementState& state) = 0;
    virtual XMPPStreamManagementState state() const = 0;
    virtual void clearState() = 0;
};

}  // namespace tovrin::xmpp
