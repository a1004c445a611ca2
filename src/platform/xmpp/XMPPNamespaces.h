#pragma once

#include <QString>

namespace tovrin::xmpp {

inline const QString XMPPStreamNamespace = QStringLiteral("http://etherx.jabber.org/streams");
inline const QString XMPPClientNamespace = QStringLiteral("jabber:client");
inline const QString XMPPStreamErrorsNamespace = QStringLiteral("urn:ietf:params:xml:ns:xmpp-streams");
inline const QString XMPPStanzaErrorsNamespace = QStringLiteral("urn:ietf:params:xml:ns:xmpp-stanzas");
inline const QString XMPPTLSNamespace = QStringLiteral("urn:ietf:params:xml:ns:xmpp-tls");
inline const QString XMPPSASLNamespace = QStringLiteral("urn:ietf:params:xml:ns:xmpp-sasl");
inline const QString XMPPBindNamespace = QStringLiteral("urn:ietf:params:xml:ns:xmpp-bind");
inline const QString XMPPSessionNamespace = QStringLiteral("urn:ietf:params:xml:ns:xmpp-session");
inline const QString XMPPLegacyAuthFeatureNamespace = QStringLiteral("http://jabber.org/features/iq-auth");
inline const QString XMPPLegacyAuthNamespace = QStringLiteral("jabber:iq:auth");
inline const QString XMPPDiscoveryInfoNamespace = QStringLiteral("http://jabber.org/protocol/disco#info");

}  // namespace tovrin::xmpp
