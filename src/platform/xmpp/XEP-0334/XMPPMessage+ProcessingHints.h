#pragma once

#include <QString>

#include "platform/xmpp/XMPPMessage.h"

namespace tovrin::xmpp {

// Message processing hints (XEP-0334).
inline const QString XMPPProcessingHintsNamespace = QStringLiteral("urn:xmpp:hints");

// Asks the server to archive a message it would otherwise skip, such as one without a body.
void addStoreHint(XMPPMessage& message);
bool hasStoreHint(const XMPPMessage& message);

}  // namespace tovrin::xmpp
